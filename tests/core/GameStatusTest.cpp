#include "core/GameStatus.h"

#include <gtest/gtest.h>

namespace {
const QDate Today(2026, 12, 7);
const QByteArray Example = "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n";
} // namespace

TEST(GameStatus, ExampleLineReadsAndWritesBackTheSame) {
    const auto s = GameStatus::fromText(Example);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->version, QStringLiteral("1.0"));
    EXPECT_EQ(s->date, Today);
    EXPECT_EQ(s->currentPeriod.value(), 2);
    EXPECT_TRUE(s->running);
    EXPECT_EQ(s->periodMinutesLeft.value(), 37);
    EXPECT_TRUE(s->periodRunning);
    EXPECT_FALSE(s->isTimeOut);
    EXPECT_EQ(s->timeoutMinutesLeft.value(), 20);
    EXPECT_EQ(s->runningItemID.value(), 12);
    EXPECT_EQ(s->taskMinutesLeft.value(), 8);
    EXPECT_EQ(s->todayScore.value(), 15);
    EXPECT_EQ(s->toLine(), Example);
}

TEST(GameStatus, NegativeNumbersAndFalseValuesRoundTrip) {
    GameStatus s;
    s.version = QStringLiteral("2.3");
    s.date = QDate(2026, 1, 5);
    s.currentPeriod = 4;
    s.periodMinutesLeft = 0;
    s.timeoutMinutesLeft = 0;
    s.taskMinutesLeft = -12;
    s.todayScore = -32768;
    const QByteArray line = s.toLine();
    EXPECT_EQ(line, QByteArray("\"2.3\",#2026-01-05#,4,#FALSE#,0,#FALSE#,#FALSE#,0,0,-12,-32768\r\n"));
    EXPECT_EQ(GameStatus::fromText(line), s);
}

TEST(GameStatus, AnEditorsBareLineFeedIsAccepted) {
    QByteArray text = Example;
    text.replace("\r\n", "\n");
    EXPECT_TRUE(GameStatus::fromText(text).has_value());
}

TEST(GameStatus, DamagedTextsReadAsNothing) {
    const QByteArray damaged[] = {
        "",
        "\r\n",
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15",             // cut before the line end
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,1",              // cut inside a value
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8\r\n",            // a value missing
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15,1\r\n",       // a value too many
        "\"1.0\",#2026-12-07#,2,TRUE,37,#TRUE#,#FALSE#,20,12,8,15\r\n",           // a truth value bare
        "\"1.0\",#2026-12-07#,2,#TRUE#,thirty,#TRUE#,#FALSE#,20,12,8,15\r\n",     // words for a number
        "\"1.0\",#2026-12-07#,2,#TRUE#,37.5,#TRUE#,#FALSE#,20,12,8,15\r\n",       // a fraction
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,40000\r\n",      // beyond 16 bits
        "\"1.0\",#2026-12-07#,5,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",         // no such period
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,-3,8,15\r\n",         // a negative task id
        "\"1.0\",#2026-02-30#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",         // no such day
        "\"1.0\",2026-12-07,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",           // a date bare
        "1.0,#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",             // a text unquoted
        "\"1.0,#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",           // a quote left open
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\njunk\r\n", // a second line
        "\"1.0\", #2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",        // a stray blank
        "\"1.0\",#2026-12-7#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",          // a day of one digit
        "\"1.0\",#2026-12-07,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n",          // a date left open
        "\"1.0\",#2026-12-07#,2,#TRUE#,-,#TRUE#,#FALSE#,20,12,8,15\r\n",          // a minus alone
        "\"1.0\",#2026-12-07#,2,#TRUE#,000037,#TRUE#,#FALSE#,20,12,8,15\r\n",     // six digits
        "\"1.0\",#2026-12-07#,2,#TRUE#,+37,#TRUE#,#FALSE#,20,12,8,15\r\n",        // a plus
        "\"1.0\",#2026-12-07#,2,#TRUE#,\xb3,#TRUE#,#FALSE#,20,12,8,15\r\n",       // a superscript three
        "\x01\x02garbage\xff\r\n",
    };
    for (const QByteArray& text : damaged)
        EXPECT_FALSE(GameStatus::fromText(text).has_value()) << text.data();
}
