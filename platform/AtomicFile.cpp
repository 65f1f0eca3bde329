#include "platform/AtomicFile.h"

#include "platform/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString LeftoverMark = QStringLiteral(".saving-");

int failureNumber(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return err::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return err::PermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return err::PathNotFound;
    default:
        return err::PathFileAccess;
    }
}

[[noreturn]] void fail(int error, const QString& path) {
    const int number = failureNumber(error);
    throw Failure(number, QStringLiteral("%1 (%2: %3)")
                              .arg(Failure::classicDescription(number), path,
                                   QString::fromLocal8Bit(std::strerror(error))));
}

QString randomPart() {
    static const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString part;
    for (int i = 0; i < 6; ++i)
        part += QLatin1Char(Letters[QRandomGenerator::global()->bounded(62)]);
    return part;
}

// Closes the descriptor and removes the temporary file unless the save went through.
class TempFile {
public:
    TempFile(int fd, QByteArray path) : m_fd(fd), m_path(std::move(path)) {}
    ~TempFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_kept) ::unlink(m_path.constData());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return m_fd; }
    // Closes the file; the error number, or 0.
    int close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }
    void keep() { m_kept = true; }

private:
    int m_fd;
    QByteArray m_path;
    bool m_kept = false;
};

} // namespace

namespace atomicfile {

std::optional<FileIdentity> write(const QString& path, const QByteArray& bytes, Access access) {
    return write(path, {QByteArrayView(bytes)}, access);
}

std::optional<FileIdentity> write(const QString& path, std::initializer_list<QByteArrayView> parts,
                                  Access access) {
    QFileInfo info(path);
    // A link is followed: the file it points to gets the new content, and the link stays.
    if (info.isSymLink() && !info.symLinkTarget().isEmpty()) info = QFileInfo(info.symLinkTarget());
    if (!makeFolder(info.absolutePath())) fail(ENOENT, info.absolutePath());

    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray tempPath;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        tempPath = QFile::encodeName(info.absoluteFilePath() + LeftoverMark + randomPart());
        // The owner's alone from the start: nobody can open it while it is being written.
        fd = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && (errno != EEXIST || attempt > 100)) fail(errno, path);
    }
    TempFile temp(fd, tempPath);
    // Held while the file is written, so that a start-up meanwhile does not take it for a leftover.
    ::flock(fd, LOCK_EX | LOCK_NB);

    // A file that is there keeps its permissions, unless it is to be private.
    struct stat old {};
    if (access == Access::Kept && ::stat(target.constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    for (const QByteArrayView part : parts) {
        const char* data = part.data();
        qsizetype left = part.size();
        while (left > 0) {
            const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
            if (written < 0) {
                if (errno == EINTR) continue;
                fail(errno, path);
            }
            if (written == 0) fail(ENOSPC, path);
            data += written;
            left -= written;
        }
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) fail(errno, path);
    // A second descriptor tells, after the rename, what the file written stands as.
    const int kept = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    const auto closeKept = qScopeGuard([kept] {
        if (kept >= 0) ::close(kept);
    });
    if (const int error = temp.close()) fail(error, path);
    if (::rename(tempPath.constData(), target.constData()) != 0) fail(errno, path);
    temp.keep();

    // The rename itself reaches the disk with the folder.
    const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    struct stat now {};
    if (kept >= 0 && ::fstat(kept, &now) == 0) return FileIdentity(now);
    return std::nullopt;
}

bool makeFolder(const QString& path) {
    const QString folder = QDir::cleanPath(QDir(path).absolutePath());
    if (QFileInfo(folder).isDir()) return true;
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent == folder || !makeFolder(parent)) return false;
    // Made beside another start, the folder is there all the same.
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || QFileInfo(folder).isDir();
}

int removeLeftovers(const QString& path) {
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    if (!folder.exists()) return 0;
    const QString prefix = info.fileName() + LeftoverMark;
    // The six letters or digits a temporary file's name ends in, looked for by hand: a name filter or a
    // pattern would load the pattern engine at every start (half a megabyte of memory).
    const auto leftover = [&](const QString& name) {
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix)) return false;
        for (qsizetype i = prefix.size(); i < name.size(); ++i) {
            const char16_t c = name.at(i).unicode();
            if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
                return false;
        }
        return true;
    };
    int removed = 0;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!leftover(name)) continue;
        const QByteArray file = QFile::encodeName(folder.absoluteFilePath(name));
        const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        // A save still writing it holds the lock.
        const bool idle = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (idle && ::unlink(file.constData()) == 0) ++removed;
        ::close(fd);
    }
    return removed;
}

void raise(int error, const QString& path) {
    fail(error, path);
}

} // namespace atomicfile
