#include "core/PeriodClock.h"
#include "platform/Failure.h"

#include <gtest/gtest.h>

namespace {

QDateTime at(int d, int h, int m, int s = 0, int ms = 0) {
    return QDateTime(QDate(2026, 12, d), QTime(h, m, s, ms));
}

Integer period(const QTime& t) {
    return PeriodClock::periodAt(t, QStringLiteral("11:00"), QStringLiteral("14:00"),
                                 QStringLiteral("18:00"));
}

// Takes what is due and marks it handled, as a tick does.
QList<PeriodClock::Minute> tick(PeriodClock& clock, const QDateTime& now, qint64 lead = 0) {
    const QList<PeriodClock::Minute> due = clock.dueMinutes(now, lead);
    for (const auto& m : due)
        clock.markHandled(m, now);
    return due;
}

} // namespace

TEST(PeriodClock, APeriodBeginsOnlyAfterItsStartTimeHasPassed) {
    EXPECT_EQ(period(QTime(0, 0)), Integer(1));
    EXPECT_EQ(period(QTime(11, 0, 0)), Integer(1));
    EXPECT_EQ(period(QTime(11, 0, 1)), Integer(2));
    EXPECT_EQ(period(QTime(11, 0, 0, 1)), Integer(2));
    EXPECT_EQ(period(QTime(14, 0)), Integer(2));
    EXPECT_EQ(period(QTime(17, 59, 59)), Integer(3));
    EXPECT_EQ(period(QTime(18, 0, 0)), Integer(3));
    EXPECT_EQ(period(QTime(18, 0, 1)), Integer(4));
    EXPECT_EQ(period(QTime(23, 59, 59)), Integer(4));
}

TEST(PeriodClock, StartTimesAreReadInTheUsualFormsAndAnythingElseIsATypeMismatch) {
    EXPECT_EQ(PeriodClock::readTimeOfDay(QStringLiteral("9:30")), QTime(9, 30));
    EXPECT_EQ(PeriodClock::readTimeOfDay(QStringLiteral(" 11:00:30 ")), QTime(11, 0, 30));
    EXPECT_EQ(PeriodClock::readTimeOfDay(QStringLiteral("6:00 PM")), QTime(18, 0));
    EXPECT_EQ(PeriodClock::readTimeOfDay(QStringLiteral("12:15 am")), QTime(0, 15));
    EXPECT_EQ(PeriodClock::readTimeOfDay(QStringLiteral("\t9:5pM\r\n")), QTime(21, 5));
    // Two digits at most in each place, each place whole, nothing after the half of the day, and only
    // ASCII digits and spaces.
    for (const QString& bad :
         {QString(), QStringLiteral("eleven"), QStringLiteral("25:00"), QStringLiteral("11"),
          QStringLiteral("13:00 pm"), QStringLiteral("11:60"), QStringLiteral("123:00"),
          QStringLiteral("11:300"), QStringLiteral("11:00:"), QStringLiteral("11:00:123"),
          QStringLiteral(":30"), QStringLiteral("11:00 amx"), QStringLiteral("11:00 a m"),
          QStringLiteral("11:00 m"), QString::fromUtf8("\u0661\u0661:00"),
          QString::fromUtf8("11:00\u00a0")}) {
        SCOPED_TRACE(bad.toStdString());
        try {
            PeriodClock::readTimeOfDay(bad);
            ADD_FAILURE() << "read";
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), err::TypeMismatch);
        }
    }
    // A bad start time fails at any time of day, even one its period does not reach.
    EXPECT_THROW(PeriodClock::periodAt(QTime(23, 0), QStringLiteral("11:00"), QStringLiteral("x"),
                                       QStringLiteral("18:00")),
                 Failure);
}

TEST(PeriodClock, EveryMinuteIsHandedOutOnceThoughTicksComeLateOrEarly) {
    PeriodClock clock;
    // Started at 10:00:30: the present minute at once.
    EXPECT_EQ(tick(clock, at(7, 10, 0, 30)),
              (QList<PeriodClock::Minute>{{QDate(2026, 12, 7), QTime(10, 0)}}));
    // An early or a second tick in the same minute: nothing.
    EXPECT_TRUE(tick(clock, at(7, 10, 0, 59, 999)).isEmpty());
    // A tick that comes two minutes late still hands out 10:01.
    const auto late = tick(clock, at(7, 10, 2, 0, 250));
    ASSERT_EQ(late.size(), 2);
    EXPECT_EQ(late[0].time, QTime(10, 1));
    EXPECT_EQ(late[1].time, QTime(10, 2));
    ASSERT_TRUE(clock.lastHandled());
    EXPECT_EQ(clock.lastHandled()->time, QTime(10, 2));
}

TEST(PeriodClock, MidnightAndSleepLoseNoMinute) {
    PeriodClock clock;
    tick(clock, at(7, 23, 58, 40));
    const auto overMidnight = tick(clock, at(8, 0, 1, 0, 250));
    ASSERT_EQ(overMidnight.size(), 3);
    EXPECT_EQ(overMidnight[0], (PeriodClock::Minute{QDate(2026, 12, 7), QTime(23, 59)}));
    EXPECT_EQ(overMidnight[1], (PeriodClock::Minute{QDate(2026, 12, 8), QTime(0, 0)}));
    EXPECT_EQ(overMidnight[2], (PeriodClock::Minute{QDate(2026, 12, 8), QTime(0, 1)}));
    // Eight hours asleep: every minute of them, once.
    const auto afterSleep = tick(clock, at(8, 8, 1, 10));
    EXPECT_EQ(afterSleep.size(), 8 * 60);
    EXPECT_EQ(afterSleep.first().time, QTime(0, 2));
    EXPECT_EQ(afterSleep.last().time, QTime(8, 1));
    // A clock put forward by years hands out only the last month.
    const auto years = tick(clock, QDateTime(QDate(2031, 1, 1), QTime(12, 0, 10)));
    EXPECT_EQ(years.size(), PeriodClock::MaxCatchUpMinutes);
    EXPECT_EQ(years.last(), (PeriodClock::Minute{QDate(2031, 1, 1), QTime(12, 0)}));
}

TEST(PeriodClock, AClockPutBackWaitsForItselfUnlessPutBackFar) {
    PeriodClock clock;
    tick(clock, at(7, 2, 59, 5));
    // Summer time ends: the hour from 02:00 comes round again, and nothing of it twice.
    EXPECT_TRUE(tick(clock, at(7, 2, 0, 5)).isEmpty());
    EXPECT_TRUE(tick(clock, at(7, 2, 59, 5)).isEmpty());
    EXPECT_EQ(tick(clock, at(7, 3, 0, 5)).size(), 1);
    // A clock put back a day starts afresh at the present minute.
    const auto reset = tick(clock, at(6, 3, 0, 5));
    ASSERT_EQ(reset.size(), 1);
    EXPECT_EQ(reset[0], (PeriodClock::Minute{QDate(2026, 12, 6), QTime(3, 0)}));
}

// With a lead the minutes handed out are those of the meetings whose reminders are due: the lead's
// minutes ahead of the present one, each once however the lead changes.
TEST(PeriodClock, MeetingMinutesComeTheLeadAheadEachOnce) {
    PeriodClock clock;
    const auto first = tick(clock, at(7, 23, 57, 30), 2);
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first.front(), (PeriodClock::Minute{QDate(2026, 12, 7), QTime(23, 57)}));
    EXPECT_EQ(first.back(), (PeriodClock::Minute{QDate(2026, 12, 7), QTime(23, 59)}));
    EXPECT_EQ(tick(clock, at(7, 23, 58, 0, 250), 2),
              (QList<PeriodClock::Minute>{{QDate(2026, 12, 8), QTime(0, 0)}}));
    // Shorter: nothing until the meetings' minutes are reached again; longer: every minute it now reaches.
    EXPECT_TRUE(tick(clock, at(7, 23, 59, 0, 250), 0).isEmpty());
    EXPECT_TRUE(tick(clock, at(8, 0, 0, 0, 250), 0).isEmpty());
    EXPECT_EQ(tick(clock, at(8, 0, 1, 0, 250), 0).size(), 1);
    const auto longer = tick(clock, at(8, 0, 2, 0, 250), 10);
    ASSERT_EQ(longer.size(), 11);
    EXPECT_EQ(longer.front().time, QTime(0, 2));
    EXPECT_EQ(longer.back().time, QTime(0, 12));
    EXPECT_EQ(PeriodClock::shifted({QDate(2026, 12, 8), QTime(0, 1)}, -2),
              (PeriodClock::Minute{QDate(2026, 12, 7), QTime(23, 59)}));
}

// A lead lowered by more than the clock waits out when put back: the meetings whose reminders came with
// the longer lead are not handed out again, the present one's included.
TEST(PeriodClock, ALeadLoweredFarHandsOutNoMeetingTwice) {
    PeriodClock clock;
    EXPECT_EQ(tick(clock, at(7, 10, 0, 30), 180).size(), 181);
    EXPECT_TRUE(tick(clock, at(7, 10, 1, 0, 250), 0).isEmpty());
    EXPECT_TRUE(tick(clock, at(7, 12, 0, 0, 250), 0).isEmpty());
    EXPECT_TRUE(tick(clock, at(7, 13, 0, 0, 250), 0).isEmpty());
    EXPECT_EQ(tick(clock, at(7, 13, 1, 0, 250), 0),
              (QList<PeriodClock::Minute>{{QDate(2026, 12, 7), QTime(13, 1)}}));
    // The clock put back far still starts afresh, whatever the lead.
    EXPECT_EQ(tick(clock, at(7, 10, 0, 0, 250), 0),
              (QList<PeriodClock::Minute>{{QDate(2026, 12, 7), QTime(10, 0)}}));
}

TEST(PeriodClock, TheNextTickComesJustAfterTheNextFullMinute) {
    EXPECT_EQ(PeriodClock::msToNextTick(at(7, 10, 0, 30)), 30000 + PeriodClock::TickDelayMs);
    EXPECT_EQ(PeriodClock::msToNextTick(at(7, 10, 0, 59, 900)), 100 + PeriodClock::TickDelayMs);
    EXPECT_EQ(PeriodClock::msToNextTick(at(7, 10, 1, 0, 250)), 59750 + PeriodClock::TickDelayMs);
}
