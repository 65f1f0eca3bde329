#include "Statistics.h"

#include "ErrorReport.h"
#include "File.h"
#include "Globals.h"

Statistics::Statistics() {
    trapped(QStringLiteral(" - Statistics.Class_Initialize: "), QStringLiteral(" Error"), [this] {
        // A missing or unreadable file is normal here: it gives an empty document and no message.
        m_document = gFile->loadXMLFromDisk(gFile->Path() + QStringLiteral("stats.xml"), false);
    });
}

bool Statistics::addTask(Integer id) {
    (void)id;
    trapped(QStringLiteral(" - Statistics.addTask: "), QStringLiteral(" Error"), [] {});
    return true;
}
