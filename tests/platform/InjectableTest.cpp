#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeLauncher.h"

#include <gtest/gtest.h>

TEST(Injectable, AStandInServesWhileItLivesAndGivesBackWhatWasThereBefore) {
    {
        FakeClock outer(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        {
            FakeClock inner(QDateTime(QDate(2027, 1, 1), QTime(0, 0)));
            EXPECT_EQ(appClock().today(), QDate(2027, 1, 1));
        }
        EXPECT_EQ(appClock().today(), QDate(2026, 12, 7)) << "the outer stand-in, not the system clock";
    }
    EXPECT_EQ(dynamic_cast<FakeClock*>(&appClock()), nullptr)
        << "the system clock once every stand-in is gone";

    Launcher installed;
    Injectable<Launcher>::install(&installed);
    {
        FakeLauncher fake;
        EXPECT_EQ(&launcher(), &fake);
    }
    EXPECT_EQ(&launcher(), &installed) << "what was installed for the run comes back after a test's stand-in";
    Injectable<Launcher>::install(nullptr);
    EXPECT_NE(&launcher(), &installed);
}
