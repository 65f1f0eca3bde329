#include "core/PeriodClock.h"

#include "core/MeetingTimes.h"
#include "platform/Failure.h"

#include <algorithm>

namespace {
constexpr qint64 MinutesPerDay = 24 * 60;
} // namespace

QTime PeriodClock::readTimeOfDay(const QString& text) {
    const std::optional<QTime> t = readMeetingTime(text);
    if (!t) throw Failure(err::TypeMismatch);
    return *t;
}

Integer PeriodClock::periodAt(const QTime& t, const QString& start2, const QString& start3,
                              const QString& start4) {
    // Every start time is read first: a bad one fails whatever the time of day.
    const QTime s2 = readTimeOfDay(start2);
    const QTime s3 = readTimeOfDay(start3);
    const QTime s4 = readTimeOfDay(start4);
    if (s4 < t) return Integer(4);
    if (s3 < t) return Integer(3);
    if (s2 < t) return Integer(2);
    return Integer(1);
}

qint64 PeriodClock::indexOf(const QDate& date, const QTime& time) {
    return date.toJulianDay() * MinutesPerDay + time.hour() * 60 + time.minute();
}

PeriodClock::Minute PeriodClock::minuteAt(qint64 index) {
    const qint64 day = index / MinutesPerDay;
    const int inDay = static_cast<int>(index % MinutesPerDay);
    return {QDate::fromJulianDay(day), QTime(inDay / 60, inDay % 60)};
}

std::optional<std::pair<qint64, qint64>> PeriodClock::dueIndexes(const QDateTime& now, qint64 lead) const {
    const qint64 present = indexOf(now.date(), now.time());
    const qint64 last = present + lead;
    qint64 first = present;
    if (m_lastHandled) {
        if (last <= *m_lastHandled) {
            // Not yet a new minute, a shorter lead, or the clock went back a little: wait until it has
            // caught up. How far the clock went back is told by the present minute, never by the lead: a
            // lead lowered by hours would otherwise hand out again the meetings just handed out.
            if (m_handledAt - present <= MaxWaitedBackMinutes) return std::nullopt;
        } else {
            first = *m_lastHandled + 1;
        }
    }
    first = std::max(first, last - MaxCatchUpMinutes + 1);
    return std::make_pair(first, last);
}

QList<PeriodClock::Minute> PeriodClock::dueMinutes(const QDateTime& now, qint64 lead) const {
    const auto due = dueIndexes(now, lead);
    if (!due) return {};
    QList<Minute> minutes;
    minutes.reserve(due->second - due->first + 1);
    for (qint64 i = due->first; i <= due->second; ++i)
        minutes << minuteAt(i);
    return minutes;
}

std::optional<PeriodClock::Span> PeriodClock::dueSpan(const QDateTime& now, qint64 lead) const {
    const auto due = dueIndexes(now, lead);
    if (!due) return std::nullopt;
    return Span{minuteAt(due->first), minuteAt(due->second)};
}

PeriodClock::Minute PeriodClock::shifted(const Minute& minute, qint64 minutes) {
    return minuteAt(indexOf(minute.date, minute.time) + minutes);
}

void PeriodClock::markHandled(const Minute& minute, const QDateTime& now) {
    m_lastHandled = indexOf(minute.date, minute.time);
    m_handledAt = indexOf(now.date(), now.time());
}

std::optional<PeriodClock::Minute> PeriodClock::lastHandled() const {
    if (!m_lastHandled) return std::nullopt;
    return minuteAt(*m_lastHandled);
}

int PeriodClock::msToNextTick(const QDateTime& now) {
    const QTime t = now.time();
    const int intoMinute = t.second() * 1000 + t.msec();
    return 60000 - intoMinute + TickDelayMs;
}
