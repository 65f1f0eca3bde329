#include "core/DayChoices.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

QDate dec(int day) {
    return QDate(2026, 12, day);
}

} // namespace

TEST(DayChoices, FromMondayAndApplied) {
    FakeClock clock;
    QStringList box{QStringLiteral("Today")};
    fillDayChoices(dec(7), box);
    EXPECT_EQ(box, QStringList({"Today", "Tomorrow", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday",
                                "Next Monday"}));
    EXPECT_EQ(dayChoices()[7].dateText, "2026-12-14");

    gChosenDate = dec(7);
    applyDayChoice(QStringLiteral("Next Monday"));
    EXPECT_EQ(gChosenDate, dec(14));
    applyDayChoice(QStringLiteral("Tomorrow"));
    EXPECT_EQ(gChosenDate, dec(8));
    applyDayChoice(QStringLiteral("Friday"));
    EXPECT_EQ(gChosenDate, dec(11));
    // Not one of the seven labels: nothing changes (the dialogs handle "Today" themselves).
    applyDayChoice(QStringLiteral("Today"));
    applyDayChoice(QStringLiteral("friday"));
    applyDayChoice(QString());
    EXPECT_EQ(gChosenDate, dec(11));

    // A later fill wins; labels follow the start, dates count from today.
    QStringList second;
    fillDayChoices(dec(9), second);
    EXPECT_EQ(second.first(), "Tomorrow");
    EXPECT_EQ(second.last(), "Next Wednesday");
    applyDayChoice(QStringLiteral("Next Monday"));
    EXPECT_EQ(gChosenDate, dec(11));
}
