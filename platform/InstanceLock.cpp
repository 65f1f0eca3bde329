#include "InstanceLock.h"

#include <QDir>
#include <QFileInfo>

QString InstanceLock::lockPath(const QString& settingsPath) {
    return settingsPath + QStringLiteral(".lock");
}

InstanceLock::InstanceLock(const QString& settingsPath) {
    const QString path = lockPath(settingsPath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return;
    m_lock = std::make_unique<QLockFile>(path);
    // Never stale by age: a lock is given up only when the copy that wrote it is gone.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_state = State::Held;
    } else if (m_lock->error() == QLockFile::LockFailedError) {
        m_state = State::HeldElsewhere;
    }
}
