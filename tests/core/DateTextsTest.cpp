#include "core/DateTexts.h"
#include "tests/support/FakeClock.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

QDate dec(int day) {
    return QDate(2026, 12, day);
}

} // namespace

TEST(DayText, AroundMondaySevenDecember) {
    FakeClock clock; // Monday 7 December 2026
    EXPECT_EQ(dayText(dec(7)), "Today");
    EXPECT_EQ(dayText(dec(8)), "Tomorrow");
    EXPECT_EQ(dayText(dec(6)), "Sunday");
    EXPECT_EQ(dayText(dec(9)), "Wednesday");
    EXPECT_EQ(dayText(dec(13)), "Sunday");
    EXPECT_EQ(dayText(dec(14)), "Mon 14");
    EXPECT_EQ(dayText(dec(5)), "Sat 5");
    EXPECT_EQ(dayText(QDate(2026, 11, 30)), "Mo 30 Nov");
    EXPECT_EQ(dayText(QDate(2027, 1, 1)), "F 1/1/27");
    EXPECT_EQ(dayText(QDate(2025, 12, 7)), "S 7/12/25"); // same month number, other year
}

TEST(DayText, TomorrowGivesWayAcrossMonthAndYear) {
    FakeClock clock(QDateTime(QDate(2026, 12, 31), QTime(8, 0)));
    EXPECT_EQ(dayText(QDate(2027, 1, 1)), "F 1/1/27");
    clock.set(QDateTime(QDate(2026, 11, 30), QTime(8, 0)));
    EXPECT_EQ(dayText(dec(1)), "Tu 1 Dec");
}

TEST(DateText, ATypedDateIsReadInTheShortFormWithTheYearNearestToday) {
    FakeClock clock;
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // short dates as 12/24/26
    EXPECT_EQ(readDateText(shortDateText(dec(24))), dec(24));
    EXPECT_EQ(readDateText(QStringLiteral("12/24/26")), dec(24)); // not 1926
    EXPECT_EQ(readDateText(QStringLiteral("1/2/80")), QDate(1980, 1, 2));
    EXPECT_EQ(readDateText(QStringLiteral(" 12/24/2026 ")), dec(24));
    EXPECT_EQ(readDateText(QStringLiteral("2026-12-24")), dec(24));
    for (const char* none : {"", "Start", "Today", "13/45/26", "2026-02-30"})
        EXPECT_EQ(readDateText(QString::fromLatin1(none)), std::nullopt) << none;
    QLocale::setDefault(before);
}
