#include "InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString InstanceLock::lockPath(const QString& settingsPath) {
    return settingsPath + QStringLiteral(".lock");
}

InstanceLock::InstanceLock(const QString& settingsPath) {
    const QString path = lockPath(settingsPath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return;
    const QByteArray name = QFile::encodeName(path);
    // Not handed on to the programs this one starts, which would hold the lock after it quits.
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    const bool writable = fd >= 0;
    if (!writable) fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC); // a lock file made read-only
    if (fd < 0) return;
    int locked = 0;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    bool heldElsewhere = locked != 0 && errno == EWOULDBLOCK;
    if (locked != 0 && !heldElsewhere && writable) {
        // A file system without whole-file locks (a network folder) may still lock records.
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        locked = ::fcntl(fd, F_SETLK, &whole);
        heldElsewhere = locked != 0 && (errno == EAGAIN || errno == EACCES);
    }
    if (locked != 0) {
        if (heldElsewhere) m_state = State::HeldElsewhere;
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_state = State::Held;
    // Which copy holds it, for a person who looks; nothing waits for it to reach the disk.
    if (writable && ::ftruncate(fd, 0) == 0) {
        const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
        if (::write(fd, pid.constData(), static_cast<size_t>(pid.size())) < 0) {
            // The lock holds without its note.
        }
    }
}

InstanceLock::~InstanceLock() {
    // The file stays: one copy could be opening it while another removed it, and each would then hold a
    // lock of its own.
    if (m_fd >= 0) ::close(m_fd);
}
