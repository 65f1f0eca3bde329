#include "bench/InProcess.h"

#include "app/GuiShell.h"
#include "bench/StoreMaker.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/XML.h"
#include "core/XmlArchive.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

namespace {

class Counter : public pugi::xml_writer {
public:
    void write(const void*, size_t size) override { bytes += size; }
    size_t bytes = 0;
};

class Collector : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

volatile int gSink = 0; // keeps the floor's pass from being left out

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

// The file at path cut or grown to size, with bytes as its end, and on the disk.
void restoreEnd(const QString& path, qint64 size, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 ||
        ::pwrite(fd, bytes.constData(), static_cast<size_t>(bytes.size()), size - bytes.size()) !=
            bytes.size() ||
        ::ftruncate(fd, size) != 0 || ::fsync(fd) != 0)
        qFatal("cannot restore %s", qPrintable(path));
    ::close(fd);
}

} // namespace

int runInProcess(const QString& folder, int rounds, bool callgrind) {
    // Memory freed stays with the process, so that a measure and its floor alike take memory made ready
    // before: memory that the system must first hand over costs many times the work itself on a busy
    // virtual machine (copying a 2,000-item document's task a thousand times took 27 ms on fresh memory
    // and 0.4 ms on memory used before), and which of the two a measure meets would depend on what ran
    // before it.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    qputenv("QUORVANE_SETTINGS_FILE", storemaker::settingsFile(folder).toLocal8Bit());
    qputenv("QUORVANE_MACHINE_SETTINGS_FILE", (folder + QStringLiteral("/machine.ini")).toLocal8Bit());
    // The move of the day's items starts from the store as it was made: its items file, and its archive
    // with the record a move leaves (only its end changes).
    const QString data = folder + QStringLiteral("/data/");
    const QString archivePath = data + QStringLiteral("archive.xml");
    const QByteArray madeItems = readAll(data + QStringLiteral("items.xml"));
    const qint64 madeSize = QFileInfo(archivePath).size();
    const QByteArray madeEnd = readAll(archivePath).right(64 * 1024);
    int argc = 1;
    char name[] = "qv_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    installGuiLayer();
    Main();
    if (!gItems || !gOrbinWindow) {
        std::fprintf(stderr, "The program did not start on %s\n", qPrintable(folder));
        return 1;
    }
    const QString floorPath = folder + QStringLiteral("/floor.xml");
    const QByteArray today = appClock().today().toString(QStringLiteral("yyyyMMdd")).toLatin1();

    pugi::xml_document moving;       // the items document the day's items move from
    std::vector<pugi::xml_node> old; // its items that move, as the store's index gives them to the move
    // The floor of the move: the bytes of the items it moves, written at the end of a file and flushed.
    QByteArray movingBytes;
    {
        pugi::xml_document made;
        File::readXMLText(made, madeItems);
        for (const pugi::xml_node item : made.document_element().children("item"))
            if (*item.child_value("date") && std::atof(item.child_value("date")) < XML::archiveCutoff())
                movingBytes += File::xmlText(item);
    }
    const QString floorFile = folder + QStringLiteral("/floor.bin");
    // What each measure and its floor run.
    const QList<std::pair<const char*, std::function<void()>>> measures = {
        {"updateInfo", [] { gOrbinWindow->updateInfo(); }},
        {"pass",
         [&] {
             // One pass over the items, reading each one's day.
             int n = 0;
             for (const pugi::xml_node item : gItems->document().document_element().children("item"))
                 n += std::strcmp(item.child_value("date"), today.constData()) == 0;
             gSink = n;
         }},
        {"newItem1000",
         [] {
             for (int i = 0; i < 1000; ++i)
                 gItems->newItem(QStringLiteral("Task"));
         }},
        {"append1000",
         [&] {
             // Copy the template and append it, with its id, a thousand times, into the store's own
             // document, which newItem grows too.
             pugi::xml_node root = const_cast<pugi::xml_document&>(gItems->document()).document_element();
             const pugi::xml_node task = root.child("item");
             for (int i = 0; i < 1000; ++i)
                 root.append_copy(task).child("id").text().set(30000 + i);
         }},
        {"save", [] { gItems->saveItemXML(); }},
        {"pugiSave",
         [&] {
             gItems->document().save_file(floorPath.toLocal8Bit().constData(), "",
                                          pugi::format_raw | pugi::format_no_declaration);
         }},
        {"xmlText", [] { File::xmlText(gItems->document()); }},
        {"pugiPrint",
         [] {
             Collector out;
             gItems->document().save(out, "", pugi::format_raw | pugi::format_no_declaration);
         }},
        {"archiveMove",
         [&] {
             gXML->archiveData(moving, nullptr, &old);
             xmlarchive::settle(archivePath, moving);
         }},
        {"appendFlush",
         [&] {
             const int fd = ::open(QFile::encodeName(floorFile).constData(),
                                   O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
             if (fd < 0 ||
                 ::write(fd, movingBytes.constData(), static_cast<size_t>(movingBytes.size())) !=
                     movingBytes.size() ||
                 ::fdatasync(fd) != 0)
                 qFatal("cannot write %s", qPrintable(floorFile));
             ::close(fd);
         }},
    };
    // Untimed, around each run: the store as it was made, read afresh before and after a measure that adds
    // items and before its floor, so that both grow a document in the same state; the archive as it was
    // made, with the record of a move made at an earlier start; the floor's file emptied.
    const auto adds = [](const char* measure) {
        return std::strcmp(measure, "newItem1000") == 0 || std::strcmp(measure, "append1000") == 0;
    };
    auto prepare = [&](const char* measure) {
        if (adds(measure)) gItems->loadItemXML();
        if (std::strcmp(measure, "archiveMove") == 0) {
            restoreEnd(archivePath, madeSize, madeEnd);
            if (!xmlarchive::note(archivePath)) qFatal("cannot record %s", qPrintable(archivePath));
            // On the disk, as the record of a move made at an earlier start would be.
            const QString record = xmlarchive::recordPath(archivePath);
            restoreEnd(record, QFileInfo(record).size(), {});
            File::readXMLText(moving, madeItems);
            old.clear();
            for (const pugi::xml_node item : moving.document_element().children("item"))
                if (*item.child_value("date") && std::atof(item.child_value("date")) < XML::archiveCutoff())
                    old.push_back(item);
        }
        if (std::strcmp(measure, "appendFlush") == 0) restoreEnd(floorFile, 0, {});
    };
    auto restore = [&](const char* measure) {
        if (adds(measure)) gItems->loadItemXML();
    };

    if (callgrind) {
        for (const auto& [measure, run] : measures) {
            prepare(measure);
            CALLGRIND_ZERO_STATS;
            CALLGRIND_TOGGLE_COLLECT;
            run();
            CALLGRIND_TOGGLE_COLLECT;
            CALLGRIND_DUMP_STATS_AT(measure);
            restore(measure);
        }
    } else {
        QMap<QString, QList<double>> times;
        for (int round = 0; round < rounds; ++round) {
            for (const auto& [measure, run] : measures) {
                const int repeats =
                    std::strcmp(measure, "updateInfo") == 0 || std::strcmp(measure, "pass") == 0 ? 10 : 1;
                for (int i = 0; i < repeats; ++i) {
                    prepare(measure);
                    const auto start = std::chrono::steady_clock::now();
                    run();
                    const auto end = std::chrono::steady_clock::now();
                    times[QString::fromLatin1(measure)]
                        << std::chrono::duration<double, std::milli>(end - start).count();
                    restore(measure);
                }
            }
        }
        for (const auto& [measure, run] : measures)
            std::printf("%s %.4f\n", measure, median(times.value(QString::fromLatin1(measure))));
    }
    std::fflush(stdout);
    QFile::remove(floorPath);
    QFile::remove(floorFile);
    ::_exit(0); // no quit: the store stays as it was made
}
