#include "tests/core/GameWorld.h"

#include "core/Initialize.h"
#include "tests/support/FakeShell.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace {

// The example line of the status file, written on the clock's day.
const QByteArray Example = "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n";

// Sets the application's version for one test.
struct AppVersion {
    explicit AppVersion(const QString& v) { QCoreApplication::setApplicationVersion(v); }
    ~AppVersion() { QCoreApplication::setApplicationVersion(QString()); }
};

} // namespace

TEST(GamePeriods, BeforeAnyPeriodTheFirstIsCurrent) {
    GameWorld w;
    EXPECT_FALSE(w.game().Running());
    EXPECT_FALSE(w.game().PeriodRunning());
    EXPECT_FALSE(w.game().TaskRunning());
    EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
    EXPECT_EQ(w.game().currentPeriodOrdinal(), QStringLiteral("1st"));
    EXPECT_EQ(w.game().timeoutMinutesLeft().value(), 20);
    w.game().setCurrentPeriod(7);
    EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
    w.game().setCurrentPeriod(3);
    EXPECT_EQ(w.game().currentPeriodOrdinal(), QStringLiteral("3rd"));
}

TEST(GamePeriods, StartingAPeriodRunsTheGameAndTheScoreboardCountdown) {
    GameWorld w;
    EXPECT_TRUE(w.game().startPeriod());
    EXPECT_TRUE(w.game().Running());
    EXPECT_TRUE(w.game().PeriodRunning());
    EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
    EXPECT_EQ(w.controls().lblRemainingOfPeriod.caption, QStringLiteral("45"));
    EXPECT_TRUE(w.controls().timPeriodCounter.enabled);
    EXPECT_TRUE(w.controls().timDisplayCounter.enabled);
    EXPECT_EQ(w.controls().timDisplayCounter.interval, 5001);
    EXPECT_EQ(w.orbin.calls.last(), QStringLiteral("updateInfo"));
    EXPECT_GT(w.orbin.changes, 0);

    // The next period follows the current one; after the fourth comes the first.
    w.game().stopPeriod();
    EXPECT_TRUE(w.game().Running());
    EXPECT_FALSE(w.game().PeriodRunning());
    EXPECT_FALSE(w.controls().timPeriodCounter.enabled);
    w.game().startPeriod();
    EXPECT_EQ(w.game().CurrentPeriod().value(), 2);
    w.game().startPeriod(4);
    EXPECT_EQ(w.game().CurrentPeriod().value(), 4);
    w.game().startPeriod();
    EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
    w.game().startPeriod(9);
    EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
}

TEST(GamePeriods, ALongDisplayTimeDoesNotOverflowTheTimer) {
    GameWorld w;
    gSettings->setIDisplayLength(40);
    w.game().startPeriod(2);
    EXPECT_EQ(w.controls().timDisplayCounter.interval, 40001);
    EXPECT_TRUE(w.prompts.boxes.isEmpty());
    EXPECT_EQ(w.game().CurrentPeriod().value(), 2);
}

TEST(GamePeriods, EndingTheFourthPeriodEndsTheDayWithItsScore) {
    GameWorld w;
    w.game().startPeriod(4);
    w.controls().labTodayScore.caption = QStringLiteral("27");
    w.game().stopPeriod();
    EXPECT_FALSE(w.game().Running());
    EXPECT_FALSE(w.game().PeriodRunning());
    ASSERT_EQ(w.orbin.messages.size(), 1);
    EXPECT_EQ(w.orbin.messages[0],
              QStringLiteral("The game and day have ended! Your total score for today: 27"));
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("0"));
    // A new day's game begins with the first period.
    w.game().startPeriod();
    EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
}

TEST(GameTimeout, RefusedWhileThePeriodCountdownIsOff) {
    GameWorld w;
    const GameControls before = w.controls();
    w.game().startTimeout();
    ASSERT_EQ(w.prompts.boxes.size(), 1);
    EXPECT_EQ(w.prompts.boxes[0].text,
              QStringLiteral("The Period must be on before you call for a Time Out!"));
    EXPECT_EQ(w.prompts.boxes[0].title, QStringLiteral("Time Out!"));
    EXPECT_EQ(w.prompts.boxes[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(w.prompts.boxes[0].buttons, Prompter::Buttons::OK);
    EXPECT_EQ(w.orbin.calls, QStringList{QStringLiteral("shrink")});
    EXPECT_FALSE(w.game().isTimeOut());
    EXPECT_EQ(w.controls().butStart.caption, before.butStart.caption);
    EXPECT_EQ(w.controls().butTimeout.caption, QStringLiteral("T"));
    EXPECT_FALSE(w.controls().fraTimeOut.visible);
    EXPECT_FALSE(w.controls().timTimeOut.enabled);
}

TEST(GameTimeout, RunsAndEndsWithTheButtonsRestored) {
    GameWorld w;
    w.game().startPeriod(1);
    w.game().startTimeout();
    EXPECT_TRUE(w.game().isTimeOut());
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("**** Timeout! ****"));
    EXPECT_FALSE(w.controls().butStart.enabled);
    EXPECT_EQ(w.controls().butTimeout.caption, QStringLiteral("R"));
    EXPECT_EQ(w.controls().lblTimeOut.caption, QStringLiteral("20"));
    EXPECT_TRUE(w.controls().fraTimeOut.visible);
    EXPECT_FALSE(w.controls().timPeriodCounter.enabled);
    EXPECT_TRUE(w.controls().timTimeOut.enabled);

    w.game().decreaseTimeoutMinutesLeft();
    EXPECT_EQ(w.game().timeoutMinutesLeft().value(), 19);
    w.game().stopTimeout();
    EXPECT_FALSE(w.game().isTimeOut());
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("&Start Task"));
    EXPECT_TRUE(w.controls().butStart.enabled);
    EXPECT_EQ(w.controls().butTimeout.caption, QStringLiteral("T"));
    EXPECT_TRUE(w.controls().butTimeout.enabled);
    EXPECT_TRUE(w.controls().timPeriodCounter.enabled);
    EXPECT_FALSE(w.controls().timTimeOut.enabled);
    EXPECT_FALSE(w.controls().fraTimeOut.visible);
}

TEST(GameTimeout, ASpentBudgetDisablesTheButton) {
    GameWorld w;
    w.game().startPeriod(1);
    w.game().startTimeout();
    w.game().setTimeoutMinutesLeft(0);
    w.game().stopTimeout();
    EXPECT_FALSE(w.controls().butTimeout.enabled);
}

TEST(GameTimeout, APeriodThatEndedDuringTheTimeOutStaysEnded) {
    GameWorld w;
    w.game().startPeriod(4);
    w.game().startTimeout();
    w.game().stopPeriod();
    w.game().stopTimeout();
    EXPECT_FALSE(w.controls().timPeriodCounter.enabled) << "no countdown of an ended period";
}

TEST(GameTimeout, TheBudgetNeverWrapsBelowTheIntegerRange) {
    GameWorld w;
    w.game().setTimeoutMinutesLeft(-32768);
    w.game().decreaseTimeoutMinutesLeft();
    EXPECT_EQ(w.game().timeoutMinutesLeft().value(), -32768);
}

TEST(GameStatusFile, NothingIsWrittenBeforeTheDayWasRestored) {
    GameWorld w;
    w.writeStatus(Example);
    EXPECT_FALSE(w.game().saveStatus());
    EXPECT_EQ(w.readStatus(), Example);
}

TEST(GameStatusFile, WithoutAFileTheDayStartsAfreshAndIsSaved) {
    GameWorld w;
    w.game().getStatus();
    EXPECT_FALSE(w.game().Running());
    EXPECT_EQ(w.controls().lblDate, QDate(2026, 12, 7));
    EXPECT_EQ(w.orbin.calls.mid(0, 2), (QStringList{QStringLiteral("tick"), QStringLiteral("expand")}));
    AppVersion version(QStringLiteral("3.4.17"));
    EXPECT_TRUE(w.game().saveStatus());
    EXPECT_EQ(w.readStatus(), QByteArray("\"3.4\",#2026-12-07#,1,#FALSE#,0,#FALSE#,#FALSE#,20,0,0,0\r\n"));
}

TEST(GameStatusFile, TheSameDayIsRestoredAndWrittenBackTheSame) {
    GameWorld w;
    AppVersion version(QStringLiteral("1.0"));
    w.writeStatus("\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,13,0,0,15\r\n");
    w.game().getStatus();
    EXPECT_TRUE(w.game().Running());
    EXPECT_TRUE(w.game().PeriodRunning());
    EXPECT_FALSE(w.game().isTimeOut());
    EXPECT_EQ(w.game().CurrentPeriod().value(), 2);
    EXPECT_EQ(w.game().timeoutMinutesLeft().value(), 13);
    EXPECT_EQ(w.controls().lblRemainingOfPeriod.caption, QStringLiteral("37"));
    EXPECT_EQ(w.controls().txtMinLeftOfPeriod.caption, QStringLiteral("37"));
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("15"));
    EXPECT_TRUE(w.controls().timPeriodCounter.enabled);
    EXPECT_TRUE(w.game().saveStatus());
    EXPECT_EQ(w.readStatus(), QByteArray("\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,13,0,0,15\r\n"));
}

TEST(GameStatusFile, AnotherDayRestoresNothingAndTheFileStaysWhereItIs) {
    // A day to come is no damage: the clock was put back since.
    for (const QByteArray day : {"2026-12-06", "2026-12-09"}) {
        GameWorld w;
        const QByteArray text = "\"1.0\",#" + day + "#,3,#TRUE#,37,#TRUE#,#FALSE#,4,0,0,15\r\n";
        w.writeStatus(text);
        w.game().getStatus();
        EXPECT_FALSE(w.game().Running()) << day.data();
        EXPECT_FALSE(w.game().PeriodRunning());
        EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
        EXPECT_EQ(w.game().timeoutMinutesLeft().value(), 20);
        EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("0"));
        EXPECT_EQ(w.controls().lblDate, QDate(2026, 12, 7));
        EXPECT_EQ(TestEnv::readFile(w.env.dataDir() + "status.ini"), text);
        EXPECT_TRUE(QDir(w.env.dataDir()).entryList({QStringLiteral("status.ini.damaged-*")}).isEmpty());
    }
}

TEST(GameStatusFile, ADamagedFileRestoresNothingAndIsKeptAside) {
    const QByteArray damaged[] = {
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,0,0,15",        // cut short
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,0,0\r\n",       // a value missing
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,0,0,15,9\r\n",  // a value too many
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,yes,20,0,0,15\r\n",        // a wrong type
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,0,0,99999\r\n", // beyond 16 bits
        QByteArray(5000, 'x'),
    };
    for (const QByteArray& text : damaged) {
        GameWorld w;
        w.writeStatus(text);
        w.game().getStatus();
        EXPECT_FALSE(w.game().Running()) << text.left(80).data();
        EXPECT_EQ(w.game().CurrentPeriod().value(), 1);
        EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("0"));
        EXPECT_FALSE(w.controls().timPeriodCounter.enabled);
        EXPECT_TRUE(w.prompts.boxes.isEmpty());
        const QStringList aside = QDir(w.env.dataDir()).entryList({QStringLiteral("status.ini.damaged-*")});
        ASSERT_EQ(aside.size(), 1) << "kept aside before the quit writes a new one";
        EXPECT_EQ(TestEnv::readFile(w.env.dataDir() + aside[0]), text);
        // The rest of the start goes on as on a new day.
        EXPECT_EQ(w.controls().lblDate, QDate(2026, 12, 7));
        EXPECT_TRUE(w.orbin.calls.contains(QStringLiteral("tick")));
    }
}

TEST(GameStatusFile, ATimeOutRunningAtQuitGoesOnAfterARestart) {
    GameWorld w;
    w.writeStatus("\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#TRUE#,7,0,0,15\r\n");
    w.game().getStatus();
    EXPECT_TRUE(w.game().isTimeOut());
    EXPECT_EQ(w.game().timeoutMinutesLeft().value(), 7);
    EXPECT_FALSE(w.controls().timPeriodCounter.enabled);
    EXPECT_TRUE(w.controls().timTimeOut.enabled);
    EXPECT_TRUE(w.controls().fraTimeOut.visible);
    EXPECT_EQ(w.controls().butTimeout.caption, QStringLiteral("R"));
    EXPECT_EQ(w.controls().lblTimeOut.caption, QStringLiteral("7"));
    // and it can be ended
    w.game().stopTimeout();
    EXPECT_FALSE(w.game().isTimeOut());
    EXPECT_TRUE(w.controls().timPeriodCounter.enabled);
}

TEST(GameStartUp, ARefusedPasswordLeavesTheStoredDayAlone) {
    TestEnv env;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
    FakePrompter prompts;
    FakeShell shell; // the login form leaves the gate shut
    env.writeSettings("[General]\r\npassword=secret\r\n");
    TestEnv::writeFile(env.dataDir() + QStringLiteral("status.ini"), Example);
    Main();
    EXPECT_EQ(shell.logins, 1);
    EXPECT_TRUE(gQuitting);
    EXPECT_EQ(TestEnv::readFile(env.dataDir() + QStringLiteral("status.ini")), Example);
}

TEST(GameStartUp, AnOrdinaryRunSavesTheDayAtQuit) {
    TestEnv env;
    FakeClock clock{QDateTime(QDate(2026, 12, 8), QTime(10, 0))};
    FakePrompter prompts;
    FakeShell shell;
    TestEnv::writeFile(env.dataDir() + QStringLiteral("status.ini"), Example);
    Main();
    ASSERT_FALSE(gQuitting);
    quitApplication(true);
    const QByteArray saved = TestEnv::readFile(env.dataDir() + QStringLiteral("status.ini"));
    EXPECT_TRUE(saved.contains(",#2026-12-08#,1,#FALSE#,")) << saved.data();
}
