#pragma once

#include "Integer.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <optional>
#include <utility>

// The orbin's period clock as far as it needs no window: which of the four periods a time of day belongs
// to, and which minutes of the wall clock are due for their meeting reminders.
//
// The clock keeps the last minute it has handled and hands out every minute after it up to the present
// one, each once: a minute is never skipped (a late tick, midnight, a machine that slept) and never handed
// out twice (an early tick, a clock put back for summer time).
class PeriodClock {
public:
    // A minute of the local wall clock.
    struct Minute {
        QDate date;
        QTime time; // seconds 0

        friend bool operator==(const Minute&, const Minute&) = default;
    };

    // The period of time of day t by the start times of periods 2, 3 and 4 (texts such as "11:00"): a
    // period begins only once its start time has passed, so at the start time itself the earlier period
    // still counts. A start time that is no time of day fails with 13 "Type mismatch".
    static Integer periodAt(const QTime& t, const QString& start2, const QString& start3,
                            const QString& start4);
    // A start time read as a time of day ("11:00", "9:30", "11:00:00", "6:00 PM").
    static QTime readTimeOfDay(const QString& text);

    // The minutes due at now, oldest first: the present minute on the first call, afterwards every minute
    // after the last one marked handled, up to the present one (at most the last MaxCatchUpMinutes). A clock
    // put back by a little (summer time ending) hands out nothing until it has caught up; one put back by
    // more than that starts afresh at the present minute.
    QList<Minute> dueMinutes(const QDateTime& now) const;
    // The same minutes as one span, the first and the last of them, without listing each.
    struct Span {
        Minute first;
        Minute last;
    };
    std::optional<Span> dueSpan(const QDateTime& now) const;
    // Marks minute (and every minute before it) as handled.
    void markHandled(const Minute& minute);
    std::optional<Minute> lastHandled() const;

    // Milliseconds from now until the clock should tick again: just after the next minute begins.
    static int msToNextTick(const QDateTime& now);
    // How far after the full minute the clock ticks.
    static constexpr int TickDelayMs = 250;
    // The greatest step back of the wall clock that is waited out rather than started afresh from.
    static constexpr qint64 MaxWaitedBackMinutes = 120;
    // The most minutes one tick hands out: a clock put forward by years must not hold the program up.
    static constexpr qint64 MaxCatchUpMinutes = 31 * 24 * 60;

private:
    // The first and the last minute due, counted on the wall clock; none when nothing is due.
    std::optional<std::pair<qint64, qint64>> dueIndexes(const QDateTime& now) const;
    static qint64 indexOf(const QDate& date, const QTime& time);
    static Minute minuteAt(qint64 index);

    std::optional<qint64> m_lastHandled; // minutes counted on the wall clock
};
