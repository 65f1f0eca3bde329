#include "tests/orbin/TaskFixture.h"

#include "core/Settings.h"

#include <QMenu>
#include <QPushButton>

namespace {

QLabel* slotOf(const frmFloater* floater, int n) {
    return floater->findChild<QLabel*>(QStringLiteral("txtTodo_%1").arg(n, 2, 10, QLatin1Char('0')));
}

} // namespace

TEST_F(Tasks, ATaskFromNewToDoneAsAPersonDoesIt) {
    // New -> Task, a title, Enter.
    control<QPushButton>("btnNew")->click();
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_T);
    auto* d = dynamic_cast<dlgNewTaskDetails*>(forms::find(QStringLiteral("dlgNewTaskDetails")));
    ASSERT_NE(d, nullptr);
    QTest::keyClicks(d->txtTaskTitle(), QStringLiteral("Call the bank"));
    QTest::keyClick(d->txtTaskTitle(), Qt::Key_Return);
    EXPECT_EQ(stored(1, "title"), QStringLiteral("Call the bank"));
    EXPECT_EQ(stored(1, "estimate"), QStringLiteral("5"));
    QLabel* slot = slotOf(floater, 1);
    EXPECT_EQ(slot->text(), QStringLiteral("Call the bank"));

    // The slot opens the task; Start.
    QTest::mouseClick(slot, Qt::LeftButton);
    dlgEditTaskDetails* e = dlgEditTaskDetails::instance();
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Call the bank"));
    EXPECT_EQ(child<QLabel>(e, "txtID")->text(), QStringLiteral("1"));
    child<QAbstractButton>(e, "butStart")->click();
    auto* running = control<QPushButton>("butStart");
    EXPECT_EQ(running->text(), QStringLiteral("Call the bank (5)"));

    // The running task's button opens it again; Done!
    running->click();
    e = dlgEditTaskDetails::instance();
    EXPECT_FALSE(child(e, "butStop")->isHidden());
    child<QAbstractButton>(e, "butDone")->click();
    EXPECT_EQ(control<QLabel>("lblMessageBoard")->text(),
              QStringLiteral("Task done! Est. / actual time: 5 / 0 min. Points: 1. Timing bonus: 1"));
    EXPECT_EQ(gGame->controls().labTodayScore.caption, QStringLiteral("2"));
    EXPECT_EQ(gItems->Done(Integer(1)), QStringLiteral("true"));
    EXPECT_EQ(running->text(), QStringLiteral("&Hide tasks"));
}

class ArticleSlot : public Tasks {
protected:
    void seed() override {
        items =
            taskXml(1, QStringLiteral("Read QVN article  10"), Today, 1, {}, QStringLiteral("false"), 15) +
            taskXml(2, QStringLiteral("read QVN article  2"), Today, 1);
        Tasks::seed();
    }
};

TEST_F(ArticleSlot, TheArticleTaskOffersItsReaderAndCountsAsDoneOnlyOnceItStarted) {
    prompter.script({Prompter::No});
    QTest::mouseClick(slotOf(floater, 1), Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Do you want to read the article now?"));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Quorvane article10"));
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::None);
    EXPECT_TRUE(launcher.started.isEmpty());
    EXPECT_EQ(gItems->Done(Integer(1)), QStringLiteral("false"));
    EXPECT_TRUE(floater->isShrunk());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));

    // The text in another letter case is an ordinary task.
    floater->expandFloater();
    QTest::mouseClick(slotOf(floater, 2), Qt::LeftButton);
    EXPECT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(child<QLabel>(dlgEditTaskDetails::instance(), "txtID")->text(), QStringLiteral("2"));
    // An empty slot changes nothing, not even the current item.
    floater->Morning_Click(1);
    QTest::mouseClick(slotOf(floater, 1), Qt::LeftButton);
    EXPECT_EQ(gItems->currentID(), Integer(2));
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
    floater->butReturnToPeriodInPlay_Click();

    // A reader that does not start is reported and the task stays open.
    launcher.startSucceeds = false;
    prompter.script({Prompter::Yes});
    QTest::mouseClick(slotOf(floater, 1), Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 3);
    EXPECT_TRUE(prompter.boxes[2].text.contains(QStringLiteral(" - frmFloater.txtTodo_01_Click: 53")));
    EXPECT_EQ(gItems->Done(Integer(1)), QStringLiteral("false"));

    launcher.startSucceeds = true;
    prompter.script({Prompter::Yes});
    floater->expandFloater();
    QTest::mouseClick(slotOf(floater, 1), Qt::LeftButton);
    ASSERT_EQ(launcher.started.size(), 2);
    EXPECT_EQ(launcher.started.last().first, gSettings->ArticlePath() + QStringLiteral("Article10"));
    EXPECT_EQ(launcher.started.last().second, Launcher::WindowState::Normal);
    EXPECT_EQ(gItems->Done(Integer(1)), QStringLiteral("true"));
    EXPECT_EQ(gItems->Points(Integer(1)), Integer(3));
    EXPECT_EQ(gItems->TimingBonus(Integer(1)), Integer(0));
}

class UntitledTask : public Tasks {
protected:
    void seed() override {
        items = taskXml(1, QStringLiteral("Named"), Today, 1) + taskXml(2, QString(), Today, 1);
        Tasks::seed();
    }
};

TEST_F(UntitledTask, ATaskWithoutATitleShowsAPlaceholderAndOpensOnAClick) {
    floater->expandFloater();
    QLabel* slot = slotOf(floater, 2);
    EXPECT_EQ(slot->text(), QStringLiteral("(no title)"));
    QTest::mouseClick(slot, Qt::LeftButton);
    ASSERT_TRUE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
    EXPECT_EQ(child<QLabel>(dlgEditTaskDetails::instance(), "txtID")->text(), QStringLiteral("2"));
    // The empty slot below it is still empty to a click.
    forms::find(QStringLiteral("dlgEditTaskDetails"))->unloadForm();
    QTest::mouseClick(slotOf(floater, 3), Qt::LeftButton);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
}
