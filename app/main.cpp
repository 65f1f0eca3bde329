#include "app/GuiShell.h"
#include "core/ErrorReport.h"
#include "core/Initialize.h"
#include "core/Items.h"
#include "core/Settings.h"
#include "platform/BenchSwitch.h"
#include "platform/IniStore.h"
#include "platform/InstanceLock.h"
#include "platform/Prompter.h"
#include "platform/gui/GuardedApplication.h"
#include "platform/gui/TerminationSignals.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

// Work that runs beside the start; the end of the program waits for it.
class Beside {
public:
    template <class Work> explicit Beside(Work&& work) : m_thread(std::forward<Work>(work)) {}
    ~Beside() { m_thread.join(); }
    Beside(const Beside&) = delete;
    Beside& operator=(const Beside&) = delete;

private:
    std::thread m_thread;
};

// In a session with no session bus, where none can be started either (no bus in the runtime folder, no
// dbus-launch), the toolkit still looks for one for the accessibility service when the first control gets
// its text, and the look starts a program that is not there. Saying so at once spares the start that wait:
// the first drawing comes 14.9 ms (15.5 %) sooner on 2,000 items, 13.6 ms (7.7 %) on 20,000 (tools/bench
// --devices, 81 runs). The tour, the readers and the browser that help opens inherit the setting; they run in
// the same session, where their own look would find nothing either.
// Runs before any thread does: the environment is not safe to change beside them.
void noSessionBusToLookFor() {
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) return;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && ::access((runtime + "/bus").constData(), F_OK) == 0) return;
    if (::access("/usr/bin/dbus-launch", F_OK) == 0) return;
    for (const QByteArray& folder : qgetenv("PATH").split(':'))
        if (!folder.isEmpty() && ::access((folder + "/dbus-launch").constData(), X_OK) == 0) return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

} // namespace

int main(int argc, char** argv) {
    if (!benchLeavesOut("busenv")) noSessionBusToLookFor();
    // What a start waits for longest runs beside the rest, while the application reaches the window system:
    // the items file is read and indexed (the first drawing comes 16.0 ms, 16.6 %, sooner on 2,000 items and
    // 137 ms, 78 %, on 20,000), and the font configuration is read; then the fonts are listed while the store
    // is made. The two font threads gain together (9.2 ms, 9.5 %, on 2,000 items; 3.0 ms on 20,000): either
    // alone gains nothing, as the other then does its work. (tools/bench --devices, 81 runs.)
    std::optional<Beside> fontConfiguration;
    const bool fontsBeside = !benchLeavesOut("fonts");
    if (fontsBeside) fontConfiguration.emplace([] { FcInit(); });
    if (!benchLeavesOut("readahead")) Items::readAhead();
    GuardedApplication app(argc, argv);
    std::optional<Beside> fonts;
    if (fontsBeside) fonts.emplace([] { QFontDatabase::families(); });
    GuardedApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
    installGuiLayer();
    // A second copy on the same settings or data would undo the first one's work when it quits.
    const QString settingsFile = IniStore::defaultPath();
    const InstanceLock instance(settingsFile, Settings::dataDirectory(IniStore(settingsFile)));
    if (instance.state() == InstanceLock::State::HeldElsewhere) {
        prompter().messageBox(
            QStringLiteral("Quorvane is already running.\r\nLook for the orbin on the screen, "
                           "or for its icon in the tray."),
            Prompter::Buttons::OK, Prompter::Icon::Information, QStringLiteral("Quorvane"));
        return 0;
    }
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
