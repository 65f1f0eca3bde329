#include "tests/core/GameWorld.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

const QDate Today(2026, 12, 7);

Integer addTask(const QString& title, int estimate, const QString& repeat = QString(),
                const QDate& day = Today, const QString& period = QStringLiteral("1")) {
    const Integer id = gItems->newItem(QStringLiteral("Task"));
    gItems->setNow(QDateTime(day, QTime(8, 0)), id);
    gItems->setDate(day, id);
    gItems->setTitle(title, id);
    gItems->setPeriod(period, id);
    gItems->setEstimate(QString::number(estimate), id);
    gItems->setDone(QStringLiteral("false"), id);
    gItems->setDoneDate(QStringLiteral("NotDone"), id);
    gItems->setType(QStringLiteral("Task"), id);
    gItems->setObj3(repeat, id);
    return id;
}

// A task that was stopped with minutes left.
Integer addStoppedTask(const QString& title, int estimate, int minutesLeft) {
    const Integer id = addTask(title, estimate);
    gItems->setStatus(QStringLiteral("stopped"), id);
    gItems->setTimeLeft(minutesLeft, id);
    return id;
}

int itemsTitled(const QString& title) {
    const QStringList ids = gItems->getIDsMatchingString(title);
    return ids.first().isEmpty() ? 0 : static_cast<int>(ids.size());
}

} // namespace

TEST(GameTasks, StartingATaskRunsItAndItsPeriod) {
    GameWorld w;
    const QString title = QStringLiteral("Write the quarterly report for the board and the staff");
    const Integer id = addTask(title, 30);
    w.game().startTask(id, Integer(2));
    EXPECT_EQ(w.game().RunningItemID(), id);
    EXPECT_TRUE(w.game().TaskRunning());
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("started"));
    EXPECT_EQ(w.orbin.messages, QStringList{QStringLiteral("Starting task ") + title.left(34) +
                                            QStringLiteral(". Estimated time: 30 minutes")});
    EXPECT_EQ(w.controls().butStart.caption, title.left(41) + QStringLiteral(" (30)"));
    EXPECT_EQ(w.controls().butStart.tag, QString::number(id.value()));
    EXPECT_EQ(w.controls().txtTaskMinutes.caption, QStringLiteral("30"));
    EXPECT_TRUE(w.controls().TaskCountdown.enabled);
    EXPECT_TRUE(w.controls().timTaskMinutesBlink.enabled);
    EXPECT_TRUE(w.game().PeriodRunning());
    EXPECT_EQ(w.game().CurrentPeriod().value(), 2);
    EXPECT_EQ(w.orbin.calls.first(), QStringLiteral("shrink"));
    EXPECT_EQ(w.orbin.calls.last(), QStringLiteral("updateInfo"));
}

TEST(GameTasks, ASecondTaskTakesOverAndTheFirstStaysStarted) {
    GameWorld w;
    const Integer first = addTask(QStringLiteral("First"), 20);
    const Integer second = addTask(QStringLiteral("Second"), 10);
    w.game().startTask(first);
    w.game().startTask(second);
    EXPECT_EQ(w.game().RunningItemID(), second);
    EXPECT_EQ(gItems->getStatus(first), QStringLiteral("started"));
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("Second (10)"));

    const Integer third = addTask(QStringLiteral("Salt & pepper"), 5);
    w.game().startTask(third);
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("Salt && pepper (5)"))
        << "a title's & is no shortcut";
}

TEST(GameTasks, StoppingKeepsTheMinutesLeftAndAStartTakesThemUp) {
    GameWorld w;
    const Integer id = addTask(QStringLiteral("Tidy the desk"), 25);
    w.game().startTask(id);
    w.controls().txtTaskMinutes.caption = QStringLiteral("12"); // the countdown ran
    w.game().stopTask(id);
    EXPECT_FALSE(w.game().TaskRunning());
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("stopped"));
    EXPECT_EQ(gItems->TimeLeft(id), QStringLiteral("12"));
    EXPECT_EQ(w.orbin.messages.last(), QStringLiteral("Task Tidy the desk stopped"));
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("&Show tasks"));
    EXPECT_TRUE(w.controls().butStart.tag.isEmpty());
    EXPECT_EQ(w.controls().txtTaskMinutes.caption, QStringLiteral("-"));
    EXPECT_FALSE(w.controls().TaskCountdown.enabled);
    EXPECT_FALSE(w.controls().timTaskMinutesBlink.enabled);

    w.game().startTask(id);
    EXPECT_EQ(w.controls().txtTaskMinutes.caption, QStringLiteral("12"));
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("Tidy the desk (12)"));
}

TEST(GameTasks, PauseAndResumeSwitchTheCountdownOnly) {
    GameWorld w;
    const Integer id = addTask(QStringLiteral("Calls"), 15);
    w.game().startTask(id);
    w.game().pauseTask(id);
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("paused"));
    EXPECT_FALSE(w.controls().TaskCountdown.enabled);
    EXPECT_EQ(w.game().RunningItemID(), id);
    EXPECT_EQ(w.controls().txtTaskMinutes.caption, QStringLiteral("15"));
    w.game().resumeTask(id);
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("started"));
    EXPECT_TRUE(w.controls().TaskCountdown.enabled);
    EXPECT_TRUE(w.controls().timTaskMinutesBlink.enabled);
}

TEST(GameTasks, MinutesBeyondTheIntegerRangeAreReportedAndTheTaskRunsOn) {
    GameWorld w;
    const Integer id = addTask(QStringLiteral("Long"), 30);
    w.game().startTask(id);
    w.controls().txtTaskMinutes.caption = QStringLiteral("40000");
    w.game().stopTask(id);
    ASSERT_EQ(w.prompts.boxes.size(), 1);
    EXPECT_EQ(w.prompts.boxes[0].text, QStringLiteral("Error!\r\nQuorvane - Game.stopTask: 6 - Overflow"));
    EXPECT_EQ(w.prompts.boxes[0].title, QStringLiteral("Quorvane Error"));
    EXPECT_EQ(w.game().RunningItemID(), id);
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("started"));
}

TEST(GameDone, ARunningTaskScoresPointsAndATimingBonus) {
    GameWorld w;
    const Integer id = addTask(QStringLiteral("Report"), 30);
    w.game().startTask(id, Integer(3));
    w.controls().txtTaskMinutes.caption = QStringLiteral("5");
    w.controls().labTodayScore.caption = QStringLiteral("10");
    w.game().doneTask(id);

    EXPECT_EQ(w.orbin.messages.last(),
              QStringLiteral("Task done! Est. / actual time: 30 / 25 min. Points: 6. Timing bonus: 3"));
    EXPECT_EQ(gItems->Points(id).value(), 6);
    EXPECT_EQ(gItems->TimingBonus(id).value(), 3);
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("done"));
    EXPECT_EQ(gItems->DoneTime(id), QStringLiteral("25"));
    EXPECT_EQ(gItems->Done(id), QStringLiteral("true"));
    EXPECT_EQ(gItems->DoneDate(id), QStringLiteral("2026-12-07"));
    EXPECT_EQ(gItems->DonePeriod(id).value(), 3);
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("19"));
    EXPECT_FALSE(w.game().TaskRunning());
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("&Show tasks"));
    EXPECT_TRUE(w.controls().butStart.tag.isEmpty());
    EXPECT_FALSE(w.controls().TaskCountdown.enabled);
    EXPECT_FALSE(w.controls().timTaskMinutesBlink.enabled);
    EXPECT_EQ(w.controls().txtTaskMinutes.caption, QStringLiteral("5")); // keeps its last caption
    EXPECT_EQ(w.orbin.calls.mid(w.orbin.calls.size() - 2),
              (QStringList{QStringLiteral("expand"), QStringLiteral("updateInfo")}));
}

TEST(GameDone, ATaskNeverStartedTakesNoTime) {
    GameWorld w;
    const Integer small = addTask(QStringLiteral("Water the plants"), 5);
    w.game().doneTask(small);
    EXPECT_EQ(w.orbin.messages.last(),
              QStringLiteral("Task done! Est. / actual time: 5 / 0 min. Points: 1. Timing bonus: 1"));
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("2"));

    // The daily article task, finished from its slot.
    const Integer article = addTask(QStringLiteral("Read QVN article  1"), 15);
    w.game().doneTask(article);
    EXPECT_EQ(w.orbin.messages.last(),
              QStringLiteral("Task done! Est. / actual time: 15 / 0 min. Points: 3. Timing bonus: 0"));
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("5"));
}

TEST(GameDone, AStoppedTaskCountsTheMinutesItUsed) {
    const struct {
        int estimate;
        int left;
        int actual;
        int bonus;
    } cases[] = {{10, 3, 7, 0}, {10, 2, 8, 1}, {10, -2, 12, 1}, {10, -3, 13, 0}, {90, 27, 63, 3}};
    for (const auto& c : cases) {
        GameWorld w;
        const Integer id = addStoppedTask(QStringLiteral("Stopped"), c.estimate, c.left);
        w.game().doneTask(id);
        EXPECT_EQ(gItems->DoneTime(id), QString::number(c.actual)) << c.estimate << " " << c.left;
        EXPECT_EQ(gItems->TimingBonus(id).value(), c.bonus) << c.estimate << " " << c.left;
    }
}

TEST(GameDone, ARepeatingTaskIsClonedOncePerFinish) {
    GameWorld w;
    const Integer id = addTask(QStringLiteral("Daily stand-up"), 15, QStringLiteral("D"));
    const Integer once = addTask(QStringLiteral("One-off errand"), 15, QStringLiteral("x"));
    w.game().doneTask(id);
    EXPECT_EQ(itemsTitled(QStringLiteral("Daily stand-up")), 2);
    w.game().doneTask(id);
    EXPECT_EQ(itemsTitled(QStringLiteral("Daily stand-up")), 3);
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("6")); // scored twice, 3 + 0 each
    // The copies are made from the item before it is marked done.
    const QStringList ids = gItems->getIDsMatchingString(QStringLiteral("Daily stand-up"));
    ASSERT_EQ(ids.size(), 3);
    EXPECT_EQ(gItems->Done(Integer(ids[1].toInt())), QStringLiteral("false")); // the first copy
    w.game().doneTask(once);
    EXPECT_EQ(itemsTitled(QStringLiteral("One-off errand")), 1);
}

TEST(GameDone, AnotherTaskLeavesTheRunningOneAlone) {
    GameWorld w;
    const Integer running = addTask(QStringLiteral("Running"), 30);
    const Integer other = addTask(QStringLiteral("Other"), 10);
    w.game().startTask(running);
    w.game().doneTask(other);
    EXPECT_EQ(w.game().RunningItemID(), running);
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("Running (30)"));
    EXPECT_TRUE(w.controls().TaskCountdown.enabled);
    EXPECT_EQ(gItems->getStatus(running), QStringLiteral("started"));
}

TEST(GameDone, AScoreBeyondTheIntegerRangeIsReportedAndNothingChanges) {
    GameWorld w;
    const Integer id = addTask(QStringLiteral("Overflowing"), 30, QStringLiteral("W"));
    w.game().startTask(id);
    w.controls().txtTaskMinutes.caption = QStringLiteral("5");
    w.controls().labTodayScore.caption = QStringLiteral("32760");
    w.game().doneTask(id);
    ASSERT_EQ(w.prompts.boxes.size(), 1);
    EXPECT_EQ(w.prompts.boxes[0].text, QStringLiteral("Error!\r\nQuorvane - Game.doneTask: 6 - Overflow"));
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("32760"));
    EXPECT_EQ(gItems->Done(id), QStringLiteral("false"));
    EXPECT_EQ(itemsTitled(QStringLiteral("Overflowing")), 1);
    EXPECT_EQ(w.game().RunningItemID(), id);

    // So is a minute count out of range.
    w.controls().labTodayScore.caption = QStringLiteral("0");
    w.controls().txtTaskMinutes.caption = QStringLiteral("-32760");
    w.game().doneTask(id);
    ASSERT_EQ(w.prompts.boxes.size(), 2);
    EXPECT_EQ(w.prompts.boxes[1].text, QStringLiteral("Error!\r\nQuorvane - Game.doneTask: 6 - Overflow"));
    EXPECT_EQ(gItems->Done(id), QStringLiteral("false"));
}

TEST(GameDay, QuitWhileATaskRunsAndTheSameDayRunsItAgain) {
    GameWorld w;
    const Integer id = addTask(QStringLiteral("Inbox zero"), 30);
    w.game().getStatus();
    w.game().startTask(id, Integer(2));
    w.controls().txtTaskMinutes.caption = QStringLiteral("8");
    w.controls().lblRemainingOfPeriod.caption = QStringLiteral("37");
    w.controls().labTodayScore.caption = QStringLiteral("15");

    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    EXPECT_TRUE(w.game().saveStatus());
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(w.readStatus(), QByteArray("\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,") +
                                  QByteArray::number(id.value()) + ",8,15\r\n");
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("stopped"));
    EXPECT_EQ(gItems->TimeLeft(id), QStringLiteral("8"));
    ASSERT_TRUE(gItems->saveItemXML());

    w.clock.set(QDateTime(Today, QTime(11, 30)));
    w.restart();
    w.game().getStatus();
    EXPECT_EQ(w.game().RunningItemID(), id);
    EXPECT_EQ(gItems->getStatus(id), QStringLiteral("started"));
    EXPECT_EQ(w.controls().txtTaskMinutes.caption, QStringLiteral("8"));
    EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("Inbox zero (8)"));
    EXPECT_TRUE(w.controls().TaskCountdown.enabled);
    EXPECT_EQ(w.game().CurrentPeriod().value(), 2);
    EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("15"));
}

TEST(GameDay, TheExampleLineComesBackTheSame) {
    GameWorld w;
    for (int i = 1; i <= 11; ++i)
        addTask(QStringLiteral("Task %1").arg(i), 20);
    const Integer twelve = addStoppedTask(QStringLiteral("Task 12"), 20, 8);
    ASSERT_EQ(twelve.value(), 12);
    const QByteArray example = "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15\r\n";
    w.writeStatus(example);
    w.game().getStatus();
    EXPECT_EQ(w.game().RunningItemID().value(), 12);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    EXPECT_TRUE(w.game().saveStatus());
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(w.readStatus(), example);
}

TEST(GameDay, ARunningIdThatNamesNoTaskRestoresNoTaskAndTheRestOfTheDay) {
    const QByteArray lines[] = {
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,13,999,8,15\r\n", // no such item
        "\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,13,1,8,15\r\n",   // a meeting
    };
    for (const QByteArray& line : lines) {
        GameWorld w;
        const Integer meeting = gItems->newItem(QStringLiteral("Meeting"));
        ASSERT_EQ(meeting.value(), 1);
        gItems->setType(QStringLiteral("Meeting"), meeting);
        w.writeStatus(line);
        w.game().getStatus();
        EXPECT_EQ(w.game().RunningItemID().value(), 0) << line.data();
        EXPECT_FALSE(w.game().TaskRunning());
        EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("&Show tasks"));
        EXPECT_TRUE(w.controls().butStart.tag.isEmpty());
        EXPECT_EQ(w.controls().txtTaskMinutes.caption, QStringLiteral("-"));
        EXPECT_FALSE(w.controls().TaskCountdown.enabled);
        EXPECT_EQ(gItems->getStatus(meeting), QString());
        EXPECT_TRUE(w.game().Running());
        EXPECT_EQ(w.game().CurrentPeriod().value(), 2);
        EXPECT_EQ(w.game().timeoutMinutesLeft().value(), 13);
        EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("15"));
        EXPECT_TRUE(w.prompts.boxes.isEmpty());
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
        EXPECT_TRUE(w.game().saveStatus());
        QCoreApplication::setApplicationVersion(QString());
        EXPECT_EQ(w.readStatus(),
                  QByteArray("\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,13,0,0,15\r\n"));
    }
}

TEST(GameDay, ATaskThatCannotStartLeavesNoRunningIdAndTheDayRestored) {
    for (const bool errorHandling : {true, false}) {
        GameWorld w;
        gSettings->setBErrorHandling(errorHandling);
        const Integer id = addTask(QStringLiteral("Huge"), 30);
        gItems->setEstimate(QStringLiteral("99999"), id); // beyond 16 bits: the start fails
        w.writeStatus("\"1.0\",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,13,1,8,15\r\n");
        w.game().getStatus();
        EXPECT_EQ(w.game().RunningItemID().value(), 0) << errorHandling;
        EXPECT_FALSE(w.controls().TaskCountdown.enabled);
        EXPECT_EQ(w.controls().butStart.caption, QStringLiteral("&Show tasks"));
        EXPECT_EQ(w.game().CurrentPeriod().value(), 2);
        EXPECT_EQ(w.controls().labTodayScore.caption, QStringLiteral("15"));
        EXPECT_EQ(w.controls().lblDate, Today);
        EXPECT_EQ(w.prompts.boxes.size(), errorHandling ? 1 : 0);
        if (errorHandling) {
            EXPECT_EQ(w.prompts.boxes[0].text,
                      QStringLiteral("Error!\r\nQuorvane - Game.startTask: 6 - Overflow"));
        }
    }
}

TEST(GameDay, UndoneTasksMoveToTodayWhateverTheFileSays) {
    GameWorld w;
    const Integer yesterday =
        addTask(QStringLiteral("Left over"), 20, QString(), Today.addDays(-1), QStringLiteral("3"));
    const Integer finished = addTask(QStringLiteral("Finished"), 20, QString(), Today.addDays(-1));
    gItems->setDone(QStringLiteral("true"), finished);
    w.writeStatus("\"1.0\",#2026-12-06#,3,#TRUE#,37,#TRUE#,#FALSE#,4,0,0,15\r\n");
    w.game().getStatus();
    EXPECT_EQ(gItems->Date_(yesterday), Today);
    EXPECT_EQ(gItems->Period(yesterday), QStringLiteral("1"));
    EXPECT_EQ(gItems->Date_(finished), Today.addDays(-1));
    EXPECT_EQ(gItems->SelectedPeriod().value(), 1);
}

TEST(GameDay, EndingAPeriodMovesItsUndoneTasksToTheNext) {
    GameWorld w;
    w.game().startPeriod(2);
    const Integer open = addTask(QStringLiteral("Open"), 20, QString(), Today, QStringLiteral("2"));
    const Integer later = addTask(QStringLiteral("Later"), 20, QString(), Today, QStringLiteral("4"));
    w.game().stopPeriod();
    EXPECT_EQ(gItems->Period(open), QStringLiteral("3"));
    EXPECT_EQ(gItems->Period(later), QStringLiteral("4"));
    // A new period takes in what is still undone before it.
    w.game().startPeriod(4);
    EXPECT_EQ(gItems->Period(open), QStringLiteral("4"));
}
