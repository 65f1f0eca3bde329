#include "Clock.h"

QDateTime Clock::now() const {
    return QDateTime::currentDateTime();
}

namespace {
Clock g_systemClock;
Clock* g_clock = nullptr;
} // namespace

Clock& appClock() {
    return g_clock ? *g_clock : g_systemClock;
}

void setAppClock(Clock* clock) {
    g_clock = clock;
}
