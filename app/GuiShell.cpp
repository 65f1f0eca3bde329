#include "GuiShell.h"

#include "ChmViewer.h"
#include "ErrorReport.h"
#include "Functions.h"
#include "GuardedApplication.h"
#include "GuiLauncher.h"
#include "Initialize.h"
#include "KeyGrab.h"
#include "QtPrompter.h"
#include "X11KeyGrab.h"
#include "dlgSaving.h"
#include "frmFloater.h"
#include "frmLogin.h"
#include "frmSysTray.h"

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
    setLauncher(&launcher);
    setWindowShell(&shell);
    installHelpViewer();
    setTrayFormLoader(&frmSysTray::loadWhenTrayAvailable);
    // The hide key works on X11 only; elsewhere nothing is held and the key does nothing.
    static std::unique_ptr<X11KeyGrab> x11 = X11KeyGrab::create();
    if (x11) setKeyGrab(x11.get());
    GuardedApplication::setFailureHandler([](const std::exception* e) {
        reportError(asFailure(e), QStringLiteral(" - Quorvane: "), QStringLiteral(" Error"));
    });
}

void quitFromOutside() {
    gQuitRequested = true;
    // Boxes and menus that are up go, also those the quit itself raises: nobody is there to answer
    // them. The quit runs only from the main loop (or from start-up, between its steps), so that no
    // handler goes on with released objects after its box returns.
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    if (!gQuitting && !gStartingUp && QThread::currentThread()->loopLevel() <= 1) {
        quitApplication(true);
        return;
    }
    QTimer::singleShot(50, qApp, quitFromOutside);
}
