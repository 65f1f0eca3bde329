#pragma once

#include <QString>
#include <optional>
#include <sys/stat.h>

// Which file a path named, and as it stood then: the same identity later means the file is the one that
// was read or written, unchanged since. A file written anew in its place (a new file renamed over it) has
// another inode; one rewritten where it stands has another size, modification or change time.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};

    FileIdentity() = default;
    explicit FileIdentity(const struct stat& s)
        : device(s.st_dev), inode(s.st_ino), size(s.st_size), modified(s.st_mtim), changed(s.st_ctim) {}

    // The regular file that path names (through links) as it stands now; nullopt when there is none.
    static std::optional<FileIdentity> of(const QString& path);

    // The same content, as far as the file system tells: the same file, its size and modification time
    // unchanged. The change time alone also moves when only the file's mode, owner or links change (a
    // chmod, a backup tool's hard link), and a write moves the modification time with it.
    bool sameContent(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
    bool operator==(const FileIdentity& o) const {
        return sameContent(o) && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};
