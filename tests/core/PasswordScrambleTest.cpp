#include "core/PasswordScramble.h"

#include <gtest/gtest.h>

TEST(Password, ScrambleCodesAndRoundTrip) {
    const QString clear = QStringLiteral("Ab 9!");
    const QString stored = scramblePassword(clear);
    ASSERT_EQ(stored.size(), 5);
    EXPECT_EQ(stored.at(0).unicode(), 192);
    EXPECT_EQ(stored.at(1).unicode(), 219);
    EXPECT_EQ(stored.at(2).unicode(), 32);
    EXPECT_EQ(stored.at(3).unicode(), 253);
    EXPECT_EQ(stored.at(4).unicode(), 33);
    EXPECT_EQ(unscramblePassword(stored), clear);

    const QString edges = QStringLiteral("AZaz09");
    const QChar stored6[] = {QChar(192), QChar(217), QChar(218), QChar(243), QChar(244), QChar(253)};
    EXPECT_EQ(scramblePassword(edges), QString(stored6, 6));
    EXPECT_EQ(unscramblePassword(scramblePassword(edges)), edges);
    // An accented letter lies in the stored range and does not survive.
    const QString accented(QChar(0xE9));
    EXPECT_NE(unscramblePassword(scramblePassword(accented)), accented);
}
