#include "platform/Launcher.h"

#include <QFileInfo>
#include <QProcess>

bool Launcher::startProgram(const QString& path, WindowState state) {
    if (!QFileInfo(path).isExecutable()) return false;
    // Started with no arguments; the wanted window state travels in the environment.
    QProcess process;
    process.setProgram(path);
    process.setWorkingDirectory(QFileInfo(path).absolutePath());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(WindowStateVariable),
               state == WindowState::Maximized ? QStringLiteral("maximized") : QStringLiteral("normal"));
    process.setProcessEnvironment(env);
    return process.startDetached();
}

bool Launcher::openUrl(const QString&) {
    return false;
}
