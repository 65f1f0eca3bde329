#include "core/DayButtons.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

QDate dec(int day) {
    return QDate(2026, 12, day);
}

} // namespace

TEST(FillWeekDays, WeekendColoursAndBoldToday) {
    FakeClock clock;
    // From Saturday 5 December: Sat 5, Sunday, Today, Tomorrow, Wednesday, Thursday, Friday.
    auto looks = fillWeekDays(dec(5));
    EXPECT_EQ(calendarDays()[0], dec(5));
    EXPECT_EQ(calendarDays()[6], dec(11));
    EXPECT_EQ(looks[0].caption, "Sat 5");
    EXPECT_EQ(looks[0].backColor, WeekendBackColor);
    EXPECT_EQ(looks[1].caption, "Sunday");
    EXPECT_EQ(looks[1].backColor, WeekendBackColor);
    EXPECT_EQ(looks[2].caption, "Today");
    EXPECT_TRUE(looks[2].bold);
    EXPECT_EQ(looks[2].backColor, TodayBackColor);
    for (int i : {3, 4, 5, 6}) {
        EXPECT_FALSE(looks[i].bold) << i;
        EXPECT_EQ(looks[i].backColor, TitleBarTextColor) << i;
    }

    // From Friday 11 December: buttons 1 and 2 are the weekend; no button is today.
    looks = fillWeekDays(dec(11));
    EXPECT_EQ(looks[0].backColor, TitleBarTextColor);
    EXPECT_EQ(looks[1].caption, "Saturday");
    EXPECT_EQ(looks[1].backColor, WeekendBackColor);
    EXPECT_EQ(looks[2].caption, "Sunday");
    EXPECT_EQ(looks[2].backColor, WeekendBackColor);
    EXPECT_EQ(looks[3].caption, "Mon 14");
    for (const auto& l : looks)
        EXPECT_FALSE(l.bold);

    // The shorter forms of another month or year are not seen as weekend.
    clock.set(QDateTime(QDate(2026, 12, 31), QTime(8, 0)));
    looks = fillWeekDays(QDate(2027, 1, 2)); // a Saturday
    EXPECT_EQ(looks[0].caption, "S 2/1/27");
    EXPECT_EQ(looks[0].backColor, TitleBarTextColor);
}
