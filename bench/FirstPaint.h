#pragma once

#include <QString>
#include <QStringList>
#include <functional>

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
