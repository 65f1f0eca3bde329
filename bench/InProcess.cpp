#include "InProcess.h"

#include "Clock.h"
#include "File.h"
#include "Globals.h"
#include "GuiShell.h"
#include "Initialize.h"
#include "Items.h"
#include "OrbinWindow.h"
#include "StoreMaker.h"

#include <QApplication>
#include <QFile>
#include <QMap>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
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

} // namespace

int runInProcess(const QString& folder, int rounds, bool callgrind) {
    qputenv("QUORVANE_SETTINGS_FILE", storemaker::settingsFile(folder).toLocal8Bit());
    qputenv("QUORVANE_MACHINE_SETTINGS_FILE", (folder + QStringLiteral("/machine.ini")).toLocal8Bit());
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

    pugi::xml_document copy; // the floor of newItem works on a copy of the store
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
             // Copy the template and append it, with its id, a thousand times.
             pugi::xml_node root = copy.document_element();
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
    };
    // Untimed, around each run: the floor's copy of the store made before, the store as it was made
    // back after the new items.
    auto prepare = [&](const char* measure) {
        if (std::strcmp(measure, "append1000") == 0) copy.reset(gItems->document());
    };
    auto restore = [&](const char* measure) {
        if (std::strcmp(measure, "newItem1000") == 0) gItems->loadItemXML();
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
    ::_exit(0); // no quit: the store stays as it was made
}
