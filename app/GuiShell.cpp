#include "app/GuiShell.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/Tray.h"
#include "dialogs/dlgSaving.h"
#include "help/ChmViewer.h"
#include "orbin/frmFloater.h"
#include "orbin/frmLogin.h"
#include "orbin/frmSysTray.h"
#include "platform/KeyGrab.h"
#include "platform/gui/GuardedApplication.h"
#include "platform/gui/GuiLauncher.h"
#include "platform/gui/QtPrompter.h"
#include "platform/gui/X11KeyGrab.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

OrbinWindow* GuiShell::createOrbinWindow() {
    return new frmFloater();
}

void GuiShell::runLogin() {
    QPointer<frmLogin> login = new frmLogin();
    login->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(login, &QObject::destroyed, &loop, &QEventLoop::quit);
    login->show();
    loop.exec();
}

void GuiShell::showSavingNotice() {
    // The box that holds the focus gives it up now, so that what it stores on losing the focus (a
    // project's description) is in its store before the files are written.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    auto* notice = new dlgSaving();
    notice->show();
    // Let it paint before the saves hold the event loop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void installGuiLayer() {
    static QtPrompter prompter;
    static GuiLauncher launcher;
    static GuiShell shell;
    setPrompter(&prompter);
    Injectable<Launcher>::install(&launcher);
    setWindowShell(&shell);
    installHelpViewer();
    setTrayFormLoader(&frmSysTray::loadWhenTrayAvailable);
    // The hide key works on X11 only; elsewhere nothing is held and the key does nothing.
    static std::unique_ptr<X11KeyGrab> x11 = X11KeyGrab::create();
    if (x11) Injectable<KeyGrab>::install(x11.get());
    GuardedApplication::setFailureHandler([](const std::exception* e) {
        reportError(asFailure(e), QStringLiteral(" - Quorvane: "), QStringLiteral(" Error"));
    });
}

namespace {

// Closes what is up and waits for nobody: menus, and the box or dialog in front (its Cancel).
void dismissWhatIsUp() {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

// Until the quit has run: the boxes that come up meanwhile, the quit's own among them, go; and the quit
// runs once the program is back in its main loop.
void quitWhenWhole() {
    dismissWhatIsUp();
    if (gQuitting || gStartingUp || QThread::currentThread()->loopLevel() > 1) return;
    quitApplication(true);
}

} // namespace

void quitFromOutside() {
    gQuitRequested = true;
    // One watch however often the request comes; it ends with the quit (the objects released), or when
    // the request is taken back (a test starting the program anew).
    static QPointer<QTimer> watch;
    if (!watch) {
        watch = new QTimer(qApp);
        watch->setInterval(50);
        QObject::connect(watch, &QTimer::timeout, watch, [] {
            if (!gQuitRequested || (gQuitting && !gSettings)) {
                watch->stop();
                watch->deleteLater();
                return;
            }
            quitWhenWhole();
        });
        watch->start();
    }
    // The boxes and menus up now go at once; so does the program, when nothing of it is half done.
    quitWhenWhole();
}
