// tools/bench: starts the bare window and the program on the same stores, interleaved, and prints what
// each measure costs beside its floor, as ratios from one run.
#include "bench/Devices.h"
#include "bench/FirstPaint.h"
#include "bench/InProcess.h"
#include "bench/StoreMaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {

struct Options {
    // Medians of fewer runs move by a tenth of the ratio between two runs of the same program on a shared
    // machine.
    int runs = 81;
    int rssRuns = 3;
    int rssSeconds = 10;
    int rounds = 21;
    bool callgrind = false;
    bool storesOnly = false; // make the stores in the current folder and leave them there
    bool devices = false;    // what each piece of work beside the start gains (Devices.h)
    int dialogRuns = 81;     // the New Task dialog and its floor, each
    int idleSeconds = 0;     // 0: the idle row is left out (it takes that long)
};

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    if (v.isEmpty()) return 0;
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

QString ms(double v) {
    return v >= 100 ? QStringLiteral("%1 ms").arg(v, 0, 'f', 0)
                    : QStringLiteral("%1 ms").arg(v, 0, 'f', v >= 10 ? 1 : 2);
}

QString ratio(double a, double b) {
    return b > 0 ? QStringLiteral("%1×").arg(a / b, 0, 'f', a / b >= 10 ? 0 : 2) : QStringLiteral("-");
}

struct Scenario {
    QString label;
    QString folder;     // empty: the bare window
    bool fresh = false; // the run changes the store: each run starts from a copy, made as the store was
};

// Whether the program moved items into the archive of the copy in folder of the store in made.
bool archiveGrew(const QString& made, const QString& folder) {
    const QString archive = QStringLiteral("/data/archive.xml");
    return QFileInfo(folder + archive).size() > QFileInfo(made + archive).size();
}

// A program ended with SIGKILL leaves the lock that keeps a second copy out, which an ordinary quit
// takes away: the next start would have to find it stale first.
void removeLock(const QString& folder) {
    QFile::remove(storemaker::settingsFile(folder) + QStringLiteral(".lock"));
}

QStringList storeEnv(const QString& folder) {
    return {QStringLiteral("QUORVANE_SETTINGS_FILE=") + storemaker::settingsFile(folder),
            QStringLiteral("QUORVANE_MACHINE_SETTINGS_FILE=") + folder + QStringLiteral("/machine.ini")};
}

// The in-process measures of a store, by name: medians in milliseconds, or instruction counts.
QMap<QString, double> inProcess(const QString& self, const storemaker::Store& store, const Options& o,
                                bool callgrind, const QString& work) {
    QMap<QString, double> result;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    // A store of its own, which the measures may save over.
    const QString copy = work + QStringLiteral("/inprocess");
    QDir(copy).removeRecursively();
    storemaker::make(copy, store, QDate::currentDate());
    const QString out = work + QStringLiteral("/callgrind");
    if (callgrind) {
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        p.start(QStringLiteral("valgrind"),
                {QStringLiteral("--tool=callgrind"), QStringLiteral("--collect-atstart=no"),
                 QStringLiteral("--callgrind-out-file=") + out + QStringLiteral("/cg.%p"), self,
                 QStringLiteral("--inprocess"), copy, QStringLiteral("--callgrind")});
    } else {
        p.start(self,
                {QStringLiteral("--inprocess"), copy, QStringLiteral("--rounds"), QString::number(o.rounds)});
    }
    p.waitForFinished(-1);
    if (p.exitCode() != 0) {
        std::fprintf(stderr, "%s", p.readAllStandardError().constData());
        return result;
    }
    if (!callgrind) {
        for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 2) result[QString::fromLatin1(parts[0])] = parts[1].toDouble();
        }
        return result;
    }
    // One dump per measure: its name in the description, its instruction count in the summary.
    static const QRegularExpression desc(QStringLiteral("^desc: Trigger: Client Request: (\\S+)"),
                                         QRegularExpression::MultilineOption);
    static const QRegularExpression summary(QStringLiteral("^(?:summary|totals): (\\d+)"),
                                            QRegularExpression::MultilineOption);
    for (const QFileInfo& f : QDir(out).entryInfoList(QDir::Files)) {
        QFile file(f.filePath());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QString text = QString::fromUtf8(file.readAll());
        const auto d = desc.match(text);
        const auto s = summary.match(text);
        if (d.hasMatch() && s.hasMatch()) result[d.captured(1)] = s.captured(1).toDouble();
    }
    return result;
}

void makeStores(const QString& w, const QDate& today) {
    storemaker::make(w + QStringLiteral("/empty"), {0, 0, 0}, today);
    QFile::remove(w + QStringLiteral("/empty/data/items.xml")); // a first start: no items file yet
    storemaker::make(w + QStringLiteral("/2000"), {2000, 0, 0}, today);
    storemaker::make(w + QStringLiteral("/archive"), {2000, 36500, 0}, today);
    storemaker::make(w + QStringLiteral("/moving"), {2000, 36500, 50}, today);
    storemaker::make(w + QStringLiteral("/20000"), {20000, 0, 0}, today);
}

int bench(const QString& self, const Options& o) {
    const QString folder = QCoreApplication::applicationDirPath();
    const QString program = folder + QStringLiteral("/Quorvane");
    const QString bare = folder + QStringLiteral("/qv_bench_window");
    QTemporaryDir work(o.storesOnly ? QDir::currentPath() + QStringLiteral("/stores-XXXXXX") : QString());
    const QString w = work.path();
    const QDate today = QDate::currentDate();
    std::printf("Making the stores in %s ...\n", qPrintable(w));
    std::fflush(stdout);
    makeStores(w, today);
    if (o.storesOnly) {
        std::printf("The stores are in %s\n", qPrintable(w));
        work.setAutoRemove(false);
        return 0;
    }

    const QList<Scenario> scenarios = {
        {QStringLiteral("the bare window"), QString()},
        {QStringLiteral("first paint, empty store"), w + QStringLiteral("/empty")},
        {QStringLiteral("first paint, 2,000 items"), w + QStringLiteral("/2000")},
        {QStringLiteral("first paint, 2,000 items + a ten-year archive (36,500 items)"),
         w + QStringLiteral("/archive")},
        {QStringLiteral("first paint, 2,000 items + the archive, a day's 50 items move to it"),
         w + QStringLiteral("/moving"), true},
        {QStringLiteral("first paint, 20,000 items"), w + QStringLiteral("/20000")},
    };

    // First paint: every run starts each program once, in an order that turns round from run to run.
    QMap<int, QList<double>> paint;
    QMap<int, int> moved; // of the runs on a copy, those in which the items moved
    {
        FirstPaint watcher;
        const auto freshCopy = [&](int i) { return w + QStringLiteral("/fresh%1").arg(i); };
        for (int run = 0; run < o.runs; ++run) {
            // The copies are made first, so that no program runs just after the copying of its store.
            for (int i = 0; i < scenarios.size(); ++i)
                if (scenarios[i].fresh) storemaker::copy(scenarios[i].folder, freshCopy(i));
            for (int k = 0; k < scenarios.size(); ++k) {
                const int i = (k + run) % scenarios.size();
                const Scenario& s = scenarios[i];
                const QString store = s.fresh ? freshCopy(i) : s.folder;
                // A run on a copy ends once the items moved (the program moves them once it is drawn).
                std::function<bool()> moves;
                if (s.fresh) moves = [&] { return archiveGrew(s.folder, store); };
                const double t = store.isEmpty() ? watcher.measure(bare, {})
                                                 : watcher.measure(program, storeEnv(store), 20000, moves);
                if (!store.isEmpty()) removeLock(store);
                if (s.fresh && archiveGrew(s.folder, store)) ++moved[i];
                if (t < 0)
                    std::fprintf(stderr, "No paint from %s\n", qPrintable(s.label));
                else
                    paint[i] << t;
            }
            std::fprintf(stderr, "\rfirst paint: run %d of %d", run + 1, o.runs);
        }
        std::fprintf(stderr, "\n");
    }

    // The New Task dialog from the orbin's menu (right click beside the face, New, Task) beside the bare
    // window's menu and a bare dialog of as many controls of the same kinds, interleaved.
    QList<double> dialog[2];
    {
        FirstPaint watcher;
        const QString store = w + QStringLiteral("/2000");
        for (int run = 0; run < o.dialogRuns; ++run) {
            for (int k = 0; k < 2; ++k) {
                const bool ours = (k + run) % 2 == 0;
                const double t = ours ? watcher.measureAfterMenuKeys(program, storeEnv(store), 30, 300, "nt")
                                      : watcher.measureAfterMenuKeys(bare, {}, 30, 300, "nt");
                if (ours) removeLock(store);
                if (t < 0)
                    std::fprintf(stderr, "\nNo dialog drawn by %s\n", ours ? "Quorvane" : "the bare window");
                else
                    dialog[ours ? 0 : 1] << t;
            }
            std::fprintf(stderr, "\rthe New Task dialog: run %d of %d", run + 1, o.dialogRuns);
        }
        if (o.dialogRuns) std::fprintf(stderr, "\n");
    }

    // Idle: the program and the bare window side by side, untouched, once they have settled.
    QList<FirstPaint::Idle> idle;
    if (o.idleSeconds > 0) {
        std::fprintf(stderr, "idle for %d s ...\n", o.idleSeconds);
        FirstPaint watcher;
        const QString store = w + QStringLiteral("/2000");
        idle = watcher.idle({{program, storeEnv(store)}, {bare, {}}}, 10, o.idleSeconds);
        removeLock(store);
    }

    // Memory: each program of a round runs at the same time, for rssSeconds.
    QMap<int, QList<double>> rss;
    const QList<int> rssScenarios = {0, 1, 2, 3, 5};
    for (int run = 0; run < o.rssRuns; ++run) {
        QMap<int, long> pids;
        for (int i : rssScenarios)
            pids[i] = scenarios[i].folder.isEmpty() ? startProgram(bare, {})
                                                    : startProgram(program, storeEnv(scenarios[i].folder));
        QThread::sleep(static_cast<unsigned long>(o.rssSeconds));
        for (int i : rssScenarios) {
            rss[i] << residentKb(pids[i]) / 1024.0;
            killProgram(pids[i]);
            if (!scenarios[i].folder.isEmpty()) removeLock(scenarios[i].folder);
        }
        std::fprintf(stderr, "\rmemory: run %d of %d", run + 1, o.rssRuns);
    }
    if (o.rssRuns) std::fprintf(stderr, "\n");

    std::fprintf(stderr, "in the program ...\n");
    // 2,000 items once the day's 50 moved at start; the measure of the move puts them back each time.
    const storemaker::Store inStore{2050, 36500, 50};
    const QMap<QString, double> in = inProcess(self, inStore, o, false, w);
    QMap<QString, double> ir;
    if (o.callgrind) {
        std::fprintf(stderr, "in the program, under callgrind ...\n");
        ir = inProcess(self, inStore, o, true, w);
    }

    const double bareMs = median(paint.value(0));
    std::printf("\n%d interleaved runs; medians.\n\n", o.runs);
    std::printf("| measure | Quorvane | floor | ratio |%s\n|---|---|---|---|%s\n",
                o.callgrind ? " instructions (callgrind) | ratio |" : "", o.callgrind ? "---|---|" : "");
    const QString blank = o.callgrind ? QStringLiteral(" | |") : QString();
    for (int i = 1; i < scenarios.size(); ++i) {
        const Scenario& s = scenarios[i];
        const double m = median(paint.value(i));
        QString label = s.label;
        if (s.fresh) {
            label += QStringLiteral(" (the items moved in %1 of %2 runs)").arg(moved.value(i)).arg(o.runs);
        }
        std::printf("| %s | %s | the bare window %s | %s |%s\n", qPrintable(label), qPrintable(ms(m)),
                    qPrintable(ms(bareMs)), qPrintable(ratio(m, bareMs)), qPrintable(blank));
    }
    struct Pair {
        const char* label;
        const char* measure;
        const char* floor;
        const char* floorLabel;
        double goalMs = 0; // its goal in milliseconds; 0 for none
    };
    const Pair pairs[] = {
        {"`updateInfo` on 2,000 items", "updateInfo", "pass", "one pass over the items"},
        {"`newItem` × 1,000 on 2,000 items", "newItem1000", "append1000", "copy and append"},
        {"the move of a day's 50 items into the ten-year archive", "archiveMove", "appendFlush",
         "their bytes written and flushed", 10},
        {"`saveItemXML`, 2,000 items", "save", "pugiSave", "pugixml's own writer to a file"},
        {"the writer alone (`File::xmlText`), 2,000 items", "xmlText", "pugiPrint",
         "pugixml's own writer to memory"},
    };
    for (const Pair& p : pairs) {
        const double a = in.value(QString::fromLatin1(p.measure));
        const double b = in.value(QString::fromLatin1(p.floor));
        QString counts;
        if (o.callgrind) {
            const double ia = ir.value(QString::fromLatin1(p.measure));
            const double ib = ir.value(QString::fromLatin1(p.floor));
            counts = QStringLiteral(" %1 vs %2 | %3 |")
                         .arg(QString::number(ia, 'f', 0), QString::number(ib, 'f', 0), ratio(ia, ib));
        }
        QString label = QString::fromUtf8(p.label);
        if (p.goalMs > 0) {
            label += QStringLiteral(" (goal ≤ %1 ms: %2)")
                         .arg(p.goalMs)
                         .arg(a <= p.goalMs ? QStringLiteral("held") : QStringLiteral("NOT HELD"));
        }
        std::printf("| %s | %s | %s %s | %s |%s\n", qPrintable(label), qPrintable(ms(a)), p.floorLabel,
                    qPrintable(ms(b)), qPrintable(ratio(a, b)), qPrintable(counts));
    }
    const double bareRss = median(rss.value(0));
    for (int i : rssScenarios) {
        if (i == 0) continue;
        const double m = median(rss.value(i));
        QString label = scenarios[i].label;
        label.replace(QStringLiteral("first paint"),
                      QStringLiteral("RSS %1 s after start").arg(o.rssSeconds));
        std::printf("| %s | %.0f MB | the bare window %.0f MB | %s |%s\n", qPrintable(label), m, bareRss,
                    qPrintable(ratio(m, bareRss)), qPrintable(blank));
    }
    const double dialogMs = median(dialog[0]);
    const double bareDialogMs = median(dialog[1]);
    if (o.dialogRuns)
        std::printf(
            "| New Task dialog drawn after its menu key (%d runs), 2,000 items | %s | a bare QDialog of as "
            "many controls %s | %s |%s\n",
            o.dialogRuns, qPrintable(ms(dialogMs)), qPrintable(ms(bareDialogMs)),
            qPrintable(ratio(dialogMs, bareDialogMs)), qPrintable(blank));
    if (idle.size() == 2)
        std::printf(
            "| idle %d s after the first 10, 2,000 items | %.0f ms CPU, %ld wake-ups, %ld drawings | the "
            "bare window %.0f ms CPU, %ld wake-ups, %ld drawings | %s CPU |%s\n",
            o.idleSeconds, idle[0].cpuMs, idle[0].wakeUps, idle[0].drawings, idle[1].cpuMs, idle[1].wakeUps,
            idle[1].drawings, qPrintable(ratio(idle[0].cpuMs, idle[1].cpuMs)), qPrintable(blank));

    // Each goal beside what this run measured.
    struct Goal {
        QString measure;
        double ratio;
        double most;
    };
    const auto paintRatio = [&](int i) { return median(paint.value(i)) / bareMs; };
    QList<Goal> goals = {
        {scenarios[2].label, paintRatio(2), 1.3},
        {scenarios[3].label, paintRatio(3), 1.3},
        {scenarios[4].label, paintRatio(4), 1.5},
        {scenarios[5].label, paintRatio(5), 2.5},
    };
    if (o.dialogRuns)
        goals << Goal{QStringLiteral("New Task dialog drawn after its menu key"), dialogMs / bareDialogMs,
                      1.3};
    if (o.rssRuns)
        goals << Goal{QStringLiteral("RSS %1 s after start, 2,000 items").arg(o.rssSeconds),
                      median(rss.value(2)) / bareRss, 1.5};
    std::printf("\nGoals (the bare window drew first after %s):\n\n| measure | ratio | goal | held "
                "|\n|---|---|---|---|\n",
                qPrintable(ms(bareMs)));
    for (const Goal& g : goals)
        std::printf("| %s | %.2f× | ≤ %.1f× | %s |\n", qPrintable(g.measure), g.ratio, g.most,
                    g.ratio <= g.most ? "yes" : "NO");
    if (idle.size() == 2)
        std::printf("| idle %d s, 2,000 items: drawings while nothing changed | %ld | 0 | %s |\n",
                    o.idleSeconds, idle[0].drawings, idle[0].drawings == 0 ? "yes" : "NO");
    // A run on a copy that did not change it measured a start that had nothing to do.
    for (int i = 0; i < scenarios.size(); ++i) {
        if (scenarios[i].fresh && moved.value(i) != o.runs) {
            std::fprintf(stderr, "\n%s: the items moved in %d of %d runs only\n",
                         qPrintable(scenarios[i].label), moved.value(i), o.runs);
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.value(0) == QStringLiteral("--inprocess")) {
        const int rounds = args.contains(QStringLiteral("--rounds"))
                               ? args.value(args.indexOf(QStringLiteral("--rounds")) + 1).toInt()
                               : 21;
        return runInProcess(args.value(1), rounds, args.contains(QStringLiteral("--callgrind")));
    }
    QCoreApplication app(argc, argv);
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--runs"))
            o.runs = args.value(++i).toInt();
        else if (a == QStringLiteral("--rss-runs"))
            o.rssRuns = args.value(++i).toInt();
        else if (a == QStringLiteral("--rss-seconds"))
            o.rssSeconds = args.value(++i).toInt();
        else if (a == QStringLiteral("--rounds"))
            o.rounds = args.value(++i).toInt();
        else if (a == QStringLiteral("--callgrind"))
            o.callgrind = true;
        else if (a == QStringLiteral("--stores-only"))
            o.storesOnly = true;
        else if (a == QStringLiteral("--devices"))
            o.devices = true;
        else if (a == QStringLiteral("--dialog-runs"))
            o.dialogRuns = args.value(++i).toInt();
        else if (a == QStringLiteral("--idle"))
            o.idleSeconds = args.value(i + 1).toInt() > 0 ? args.value(++i).toInt() : 300;
        else {
            std::fprintf(stderr,
                         "usage: qv_bench [--runs N] [--rss-runs N] [--rss-seconds S] [--rounds N] "
                         "[--callgrind] [--stores-only] [--devices] [--dialog-runs N] [--idle [S]]\n");
            return 2;
        }
    }
    if (o.devices) return benchDevices(QCoreApplication::applicationDirPath(), o.runs);
    return bench(QCoreApplication::applicationFilePath(), o);
}
