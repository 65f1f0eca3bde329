#include "core/TaskScore.h"

#include <gtest/gtest.h>

TEST(TaskScore, PointsAreOneForEveryFiveMinutesRounded) {
    const int estimates[] = {12, 13, 14, 15, 16, 17, 18};
    const int points[] = {2, 3, 3, 3, 3, 3, 4};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(TaskScore::pointsFor(estimates[i]).value(), points[i]) << estimates[i];
    EXPECT_EQ(TaskScore::pointsFor(30).value(), 6);
    EXPECT_EQ(TaskScore::pointsFor(0).value(), 0);
}

TEST(TaskScore, BonusWindowIsStrictOnBothSides) {
    EXPECT_EQ(TaskScore::timingBonus(10, 7).value(), 0);
    for (int actual = 8; actual <= 12; ++actual)
        EXPECT_EQ(TaskScore::timingBonus(10, actual).value(), 1) << actual;
    EXPECT_EQ(TaskScore::timingBonus(10, 13).value(), 0);
    // 0.7 * 90 lies just below 63 in double precision.
    EXPECT_EQ(TaskScore::timingBonus(90, 63).value(), 3);
    EXPECT_EQ(TaskScore::timingBonus(30, 25).value(), 3);
}

TEST(TaskScore, BonusGrowsWithTheEstimate) {
    EXPECT_EQ(TaskScore::timingBonus(14, 14).value(), 1);
    EXPECT_EQ(TaskScore::timingBonus(15, 15).value(), 2);
    EXPECT_EQ(TaskScore::timingBonus(29, 29).value(), 2);
    EXPECT_EQ(TaskScore::timingBonus(30, 30).value(), 3);
}

TEST(TaskScore, FiveMinuteTaskOfSixMinutesOrLessEarnsOne) {
    EXPECT_EQ(TaskScore::timingBonus(5, 0).value(), 1);
    EXPECT_EQ(TaskScore::timingBonus(5, -4).value(), 1);
    EXPECT_EQ(TaskScore::timingBonus(5, 6).value(), 1);
    EXPECT_EQ(TaskScore::timingBonus(5, 7).value(), 0);
    EXPECT_EQ(TaskScore::timingBonus(6, 0).value(), 0);
    const TaskScore s = TaskScore::of(5, 0);
    EXPECT_EQ(s.points.value(), 1);
    EXPECT_EQ(s.bonus.value(), 1);
}
