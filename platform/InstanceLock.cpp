#include "platform/InstanceLock.h"

#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Locks the file at path (made when missing, with its folder). The descriptor that holds it goes to *held.
InstanceLock::State lockFile(const QString& path, int* held) {
    if (!atomicfile::makeFolder(QFileInfo(path).absolutePath())) return InstanceLock::State::Unavailable;
    const QByteArray name = QFile::encodeName(path);
    // Held open for reading only, so that the folder can still be made read-only while the program runs
    // (a file open for writing keeps a file system from being remounted so). Not handed on to the programs
    // this one starts, which would hold the lock after it quits.
    int fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return InstanceLock::State::Unavailable;
    int locked = 0;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    bool heldElsewhere = locked != 0 && errno == EWOULDBLOCK;
    bool recordLock = false;
    if (locked != 0 && !heldElsewhere) {
        // A file system without whole-file locks (a network folder) may still lock records, through a
        // descriptor that writes.
        const int writing = ::open(name.constData(), O_RDWR | O_CLOEXEC);
        if (writing >= 0) {
            ::close(fd);
            fd = writing;
            recordLock = true;
            struct flock whole {};
            whole.l_type = F_WRLCK;
            whole.l_whence = SEEK_SET;
            locked = ::fcntl(fd, F_SETLK, &whole);
            heldElsewhere = locked != 0 && (errno == EAGAIN || errno == EACCES);
        }
    }
    if (locked != 0) {
        ::close(fd);
        return heldElsewhere ? InstanceLock::State::HeldElsewhere : InstanceLock::State::Unavailable;
    }
    // Which copy holds it, for a person who looks; nothing waits for it to reach the disk. (A record lock
    // goes with any descriptor of the file that this process closes: its note is written through its own.)
    const int note = recordLock ? fd : ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    if (note >= 0 && ::ftruncate(note, 0) == 0 &&
        ::write(note, pid.constData(), static_cast<size_t>(pid.size())) < 0) {
        // The lock holds without its note.
    }
    if (note >= 0 && note != fd) ::close(note);
    *held = fd;
    return InstanceLock::State::Held;
}

} // namespace

QString InstanceLock::lockPath(const QString& settingsPath) {
    return resolvedPath(settingsPath) + QStringLiteral(".lock");
}

QString InstanceLock::dataLockPath(const QString& dataFolder) {
    return withTrailingSlash(resolvedPath(dataFolder)) + QStringLiteral("Quorvane.lock");
}

InstanceLock::InstanceLock(const QString& settingsPath, const QString& dataFolder) {
    QStringList paths{lockPath(settingsPath)};
    // (The two are one file only for a settings file named "Quorvane" in its own data folder.)
    if (!dataFolder.isEmpty() && dataLockPath(dataFolder) != paths.first()) paths << dataLockPath(dataFolder);
    for (const QString& path : paths) {
        int fd = -1;
        const State state = lockFile(path, &fd);
        if (state == State::HeldElsewhere) {
            m_state = state;
            return; // what this copy took goes with it
        }
        if (fd >= 0) m_fds << fd;
    }
    m_state = m_fds.isEmpty() ? State::Unavailable : State::Held;
}

InstanceLock::~InstanceLock() {
    // The files stay: one copy could be opening one while another removed it, and each would then hold a
    // lock of its own.
    for (const int fd : m_fds)
        ::close(fd);
}
