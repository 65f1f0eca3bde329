#include "core/Statistics.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/XML.h"

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

void Statistics::writeTaskRecord(Integer id) {
    static XPathQuery itemQuery("//root/item[id=$id]", {"id"});
    const pugi::xml_node item =
        XML::selectFirst(gItems->document(), itemQuery.set("id", QString::number(id.value()))).node();
    if (!item) return;
    pugi::xml_node root = m_document.document_element();
    if (!root) root = m_document.append_child("root");
    pugi::xml_node record = root.append_child("task");
    // Record element, then the item's element of the same meaning.
    static const char* const Fields[][2] = {
        {"ID", "id"},
        {"now", "now"},
        {"date", "date"},
        {"title", "title"},
        {"period", "period"},
        {"estimate", "estimate"},
        {"done", "done"},
        {"done_date", "donedate"},
        {"done_period", "doneperiod"},
        {"done_time", "donetime"},
        {"points", "points"},
        {"type", "type"},
        {"meeting_time", "meetingtime"},
        {"timing_bonus", "timingbonus"},
        {"project", "project"},
    };
    for (const auto& field : Fields)
        XML::setText(record.append_child(field[0]), QString::fromUtf8(item.child_value(field[1])));
}
