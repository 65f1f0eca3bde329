#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

// Starts programs on the X display of DISPLAY and watches for the first drawing into one of their windows
// (the X Damage extension reports it), so that every program is timed the same way from outside.
class FirstPaint {
public:
    FirstPaint();
    ~FirstPaint();
    FirstPaint(const FirstPaint&) = delete;
    FirstPaint& operator=(const FirstPaint&) = delete;

    // Starts program with env added to the environment and returns the milliseconds from the start to the
    // first drawing into one of its windows, or a negative number when none came within timeoutMs. The
    // program is killed afterwards: at once, or once done() holds (or timeoutMs passed) when it is given.
    double measure(const QString& program, const QStringList& env, int timeoutMs = 20000,
                   const std::function<bool()>& done = {});
    // Starts program as measure does and, once its window has drawn and settled, opens its menu with a
    // right click at click (from the window's top left corner), goes down it with keys (the menu's
    // mnemonics) and returns the milliseconds from the last key to the first drawing into a window that
    // was not there before it, or a negative number when there was none. The program is killed afterwards.
    double measureAfterMenuKeys(const QString& program, const QStringList& env, int clickX, int clickY,
                                const QByteArray& keys, int timeoutMs = 20000);

    // What a program costs while nobody touches it.
    struct Idle {
        double cpuMs = -1; // on every thread; -1 when it could not be read
        long wakeUps = 0;  // times one of its threads went to sleep and was woken
        long drawings = 0; // drawings into its windows
    };
    // Starts each program with its environment at once, leaves them warmupSeconds to settle, then counts
    // for seconds what each costs. They are killed afterwards.
    QList<Idle> idle(const QList<std::pair<QString, QStringList>>& programs, int warmupSeconds, int seconds);

private:
    struct Private;
    Private* d;
};

// Starts program with env added to the environment; its process id, or -1.
long startProgram(const QString& program, const QStringList& env);
// The resident memory of a running process in kilobytes (0 when it cannot be read).
long residentKb(long pid);
// Ends the process with SIGKILL and waits for it.
void killProgram(long pid);
