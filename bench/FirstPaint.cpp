#include "FirstPaint.h"

#include <QFile>
#include <QList>
#include <QSet>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
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
    Display* display = d->display;
    // Whatever an earlier run left in the queue is not this run's.
    XSync(display, True);
    QList<Damage> damages;
    const double start = msNow();
    const long pid = startProgram(program, env);
    if (pid < 0) return -1;
    double painted = -1;
    while (painted < 0 && msNow() - start < timeoutMs) {
        while (painted < 0 && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                // Watched from its birth, before it can draw; whose it is shows once it draws.
                damages << XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
            } else if (event.type == d->damageEvent + XDamageNotify) {
                const auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
                if (windowPid(display, damage->drawable, d->pidAtom) == pid) painted = msNow() - start;
            }
        }
        if (painted >= 0) break;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        ::poll(&fd, 1, 5);
    }
    while (painted >= 0 && done && !done() && msNow() - start < timeoutMs)
        ::poll(nullptr, 0, 5);
    killProgram(pid);
    for (Damage damage : damages)
        XDamageDestroy(display, damage);
    XSync(display, True);
    return painted;
}
