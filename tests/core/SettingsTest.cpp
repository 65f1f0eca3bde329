#include "Settings.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

TEST(Settings, EmptyStoreGivesEveryDefault) {
    TestEnv env;
    Settings s;
    EXPECT_TRUE(s.bErrorHandling());
    EXPECT_EQ(s.iPeriodLength().value(), 45);
    EXPECT_EQ(s.sDataDir(), env.dataDir());
}
