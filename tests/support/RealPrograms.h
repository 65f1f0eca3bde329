#pragma once

#include <QByteArray>
#include <QList>
#include <functional>
#include <sys/types.h>

// Helpers for tests that run the real programs as processes of their own.

// The processes, this one left out, that run with the environment entry "NAME=value": the programs a test
// started, and the ones those started in turn.
QList<pid_t> processesWith(const QByteArray& environmentEntry);

// Waits until the condition holds, looking again every 50 ms for at most timeoutMs; whether it holds.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 20000);
