#include "GuiShell.h"

#include "ErrorReport.h"
#include "GuardedApplication.h"
#include "GuiLauncher.h"
#include "QtPrompter.h"
#include "dlgSaving.h"
#include "frmFloater.h"
#include "frmLogin.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

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
    GuardedApplication::setFailureHandler([](const std::exception* e) {
        reportError(asFailure(e), QStringLiteral(" - Quorvane: "), QStringLiteral(" Error"));
    });
}
