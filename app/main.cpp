#include "ErrorReport.h"
#include "GuardedApplication.h"
#include "GuiShell.h"
#include "Initialize.h"
#include "TerminationSignals.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    GuardedApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
    installGuiLayer();
    installTerminationHandler(quitFromOutside);
    try {
        Main();
    } catch (const std::exception& e) {
        // Only with the error switch off does a start-up failure get this far.
        reportError(asFailure(&e), QStringLiteral(" Initialize.Main: "), QStringLiteral(" Error"));
        quitApplication(true);
    }
    const int code = gQuitting ? 0 : GuardedApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
}
