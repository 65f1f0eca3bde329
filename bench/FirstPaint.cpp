#include "bench/FirstPaint.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <chrono>
#include <csignal>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double msNow() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

long windowPid(Display* display, Window window, Atom pidAtom) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1 && format == 32) {
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) XFree(data);
    return pid;
}

// The processor time of every thread of a process, alive or ended, in milliseconds; -1 when it is gone.
double cpuMs(long pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = stat.readAll();
    // After the name in parentheses: the state, then utime and stime as the 12th and 13th fields.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return -1;
    return (fields[11].toDouble() + fields[12].toDouble()) * 1000.0 /
           static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// How often each thread of a process went to sleep so far (each time, something woke it again), by thread id.
QHash<QString, long> sleepsByThread(long pid) {
    QHash<QString, long> result;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks + QLatin1Char('/') + tid + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly)) continue;
        long n = 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                n += line.mid(line.indexOf(':') + 1).trimmed().toLong();
        result[tid] = n;
    }
    return result;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0; // a window that went away between an event and a question about it
}

} // namespace

long startProgram(const QString& program, const QStringList& env) {
    QList<QByteArray> strings;
    for (const QString& e : env)
        strings << e.toLocal8Bit();
    QSet<QByteArray> names;
    for (const QByteArray& s : strings)
        names.insert(s.left(s.indexOf('=')));
    for (char** e = environ; *e; ++e) {
        const QByteArray s(*e);
        if (!names.contains(s.left(s.indexOf('=')))) strings << s;
    }
    std::vector<char*> envp;
    for (QByteArray& s : strings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    QByteArray path = program.toLocal8Bit();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    return pid;
}

long residentKb(long pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

void killProgram(long pid) {
    if (pid <= 0) return;
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ::waitpid(static_cast<pid_t>(pid), nullptr, 0);
}

struct FirstPaint::Private {
    Display* display = nullptr;
    int damageEvent = 0;
    Atom pidAtom = None;
    QList<Damage> damages; // of the windows made during one measure

    // Whatever an earlier measure left in the queue is not this one's.
    void begin() { XSync(display, True); }
    // Handles the events that came until drawn returns true (then true): each window made is watched from
    // its birth, before it can draw (for every drawing, or for the first only), and each drawing reported
    // is handed to drawn with its window and whether more of the same drawing follow.
    bool handleEvents(bool everyDrawing, const std::function<bool(Window, bool)>& drawn) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                damages << XDamageCreate(display, event.xcreatewindow.window,
                                         everyDrawing ? XDamageReportRawRectangles : XDamageReportNonEmpty);
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
                if (drawn(damage->drawable, damage->more)) return true;
            }
        }
        return false;
    }
    void waitForEvents(int ms) {
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        ::poll(&fd, 1, ms);
    }
    long owner(Window window) const { return windowPid(display, window, pidAtom); }
    void end() {
        for (Damage damage : damages)
            XDamageDestroy(display, damage);
        damages.clear();
        XSync(display, True);
    }
};

FirstPaint::FirstPaint() : d(new Private) {
    d->display = XOpenDisplay(nullptr);
    if (!d->display) qFatal("No X display (DISPLAY is not set or the server does not answer)");
    int damageError = 0;
    if (!XDamageQueryExtension(d->display, &d->damageEvent, &damageError))
        qFatal("The X server has no Damage extension");
    d->pidAtom = XInternAtom(d->display, "_NET_WM_PID", False);
    XSetErrorHandler(ignoreErrors);
    XSelectInput(d->display, DefaultRootWindow(d->display), SubstructureNotifyMask);
    XSync(d->display, False);
}

FirstPaint::~FirstPaint() {
    XCloseDisplay(d->display);
    delete d;
}

double FirstPaint::measure(const QString& program, const QStringList& env, int timeoutMs,
                           const std::function<bool()>& done) {
    d->begin();
    const double start = msNow();
    const long pid = startProgram(program, env);
    if (pid < 0) return -1;
    double painted = -1;
    while (painted < 0 && msNow() - start < timeoutMs) {
        // Whose a window is shows once it draws.
        if (d->handleEvents(false, [&](Window window, bool) { return d->owner(window) == pid; })) {
            painted = msNow() - start;
            break;
        }
        d->waitForEvents(5);
    }
    while (painted >= 0 && done && !done() && msNow() - start < timeoutMs)
        ::poll(nullptr, 0, 5);
    killProgram(pid);
    d->end();
    return painted;
}

double FirstPaint::measureAfterMenuKeys(const QString& program, const QStringList& env, int clickX,
                                        int clickY, const QByteArray& keys, int timeoutMs) {
    Display* display = d->display;
    d->begin();
    const double start = msNow();
    const long pid = startProgram(program, env);
    if (pid < 0) return -1;
    // The first of the program's windows that accept takes to draw, or None when the time is up.
    const auto waitForDrawing = [&](double until, const std::function<bool(Window)>& accept) -> Window {
        Window found = None;
        while (msNow() < until) {
            if (d->handleEvents(false, [&](Window window, bool) {
                    if (d->owner(window) != pid || !accept(window)) return false;
                    found = window;
                    return true;
                }))
                return found;
            d->waitForEvents(5);
        }
        return None;
    };
    QSet<Window> seen;
    const auto isNew = [&](Window w) { return !seen.contains(w); };
    // Every window of the program drawn until then, for a while.
    const auto settle = [&](int ms) {
        const double until = msNow() + ms;
        while (Window w = waitForDrawing(until, isNew))
            seen.insert(w);
    };
    const auto press = [&](const char* key) {
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key));
        XTestFakeKeyEvent(display, code, True, 0);
        XTestFakeKeyEvent(display, code, False, 0);
        XFlush(display);
    };

    double drawn = -1;
    const double deadline = start + timeoutMs;
    const Window window = waitForDrawing(deadline, isNew);
    if (window != None) {
        seen.insert(window);
        settle(1000); // what the program does once it stands drawn
        int x = 0;
        int y = 0;
        Window child = None;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        XTestFakeMotionEvent(display, -1, x + clickX, y + clickY, 0);
        XTestFakeButtonEvent(display, 3, True, 0);
        XTestFakeButtonEvent(display, 3, False, 0);
        XFlush(display);
        bool ready = true;
        for (qsizetype i = 0; ready && i < keys.size(); ++i) {
            // The menu the key goes to stands drawn first.
            const Window menu = waitForDrawing(deadline, isNew);
            ready = menu != None;
            seen.insert(menu);
            settle(300);
            const char key[2] = {keys[i], 0};
            press(key);
        }
        const double pressed = msNow();
        if (ready && waitForDrawing(deadline, isNew) != None) drawn = msNow() - pressed;
    }
    killProgram(pid);
    d->end();
    return drawn;
}

QList<FirstPaint::Idle> FirstPaint::idle(const QList<std::pair<QString, QStringList>>& programs,
                                         int warmupSeconds, int seconds) {
    d->begin();
    QList<long> pids;
    for (const auto& [program, env] : programs)
        pids << startProgram(program, env);
    QList<Idle> result(pids.size());
    QList<QHash<QString, long>> first(pids.size());
    QList<QHash<QString, long>> last(pids.size());
    QHash<Window, long> owners; // whose each window is, once asked
    const double counting = msNow() + warmupSeconds * 1000.0;
    const double end = counting + seconds * 1000.0;
    bool counted = false;
    double nextLook = counting;
    while (msNow() < end) {
        d->handleEvents(true, [&](Window window, bool more) {
            if (!counted || more) return false; // one drawing can come as several rectangles
            auto owner = owners.find(window);
            if (owner == owners.end()) owner = owners.insert(window, d->owner(window));
            const qsizetype i = pids.indexOf(owner.value());
            if (i >= 0) ++result[i].drawings;
            return false;
        });
        // The threads are looked at every second: one that ends meanwhile keeps what it counted until then.
        if (msNow() >= nextLook) {
            for (qsizetype i = 0; i < pids.size(); ++i) {
                const QHash<QString, long> now = sleepsByThread(pids[i]);
                if (!counted) {
                    first[i] = now;
                    result[i].cpuMs = cpuMs(pids[i]);
                }
                for (auto t = now.begin(); t != now.end(); ++t)
                    last[i][t.key()] = t.value();
            }
            counted = true;
            nextLook += 1000;
        }
        d->waitForEvents(50);
    }
    for (qsizetype i = 0; i < pids.size(); ++i) {
        const double before = result[i].cpuMs;
        const double after = cpuMs(pids[i]);
        result[i].cpuMs = before >= 0 && after >= 0 ? after - before : -1;
        for (auto t = last[i].begin(); t != last[i].end(); ++t)
            result[i].wakeUps += t.value() - first[i].value(t.key(), 0);
        killProgram(pids[i]);
    }
    d->end();
    return result;
}
