#pragma once

#include "platform/Injectable.h"

#include <QDate>
#include <QDateTime>

// The one source of "now" and "today". Tests install a clock they set by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;
    QDate today() const { return now().date(); }
};

// The clock in force: the system clock unless one was installed through Injectable<Clock>.
inline Clock& appClock() {
    return Injectable<Clock>::instance();
}
