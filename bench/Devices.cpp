#include "bench/Devices.h"

#include "bench/FirstPaint.h"
#include "bench/StoreMaker.h"

#include <QDate>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>

namespace {

// The pieces that can be left out, by the names the program reads; at 2,000 items the parse memory does
// nothing (the file is too small for it).
struct Device {
    const char* name;
    const char* label;
    bool large; // only at 20,000 items
};
const Device Devices[] = {
    {"readahead", "the read-ahead thread", false},
    {"fonts", "the two font threads", false},
    {"parsememory", "the parse memory and its helper threads", true},
    {"busenv", "DBUS_SESSION_BUS_ADDRESS=disabled:", false},
    {"facethread", "the face drawn on a thread", false},
};

// The quartile q (2: the median) of values.
double quartile(QList<double> v, int q) {
    std::sort(v.begin(), v.end());
    if (v.isEmpty()) return 0;
    const qsizetype at = (v.size() - 1) * q;
    return (v[at / 4] + v[(at + 3) / 4]) / 2;
}

// The times that were measured (a start that never drew counts -1).
QList<double> measured(QList<double> times) {
    times.removeIf([](double t) { return t < 0; });
    return times;
}

double median(const QList<double>& times) {
    return quartile(measured(times), 2);
}

struct Start {
    QString folder;  // empty: the bare window
    QString leftOut; // empty: everything on
    QString label;
};

} // namespace

int benchDevices(const QString& folder, int runs) {
    const QString program = folder + QStringLiteral("/Quorvane");
    const QString bare = folder + QStringLiteral("/qv_bench_window");
    QTemporaryDir work;
    const QList<int> sizes = {2000, 20000};
    QList<Start> starts = {{QString(), QString(), QStringLiteral("the bare window")}};
    for (int size : sizes) {
        const QString store = work.path() + QStringLiteral("/%1").arg(size);
        storemaker::make(store, {size, 0, 0}, QDate::currentDate());
        starts << Start{store, QString(), QStringLiteral("everything")};
        for (const Device& d : Devices)
            if (!d.large || size > 2000)
                starts << Start{store, QString::fromLatin1(d.name), QString::fromLatin1(d.label)};
    }

    // Each run starts them in an order of its own: a start's time depends on the one before it (the X
    // server still freeing what the killed program held), so no start may always follow the same one.
    QList<QList<double>> times(starts.size());
    QList<int> order(starts.size());
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 shuffle(27);
    FirstPaint watcher;
    for (int run = 0; run < runs; ++run) {
        std::shuffle(order.begin(), order.end(), shuffle);
        for (const int i : order) {
            const Start& s = starts[i];
            QStringList env;
            if (!s.folder.isEmpty())
                env = {QStringLiteral("QUORVANE_SETTINGS_FILE=") + storemaker::settingsFile(s.folder),
                       QStringLiteral("QUORVANE_MACHINE_SETTINGS_FILE=") + s.folder +
                           QStringLiteral("/machine.ini"),
                       QStringLiteral("QV_BENCH_LEAVE_OUT=") + s.leftOut};
            const double t = watcher.measure(s.folder.isEmpty() ? bare : program, env);
            if (!s.folder.isEmpty())
                QFile::remove(storemaker::settingsFile(s.folder) + QStringLiteral(".lock"));
            if (t < 0) std::fprintf(stderr, "\nNo paint without %s\n", qPrintable(s.leftOut));
            times[i] << t;
        }
        std::fprintf(stderr, "\rfirst paint: run %d of %d", run + 1, runs);
    }
    std::fprintf(stderr, "\n");

    // Every time, for a closer look: one line per start, one column per run.
    if (qEnvironmentVariableIsSet("QV_BENCH_RAW")) {
        QFile raw(qEnvironmentVariable("QV_BENCH_RAW"));
        if (raw.open(QIODevice::WriteOnly)) {
            for (int i = 0; i < starts.size(); ++i) {
                QStringList line = {starts[i].folder.section(QLatin1Char('/'), -1), starts[i].leftOut};
                for (double t : times[i])
                    line << QString::number(t, 'f', 2);
                raw.write(line.join(QLatin1Char('\t')).toUtf8() + '\n');
            }
        }
    }

    const double bareMs = median(times[0]);
    std::printf("\n%d interleaved runs; medians. The bare window: %.1f ms.\n", runs, bareMs);
    std::printf("A gain is the median over the runs of (left out − everything) within one run, with its\n"
                "quartiles beside it.\n\n");
    std::printf(
        "| items | left out | first paint | ratio to the bare window | gain | its quartiles | gain %% |\n"
        "|---|---|---|---|---|---|---|\n");
    int everything = 0;
    for (int i = 1; i < starts.size(); ++i) {
        const Start& s = starts[i];
        const int items = s.folder.section(QLatin1Char('/'), -1).toInt();
        const double m = median(times[i]);
        if (s.leftOut.isEmpty()) {
            everything = i;
            std::printf("| %d | nothing | %.1f ms | %.2f× | | | |\n", items, m, m / bareMs);
            continue;
        }
        QList<double> gains;
        for (int run = 0; run < runs; ++run)
            if (times[i][run] >= 0 && times[everything][run] >= 0)
                gains << times[i][run] - times[everything][run];
        const double gain = quartile(gains, 2);
        std::printf("| %d | %s | %.1f ms | %.2f× | %+.1f ms | %+.1f to %+.1f ms | %+.1f %% |\n", items,
                    qPrintable(s.label), m, m / bareMs, gain, quartile(gains, 1), quartile(gains, 3),
                    100 * gain / median(times[everything]));
    }
    return 0;
}
