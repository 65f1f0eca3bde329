#include "platform/Integer.h"
#include "platform/Failure.h"

#include <gtest/gtest.h>

TEST(Integer, ArithmeticInsideTheRangeAndOverflowOutsideIt) {
    EXPECT_EQ((Integer(32766) + Integer(1)).value(), 32767);
    EXPECT_EQ((Integer(-32767) - Integer(1)).value(), -32768);
    EXPECT_EQ((Integer(181) * Integer(181)).value(), 32761);
    try {
        (void)(Integer(32767) + Integer(1));
        FAIL() << "no overflow";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), 6);
        EXPECT_EQ(f.description(), QStringLiteral("Overflow"));
    }
    EXPECT_THROW((void)(Integer(-32768) - Integer(1)), Failure);
    EXPECT_THROW((void)Integer(40000), Failure);
    EXPECT_THROW((void)(-Integer(-32768)), Failure);
}
