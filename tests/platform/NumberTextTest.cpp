#include "platform/NumberText.h"
#include "platform/Failure.h"

#include <gtest/gtest.h>

using namespace numtext;

TEST(NumberText, LeadingNumberReadsOnlyTheNumericStart) {
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("12abc")), 12.0);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("  -3.5 minutes")), -3.5);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("1 2 3")), 123.0); // blanks inside are skipped
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("2e3x")), 2000.0);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("&H1F")), 31.0);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("&HFFFF")), -1.0); // four hex digits are 16-bit
    EXPECT_DOUBLE_EQ(leadingNumber(QString()), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("1.2.3")), 1.2);
    EXPECT_DOUBLE_EQ(leadingNumber(QStringLiteral("5e")), 5.0);
}

TEST(NumberText, WholeNumbersRoundHalfToEven) {
    EXPECT_EQ(toInteger(QStringLiteral("12.5")).value(), 12);
    EXPECT_EQ(toInteger(QStringLiteral("13.5")).value(), 14);
    EXPECT_EQ(toInteger(QStringLiteral("-2.5")).value(), -2);
    EXPECT_EQ(toInteger(QStringLiteral(" 45 ")).value(), 45);
    EXPECT_EQ(toInteger(2.6).value(), 3);
    EXPECT_EQ(toLong(QStringLiteral("70000")), 70000);
}

TEST(NumberText, StrictConversionsRaiseTheClassicFailures) {
    auto number = [](auto&& f) {
        try {
            f();
        } catch (const Failure& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(number([] { toInteger(QStringLiteral("abc")); }), 13);
    EXPECT_EQ(number([] { toInteger(QString()); }), 13);
    EXPECT_EQ(number([] { toInteger(QStringLiteral("12abc")); }), 13);
    EXPECT_EQ(number([] { toInteger(QStringLiteral("32768")); }), 6);
    EXPECT_EQ(number([] { toInteger(QStringLiteral("-32768.5")); }), 0); // rounds to -32768
    EXPECT_EQ(number([] { toLong(QStringLiteral("1e12")); }), 6);
    EXPECT_EQ(number([] { toBoolean(QStringLiteral("yes")); }), 13);
}

TEST(NumberText, BooleansReadWordsInAnyCaseAndNumbers) {
    EXPECT_TRUE(toBoolean(QStringLiteral("True")));
    EXPECT_TRUE(toBoolean(QStringLiteral("TRUE")));
    EXPECT_FALSE(toBoolean(QStringLiteral("false")));
    EXPECT_FALSE(toBoolean(QStringLiteral("0")));
    EXPECT_TRUE(toBoolean(QStringLiteral("1")));
    EXPECT_TRUE(toBoolean(QStringLiteral("-1")));
    EXPECT_TRUE(toBoolean(QStringLiteral("0.5")));
    EXPECT_FALSE(toBoolean(QVariant(false)));
    EXPECT_EQ(toInteger(QVariant(true)).value(), -1);
}

TEST(NumberText, SingleTextKeepsFractionsAndDropsNeedlessDigits) {
    EXPECT_EQ(singleText(30), QStringLiteral("30"));
    EXPECT_EQ(singleText(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(singleText(-15), QStringLiteral("-15"));
    EXPECT_EQ(singleText(7185), QStringLiteral("7185"));
    EXPECT_EQ(toText(QVariant(true)), QStringLiteral("True"));
    EXPECT_EQ(toText(QVariant(5.0)), QStringLiteral("5"));
}
