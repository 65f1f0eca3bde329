#pragma once

#include "platform/Integer.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <optional>
#include <utility>

// The orbin's period clock as far as it needs no window: which of the four periods a time of day belongs
// to, and which minutes of the wall clock are due for their meeting reminders.
//
// A reminder comes a lead of some minutes before its meeting, so the minutes handed out are those of the
// meetings: the clock keeps the last one it has handled and hands out every minute after it up to the
// present one plus the lead, each once: a minute is never skipped (a late tick, midnight, a machine that
// slept, a longer lead) and never handed out twice (an early tick, a clock put back for summer time, a
// shorter lead).
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
    // The minute of date and time counted on the wall clock: summer time ending puts it back by an hour.
    static qint64 indexOf(const QDate& date, const QTime& time);

    // The meeting minutes whose reminders are due at now, oldest first, with reminders lead minutes ahead
    // of their meetings: on the first call the present minute and the lead's minutes after it (a meeting
    // that begins within the lead gets its reminder at once), afterwards every minute after the last one
    // marked handled up to lead minutes after the present one (at most the last MaxCatchUpMinutes). A clock
    // put back by a little (summer time ending), or a shorter lead, hands out nothing until the minutes
    // handed out are reached again; a clock put back by more than that starts afresh as on the first call.
    QList<Minute> dueMinutes(const QDateTime& now, qint64 lead = 0) const;
    // The same minutes as one span, the first and the last of them, without listing each.
    struct Span {
        Minute first;
        Minute last;
    };
    std::optional<Span> dueSpan(const QDateTime& now, qint64 lead = 0) const;
    // The minute so many minutes after minute on the wall clock (before it when minutes is below 0).
    static Minute shifted(const Minute& minute, qint64 minutes);
    // Marks minute (and every minute before it) as handled at now.
    void markHandled(const Minute& minute, const QDateTime& now);
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
    std::optional<std::pair<qint64, qint64>> dueIndexes(const QDateTime& now, qint64 lead) const;
    static Minute minuteAt(qint64 index);

    std::optional<qint64> m_lastHandled; // minutes counted on the wall clock
    qint64 m_handledAt = 0;              // the present minute when m_lastHandled was marked
};
