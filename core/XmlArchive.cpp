#include "core/XmlArchive.h"

#include "core/File.h"
#include "core/XmlLayout.h"
#include "platform/AtomicFile.h"
#include "platform/Failure.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xmlarchive {
namespace {

using Texts = QList<QByteArray>;
using Positions = QList<std::pair<qsizetype, qsizetype>>;

// What stands after the end tag of the root element is kept in the record while a move is written in
// place; after a longer one (a long note written by hand after the root, say) the move goes through a
// copy of the archive instead.
constexpr qint64 MaxTail = 64 * 1024;

const QByteArray Heading = QByteArrayLiteral("Quorvane archive record 1\n");
constexpr qsizetype Padding = 512;

// A digest against chance, not against intent: the quick one.
QByteArray digest(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
}

// An open file, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

int openFile(const QString& path, int flags, mode_t mode = 0) {
    int fd = -1;
    do
        fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Writes bytes at offset: 0, or the system's error number.
int writeAt(int fd, QByteArrayView bytes, qint64 offset) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::pwrite(fd, data, static_cast<size_t>(left), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return ENOSPC;
        data += written;
        left -= written;
        offset += written;
    }
    return 0;
}

// The length bytes at offset, or nullopt when they could not all be read.
std::optional<QByteArray> readAt(int fd, qint64 offset, qint64 length) {
    QByteArray bytes(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, bytes.data() + done, static_cast<size_t>(length - done),
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        done += n;
    }
    return bytes;
}

// Brings what was written to the file onto the disk: 0, or the system's error number. A file system that
// keeps nothing to bring there (one read-only or without the call) has nothing to wait for.
int flush(int fd) {
    if (::fdatasync(fd) == 0 || errno == EINVAL || errno == EROFS) return 0;
    return errno;
}

// Brings the name of a new file onto the disk with its folder.
void flushFolder(const QString& file) {
    const int folder = openFile(QFileInfo(file).absolutePath(), O_RDONLY);
    if (folder < 0) return;
    ::fsync(folder);
    ::close(folder);
}

[[noreturn]] void unreadable(const QString& path, int error) {
    throw Failure(err::PathFileAccess,
                  QStringLiteral("The archive %1 could not be read (%2); no item was moved")
                      .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

// The bytes of a file: mapped, or read where it cannot be mapped.
class Contents {
public:
    Contents() = default;
    ~Contents() { release(); }
    Contents(const Contents&) = delete;
    Contents& operator=(const Contents&) = delete;

    // False when the size bytes of the file could not be had.
    bool take(int fd, qint64 size) {
        release();
        if (size == 0) return true;
        void* mapped = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            m_mapped = mapped;
            m_size = size;
            return true;
        }
        std::optional<QByteArray> read = readAt(fd, 0, size);
        if (!read) return false;
        m_read = *read;
        return true;
    }
    QByteArrayView bytes() const {
        return m_mapped ? QByteArrayView(static_cast<const char*>(m_mapped), m_size) : QByteArrayView(m_read);
    }
    void release() {
        if (m_mapped) ::munmap(m_mapped, static_cast<size_t>(m_size));
        m_mapped = nullptr;
        m_read.clear();
    }

private:
    void* m_mapped = nullptr;
    qint64 m_size = 0;
    QByteArray m_read;
};

// --- the record ---

struct Record {
    // The archive as the program left it.
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = 0;
    qint64 changed = 0; // the time of its last change, in nanoseconds
    // Where the end tag of its root element starts, and all from it on: what the next move overwrites.
    qint64 rootEnd = 0;
    QByteArray tail;
    // Where the items start that may still stand in the items file (rootEnd when there are none); from
    // movedFrom on they are all items the last move took out of the items document.
    qint64 unsettled = 0;
    qint64 movedFrom = 0;
    // While a move is written: the size of the archive and the digest of all from rootEnd on once it is
    // complete. Until then tail at rootEnd is what it was.
    bool moving = false;
    qint64 newSize = 0;
    QByteArray newDigest;

    void take(const struct stat& file) {
        device = static_cast<qint64>(file.st_dev);
        inode = static_cast<qint64>(file.st_ino);
        size = file.st_size;
        changed = static_cast<qint64>(file.st_mtim.tv_sec) * 1000000000 + file.st_mtim.tv_nsec;
    }
    bool sameFile(const struct stat& file) const {
        return device == static_cast<qint64>(file.st_dev) && inode == static_cast<qint64>(file.st_ino);
    }
    // Whether file is the archive as the record knows it, with no move under way.
    bool describes(const struct stat& file) const {
        Record now;
        now.take(file);
        return !moving && sameFile(file) && size == now.size && changed == now.changed && 0 <= unsettled &&
               unsettled <= movedFrom && movedFrom <= rootEnd && rootEnd + tail.size() == size;
    }
    QByteArray text() const {
        QByteArray t = Heading;
        const auto line = [&t](const char* key, const QByteArray& value) {
            t += key;
            t += ' ';
            t += value;
            t += '\n';
        };
        line("device", QByteArray::number(device));
        line("inode", QByteArray::number(inode));
        line("size", QByteArray::number(size));
        line("changed", QByteArray::number(changed));
        line("root-end", QByteArray::number(rootEnd));
        line("tail", tail.toHex());
        line("unsettled", QByteArray::number(unsettled));
        line("moved-from", QByteArray::number(movedFrom));
        if (moving) {
            line("new-size", QByteArray::number(newSize));
            line("new-digest", newDigest.toHex());
        }
        line("check", digest(t).toHex());
        // Of one size from move to move (one block of the disk with an end of the usual length), so that
        // bringing it onto the disk is one write in place, without a change of its size.
        t.append(Padding - t.size() % Padding, '\n');
        return t;
    }
    // The record a text holds, or nullopt when it holds none (what follows its check line does not count).
    static std::optional<Record> read(const QByteArray& text) {
        const qsizetype check = text.indexOf("\ncheck ");
        if (!text.startsWith(Heading) || check < 0) return std::nullopt;
        const QByteArray body = text.left(check + 1);
        const qsizetype end = text.indexOf('\n', check + 7);
        if (end < 0 || text.mid(check + 7, end - check - 7) != digest(body).toHex()) return std::nullopt;
        QHash<QByteArray, QByteArray> values;
        for (const QByteArray& line : body.mid(Heading.size()).split('\n')) {
            const qsizetype blank = line.indexOf(' ');
            if (blank > 0) values.insert(line.left(blank), line.mid(blank + 1));
        }
        bool ok = values.contains("tail");
        const auto number = [&](const char* key) {
            bool read = false;
            const qint64 n = values.value(key).toLongLong(&read);
            ok = ok && read;
            return n;
        };
        Record r;
        r.device = number("device");
        r.inode = number("inode");
        r.size = number("size");
        r.changed = number("changed");
        r.rootEnd = number("root-end");
        r.tail = QByteArray::fromHex(values.value("tail"));
        r.unsettled = number("unsettled");
        r.movedFrom = number("moved-from");
        r.moving = values.contains("new-size");
        if (r.moving) {
            r.newSize = number("new-size");
            r.newDigest = QByteArray::fromHex(values.value("new-digest"));
        }
        if (!ok) return std::nullopt;
        return r;
    }
};

std::optional<Record> readRecord(const QString& path) {
    QFile file(recordPath(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * MaxTail) return std::nullopt;
    return Record::read(file.readAll());
}

// Writes the record in place of the one there. With durable set it stands on the disk when this returns;
// raises a Failure when it could not be written.
void writeRecord(const QString& path, const Record& record, bool durable) {
    const QString name = recordPath(path);
    const QByteArray text = record.text();
    const bool existed = QFile::exists(name);
    const Descriptor file(openFile(name, O_WRONLY | O_CREAT, 0600));
    if (!file) atomicfile::raise(errno, name);
    if (const int error = writeAt(file.get(), text, 0)) atomicfile::raise(error, name);
    if (::ftruncate(file.get(), static_cast<off_t>(text.size())) != 0) atomicfile::raise(errno, name);
    if (durable) {
        if (const int error = flush(file.get())) atomicfile::raise(error, name);
        if (!existed) flushFolder(name);
    }
}

// The same, for a record that may be lost: one that could not be written is taken away, so that the
// archive is read whole at the next move rather than taken for what it no longer is.
void writeRecordIfYouCan(const QString& path, const Record& record) {
    try {
        writeRecord(path, record, false);
    } catch (const std::exception&) {
        QFile::remove(recordPath(path));
    }
}

// Puts tail back at rootEnd as the end of the file, and brings it onto the disk.
bool putBack(int fd, qint64 rootEnd, const QByteArray& tail) {
    return writeAt(fd, tail, rootEnd) == 0 &&
           ::ftruncate(fd, static_cast<off_t>(rootEnd + tail.size())) == 0 && flush(fd) == 0;
}

// What the text of an element (one item of an archive) reads as, written as the program writes it; empty
// when it does not read.
QByteArray readAs(QByteArrayView element) {
    pugi::xml_document read;
    if (!File::readXMLText(read, element.toByteArray()).ok()) return {};
    return File::xmlText(read.document_element());
}

// The texts among moving that the items of region (given by their starts and lengths in region) read as:
// an item's own bytes, when they are as the program writes them (as they are for every item it moved),
// else what they read as. matched tells for each item whether it is one of them.
QSet<QByteArray> heldIn(QByteArrayView region, const Positions& items, const Texts& moving,
                        QList<bool>& matched) {
    const QSet<QByteArray> wanted(moving.begin(), moving.end());
    QSet<qsizetype> lengths;
    for (const QByteArray& text : moving)
        lengths.insert(text.size());
    QSet<QByteArray> held;
    matched.clear();
    for (const auto& [start, length] : items) {
        const QByteArrayView item = region.sliced(start, length);
        QByteArray text;
        if (lengths.contains(length) && wanted.contains(QByteArray::fromRawData(item.data(), length)))
            text = item.toByteArray();
        else if (!xmllayout::asWritten(item))
            text = readAs(item);
        matched.append(!text.isEmpty() && wanted.contains(text));
        if (matched.back()) held.insert(text);
    }
    return held;
}

} // namespace

QString recordPath(const QString& path) {
    return path + QStringLiteral(".record");
}

bool append(const QString& path, const Texts& texts) {
    int opened = openFile(path, O_RDWR);
    if (opened < 0 && errno == ENOENT) {
        // A new archive, as the program has always started one; a record left of an archive that was
        // taken away is not this one's.
        QFile::remove(recordPath(path));
        QByteArray added;
        for (const QByteArray& text : texts)
            added += text;
        atomicfile::write(path,
                          {QByteArrayView("<root>\r\n"), QByteArrayView(added), QByteArrayView("</root>")});
        return true;
    }
    const bool writable = opened >= 0;
    if (!writable) opened = openFile(path, O_RDONLY);
    const Descriptor file(opened);
    if (!file) unreadable(path, errno);
    struct stat before {};
    if (::fstat(file.get(), &before) != 0) unreadable(path, errno);
    if (!S_ISREG(before.st_mode)) unreadable(path, EISDIR);

    // With the record: the end of the root element and the items to compare are where it says, when they
    // are still laid out as the program wrote them.
    Record now;
    const std::optional<Record> record = readRecord(path);
    QByteArray regionRead;
    QByteArrayView region;
    qint64 regionStart = -1;
    Positions items;
    if (record && record->describes(before) && record->tail.size() <= MaxTail) {
        const std::optional<QByteArray> tail = readAt(file.get(), record->rootEnd, record->tail.size());
        std::optional<QByteArray> unsettled =
            readAt(file.get(), record->unsettled, record->rootEnd - record->unsettled);
        std::optional<xmllayout::Layout> layout;
        if (tail == record->tail && tail->startsWith("</") && unsettled)
            layout = xmllayout::scanContent(*unsettled);
        if (layout) {
            now = *record;
            regionStart = record->unsettled;
            regionRead = *unsettled;
            region = regionRead;
            items = layout->items;
        }
    }
    // Without it the archive is read whole, and every item of it compared.
    Contents whole;
    const bool full = regionStart < 0;
    if (full) {
        if (!whole.take(file.get(), before.st_size)) unreadable(path, errno);
        const QByteArrayView bytes = whole.bytes();
        const std::optional<xmllayout::Layout> layout = xmllayout::scan(bytes);
        if (!layout) return false;
        now.rootEnd = layout->rootEnd;
        now.tail = bytes.sliced(now.rootEnd).toByteArray();
        regionStart = layout->rootContent;
        region = bytes.sliced(regionStart, now.rootEnd - regionStart);
        for (const auto& [start, length] : layout->items)
            items.append({start - regionStart, length});
    }
    const qint64 rootEnd = now.rootEnd;

    QList<bool> matched;
    const QSet<QByteArray> held = heldIn(region, items, texts, matched);
    QByteArray added;
    for (const QByteArray& text : texts)
        if (!held.contains(text)) added += text;
    // The items that may stand in the items file as well: with the record, those it names and those added
    // now; without it, the first item held already and all after it. Those from movedFrom on all leave
    // the items document now.
    now.unsettled = full ? rootEnd : regionStart;
    qint64 run = -1; // where the last run of items held already starts
    for (qsizetype i = 0; i < items.size(); ++i) {
        const qint64 start = regionStart + items[i].first;
        if (full && matched[i] && now.unsettled == rootEnd) now.unsettled = start;
        if (start >= now.unsettled) run = matched[i] ? (run < 0 ? start : run) : -1;
    }
    now.movedFrom = run >= 0 ? run : rootEnd;
    now.take(before);
    if (added.isEmpty()) {
        writeRecordIfYouCan(path, now);
        return true;
    }

    struct stat after {};
    if (!writable || now.tail.size() > MaxTail) {
        // Through a copy that takes the archive's place.
        if (!full && !whole.take(file.get(), before.st_size)) unreadable(path, errno);
        atomicfile::write(path,
                          {whole.bytes().first(rootEnd), QByteArrayView(added), QByteArrayView(now.tail)});
        if (::stat(QFile::encodeName(path).constData(), &after) != 0) return true;
    } else {
        // In place. The record of the move, which tells what to put back when it is cut off, is on the
        // disk first.
        whole.release();
        const QByteArray written = added + now.tail;
        Record moving = now;
        moving.moving = true;
        moving.newSize = rootEnd + written.size();
        moving.newDigest = digest(written);
        writeRecord(path, moving, true);
        int error = writeAt(file.get(), written, rootEnd);
        if (error == 0) error = flush(file.get());
        if (error != 0) {
            // What stood there goes back at once; when it cannot, the next start puts it back.
            if (putBack(file.get(), rootEnd, now.tail) && ::fstat(file.get(), &after) == 0) {
                now.take(after);
                now.movedFrom = rootEnd; // nothing moved
                writeRecordIfYouCan(path, now);
            }
            atomicfile::raise(error, path);
        }
        if (::fstat(file.get(), &after) != 0) return true;
    }
    now.take(after);
    now.rootEnd = rootEnd + added.size();
    writeRecordIfYouCan(path, now);
    return true;
}

void recover(const QString& path) {
    try {
        if (!QFile::exists(recordPath(path))) return;
        // No record, or one of an archive that is gone or was replaced: the archive speaks for itself.
        std::optional<Record> record = readRecord(path);
        if (!record) {
            QFile::remove(recordPath(path));
            return;
        }
        if (!record->moving) return;
        const Descriptor file(openFile(path, O_RDWR));
        if (!file && errno == ENOENT) QFile::remove(recordPath(path));
        struct stat now {};
        if (!file || ::fstat(file.get(), &now) != 0) return;
        if (!record->sameFile(now) || now.st_size < record->rootEnd) {
            QFile::remove(recordPath(path));
            return;
        }
        // A move that was cut off (the program ended, the machine stopped): complete, or put back.
        const auto endWhenSized = [&](qint64 size) -> std::optional<QByteArray> {
            if (now.st_size != size) return std::nullopt;
            return readAt(file.get(), record->rootEnd, size - record->rootEnd);
        };
        const std::optional<QByteArray> complete = endWhenSized(record->newSize);
        if (complete && digest(*complete) == record->newDigest) {
            record->rootEnd = record->newSize - record->tail.size();
        } else {
            record->movedFrom = record->rootEnd; // nothing moved
            if (endWhenSized(record->rootEnd + record->tail.size()) != record->tail &&
                (!putBack(file.get(), record->rootEnd, record->tail) || ::fstat(file.get(), &now) != 0))
                return;
        }
        record->moving = false;
        record->take(now);
        writeRecord(path, *record, false);
    } catch (const std::exception&) {
    }
}

void settle(const QString& path, const pugi::xml_document& items) {
    try {
        std::optional<Record> record = readRecord(path);
        if (!record || record->unsettled >= record->rootEnd) return;
        const Descriptor file(openFile(path, O_RDONLY));
        struct stat now {};
        if (!file || ::fstat(file.get(), &now) != 0 || !record->describes(now)) return;
        // The items the last move took out of the items document are gone from it; of those before them,
        // the ones it still holds stay to compare, and all after the first of them.
        qint64 settledTo = record->rootEnd;
        if (record->unsettled < record->movedFrom) {
            const std::optional<QByteArray> region =
                readAt(file.get(), record->unsettled, record->movedFrom - record->unsettled);
            const std::optional<xmllayout::Layout> layout =
                region ? xmllayout::scanContent(*region) : std::nullopt;
            if (!layout) return;
            QHash<QByteArray, QList<pugi::xml_node>> byId;
            for (const pugi::xml_node& item : items.document_element().children("item"))
                byId[QByteArray(item.child_value("id"))].append(item);
            for (const auto& [start, length] : layout->items) {
                const QByteArrayView bytes = QByteArrayView(*region).sliced(start, length);
                pugi::xml_document element;
                bool stands = !File::readXMLText(element, bytes.toByteArray()).ok();
                const QList<pugi::xml_node> sameId = byId.value(element.document_element().child_value("id"));
                if (!stands && !sameId.isEmpty()) {
                    const QByteArray text = xmllayout::asWritten(bytes)
                                                ? bytes.toByteArray()
                                                : File::xmlText(element.document_element());
                    for (const pugi::xml_node& candidate : sameId)
                        stands = stands || File::xmlText(candidate) == text;
                }
                if (stands) {
                    settledTo = record->unsettled + start;
                    break;
                }
            }
        }
        if (settledTo == record->unsettled) return;
        record->unsettled = settledTo;
        record->movedFrom = std::max(record->movedFrom, settledTo);
        writeRecord(path, *record, false);
    } catch (const std::exception&) {
    }
}

bool note(const QString& path) {
    const Descriptor file(openFile(path, O_RDONLY));
    struct stat now {};
    Contents whole;
    if (!file || ::fstat(file.get(), &now) != 0 || !whole.take(file.get(), now.st_size)) return false;
    const std::optional<xmllayout::Layout> layout = xmllayout::scan(whole.bytes());
    if (!layout) return false;
    Record record;
    record.take(now);
    record.rootEnd = record.unsettled = record.movedFrom = layout->rootEnd;
    record.tail = whole.bytes().sliced(layout->rootEnd).toByteArray();
    writeRecord(path, record, false);
    return true;
}

} // namespace xmlarchive
