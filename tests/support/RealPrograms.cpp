#include "tests/support/RealPrograms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <unistd.h>

QList<pid_t> processesWith(const QByteArray& environmentEntry) {
    QList<pid_t> found;
    for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t id = static_cast<pid_t>(name.toInt(&number));
        if (!number || id == ::getpid()) continue;
        QFile environment(QStringLiteral("/proc/%1/environ").arg(name));
        if (environment.open(QIODevice::ReadOnly) &&
            environment.readAll().split('\0').contains(environmentEntry))
            found << id;
    }
    return found;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > timeoutMs) return false;
        QThread::msleep(50);
    }
    return true;
}
