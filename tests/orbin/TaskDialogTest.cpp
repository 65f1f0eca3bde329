#include "tests/orbin/TaskFixture.h"

#include "dialogs/DialogControls.h"
#include "platform/Twips.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

// The window's height with its title bar and borders, as the design measures it.
double heightOf(QWidget* form) {
    return dynamic_cast<FormPort*>(form)->twipGeometry().height + dialogcontrols::CaptionAllowance;
}

QByteArray taskWith(int id, const QString& title, const QString& date, int period,
                    const QList<QPair<QByteArray, QByteArray>>& replaced = {}) {
    QByteArray xml = taskXml(id, title, date, period);
    for (const auto& [from, to] : replaced)
        xml.replace(from, to);
    return xml;
}

} // namespace

// ---- New task ----

TEST_F(Tasks, ANewTaskStoresWhatWasEnteredInTheFileAtOnce) {
    gItems->setSelectedPeriod(Integer(3));
    dlgNewTaskDetails* d = openNew();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("New Task - ") + shortDate(QDate(2026, 12, 7)));
    EXPECT_TRUE(child<QRadioButton>(d, "rad3rd")->isChecked());

    // The estimates wait for a title.
    QWidget* frame = child(d, "frameTimeEstimate");
    const QList<QPushButton*> estimates = d->findChildren<QPushButton*>(QStringLiteral("but_5_Min"));
    ASSERT_EQ(estimates.size(), 6);
    auto enabled = [&](bool on) {
        bool all = frame->isEnabled() == on;
        for (QPushButton* b : estimates)
            all = all && b->isEnabledTo(frame) == on;
        return all;
    };
    EXPECT_TRUE(enabled(false));
    QTest::keyClicks(d->txtTaskTitle(), QStringLiteral("x"));
    EXPECT_TRUE(enabled(true));
    QTest::keyClick(d->txtTaskTitle(), Qt::Key_Backspace);
    EXPECT_TRUE(enabled(false));

    QTest::keyClicks(d->txtTaskTitle(), QStringLiteral("  Call the bank "));
    child<QPushButton>(d, "butAdvanced")->click();
    QTest::keyClicks(d->txtTaskBody(), QStringLiteral("Ask for C:\\new"));
    QTest::keyClick(d->txtTaskBody(), Qt::Key_Return);
    QTest::keyClicks(d->txtTaskBody(), QStringLiteral("then wait"));
    child<QRadioButton>(d, "radEveryWeek")->click();
    auto* days = child<QComboBox>(d, "cmbDate");
    EXPECT_EQ(days->currentText(), QStringLiteral("Today"));
    EXPECT_EQ(days->itemText(6), QStringLiteral("Next Monday"));
    QTest::keyClick(days, Qt::Key_Down);
    EXPECT_EQ(child<QLineEdit>(d, "txtDate")->text(), shortDate(QDate(2026, 12, 8)));
    buttonCaptioned(d, QStringLiteral("15 min"))->click();

    EXPECT_FALSE(loaded(d));
    const QStringList fields = {"now",  "date",   "title",       "period", "estimate", "done",   "donedate",
                                "note", "points", "timingbonus", "type",   "obj3",     "project"};
    const QStringList expected = {"2026-12-07 10:00:00",
                                  "20261208",
                                  "  Call the bank ",
                                  "3",
                                  "15",
                                  "false",
                                  "NotDone",
                                  "Ask for C:\\\\new\\nthen wait",
                                  "0",
                                  "0",
                                  "Task",
                                  "W",
                                  "0"};
    for (qsizetype i = 0; i < fields.size(); ++i)
        EXPECT_EQ(stored(1, fields[i].toLatin1().constData()), expected[i]) << fields[i].toStdString();
}

TEST_F(Tasks, EnterTakesFiveMinutesTenMinutesTakesTenAndAProjectPresetGoesIntoTheTask) {
    // Several may be open at once.
    dlgNewTaskDetails* first = openNew();
    dlgNewTaskDetails* second = openNewTask(QStringLiteral("7"));
    ASSERT_NE(first, second);
    EXPECT_TRUE(loaded(first) && loaded(second));

    QTest::keyClick(first->txtTaskTitle(), Qt::Key_Return); // an empty title too
    EXPECT_FALSE(loaded(first));
    EXPECT_EQ(stored(1, "estimate"), QStringLiteral("5"));
    EXPECT_EQ(stored(1, "title"), QString());
    EXPECT_EQ(stored(1, "project"), QStringLiteral("0"));

    QTest::keyClicks(second->txtTaskTitle(), QStringLiteral("Plan"));
    buttonCaptioned(second, QStringLiteral("10 min"))->click();
    EXPECT_EQ(stored(2, "estimate"), QStringLiteral("10"));
    EXPECT_EQ(stored(2, "project"), QStringLiteral("7"));
    EXPECT_EQ(stored(2, "obj3"), QString());

    // Today's tasks of the period shown are in their slots at once.
    EXPECT_EQ(control<QLabel>("txtTodo_02")->text(), QStringLiteral("Plan"));
}

TEST_F(Tasks, TheNewTaskViewsSwitchByHeightEscStoresNothingAndThePlaceIsKept) {
    QPointer<dlgNewTaskDetails> d = openNew();
    auto* advanced = child<QPushButton>(d, "butAdvanced");
    auto estimateTop = [&] { return child(d, "frameTimeEstimate")->y(); };
    EXPECT_EQ(heightOf(d), 3135);
    EXPECT_EQ(estimateTop(), twips::toPixels(1760));
    EXPECT_TRUE(d->txtTaskBody()->isHidden());
    EXPECT_TRUE(child(d, "Frame1")->isHidden());
    advanced->click();
    EXPECT_EQ(heightOf(d), 8745);
    EXPECT_EQ(estimateTop(), twips::toPixels(7203));
    EXPECT_FALSE(d->txtTaskBody()->isHidden());
    EXPECT_FALSE(child(d, "Frame1")->isHidden());
    EXPECT_EQ(advanced->text(), QStringLiteral("Simple"));
    advanced->click();
    EXPECT_EQ(heightOf(d), 3135);
    EXPECT_EQ(advanced->text(), QStringLiteral("Advanced"));

    advanced->click();
    QTest::keyClicks(d->txtTaskTitle(), QStringLiteral("Never mind"));
    QTest::keyClicks(d->txtTaskBody(), QStringLiteral("no"));
    const QPoint place = d->pos() + QPoint(40, 30);
    d->move(place);
    QTest::keyClick(d->txtTaskBody(), Qt::Key_Escape);
    EXPECT_FALSE(loaded(d));

    d = openNew();
    EXPECT_EQ(d->pos(), place);
    QTest::keyClicks(d->txtTaskTitle(), QStringLiteral("Nor this"));
    // Esc in the open day list closes the list, not the dialog with what was typed.
    child<QComboBox>(d, "cmbDate")->showPopup();
    QWidget* list = QApplication::activePopupWidget();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    ASSERT_TRUE(loaded(d));
    EXPECT_EQ(d->txtTaskTitle()->text(), QStringLiteral("Nor this"));
    QTest::keyClick(d->txtTaskTitle(), Qt::Key_Escape);
    EXPECT_FALSE(loaded(d));
    EXPECT_EQ(gItems->maxID(), Integer(0));
}

TEST_F(Tasks, ADayThatIsNoDateStoresNothingAndLeavesTheDialogOpen) {
    QPointer<dlgNewTaskDetails> d = openNew();
    QTest::keyClicks(d->txtTaskTitle(), QStringLiteral("Call the bank"));
    auto* day = child<QLineEdit>(d, "txtDate");
    day->selectAll();
    QTest::keyClicks(day, QStringLiteral("someday"));
    buttonCaptioned(d, QStringLiteral("< 5 min"))->click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral(" - dlgNewTaskDetails.saveTask: 13")));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Quorvane error"));
    EXPECT_TRUE(loaded(d));
    EXPECT_EQ(d->txtTaskTitle()->text(), QStringLiteral("Call the bank"));
    EXPECT_EQ(gItems->maxID(), Integer(0));

    // A day typed the way the box shows days is taken.
    day->selectAll();
    QTest::keyClicks(day, shortDate(QDate(2026, 12, 9)));
    buttonCaptioned(d, QStringLiteral("< 5 min"))->click();
    EXPECT_FALSE(loaded(d));
    EXPECT_EQ(stored(1, "date"), QStringLiteral("20261209"));

    // The edit dialog neither stores nor finishes a task whose day is no date.
    QPointer<dlgEditTaskDetails> e = openEdit(1);
    e->txtTaskTitle()->setText(QStringLiteral("Call the bank twice"));
    day = child<QLineEdit>(e, "txtDate");
    day->selectAll();
    QTest::keyClicks(day, QStringLiteral("next week"));
    child<QAbstractButton>(e, "butDone")->click();
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_TRUE(prompter.boxes[1].text.contains(QStringLiteral(" - dlgEditTaskDetails.butSave_Click(): 13")));
    EXPECT_EQ(prompter.boxes[1].title, QStringLiteral("Quorvane Error"));
    EXPECT_TRUE(loaded(e));
    EXPECT_EQ(gItems->Title(Integer(1)), QStringLiteral("Call the bank"));
    EXPECT_EQ(gItems->Done(Integer(1)), QStringLiteral("false"));
}

// ---- Edit task ----

class TasksToEdit : public Tasks {
protected:
    void seed() override {
        items = taskWith(1, QStringLiteral("Started"), Today, 1,
                         {{"<status></status>", "<status>started</status>"}}) +
                taskWith(2, QStringLiteral("Finished"), Today, 1,
                         {{"<status></status>", "<status>done</status>"}, {"<done>false", "<done>True"}}) +
                taskWith(3, QStringLiteral("Tomorrow's"), Tomorrow, 1) +
                taskWith(4, QStringLiteral("Of period 3"), Today, 3) +
                taskWith(5, QStringLiteral("Of period 2"), Today, 2) +
                taskWith(6, QStringLiteral("Of period 4"), Today, 4) +
                taskWith(7, QStringLiteral("Of period 1"), Today, 1) +
                taskWith(8, QStringLiteral("Running"), Today, 1) +
                taskWith(10, QStringLiteral("Pay teh bill"), Today, 1,
                         {{"<status></status>", "<status>done</status>"},
                          {"<done>false", "<done>true"},
                          {"<points>0", "<points>6"},
                          {"<timingbonus>0", "<timingbonus>3"},
                          {"<project>0", "<project>4"},
                          {"<note/>", "<note>a\\\\nb\\nc</note>"},
                          {"<obj3/>", "<obj3>W</obj3>"}});
        Tasks::seed();
    }
    struct Shown {
        bool start, stop, done, followUp;
        bool operator==(const Shown&) const = default;
    };
    static Shown shownFor(int id) {
        dlgEditTaskDetails* e = openEdit(id);
        auto shown = [&](const char* name) { return !child(e, name)->isHidden(); };
        EXPECT_TRUE(shown("butSave") && shown("butDelete") && child(e, "butPostpone")->isHidden());
        return {shown("butStart"), shown("butStop"), shown("butDone"), shown("butDonePlusFollowup")};
    }
    static void game(bool periodRunning, int current) {
        gGame->setPeriodRunning(periodRunning);
        gGame->setCurrentPeriod(Integer(current));
    }
};

TEST_F(TasksToEdit, TheButtonsFollowTheTaskItsDayAndTheGame) {
    game(true, 1);
    EXPECT_EQ(shownFor(1), (Shown{false, true, true, true})) << "a started task";
    EXPECT_EQ(shownFor(2), (Shown{false, false, false, false})) << "a done task";
    game(false, 1);
    EXPECT_EQ(shownFor(3), (Shown{false, false, true, true})) << "a task of another day";
    game(true, 2);
    EXPECT_EQ(shownFor(4), (Shown{false, false, true, true})) << "period 2 runs: a task of period 3";
    EXPECT_EQ(shownFor(5), (Shown{true, false, true, true})) << "period 2 runs: a task of period 2";
    game(false, 2);
    EXPECT_EQ(shownFor(7), (Shown{true, false, true, true})) << "after period 2: a task of period 1";
    EXPECT_EQ(shownFor(4), (Shown{true, false, true, true})) << "after period 2: a task of period 3";
    EXPECT_EQ(shownFor(6), (Shown{false, false, true, true})) << "after period 2: a task of period 4";
    gGame->startTask(Integer(8));
    game(true, 2);
    EXPECT_EQ(shownFor(5), (Shown{false, false, true, true})) << "another task runs";
}

TEST_F(TasksToEdit, EditingShowsTheTasksOwnDayAndSavingKeepsWhatItEarned) {
    // The orbin shows another day: the task still opens on its own.
    gGame->controls().lblDate = QDate(2026, 12, 10);
    floater->controlsChanged();
    QPointer<dlgEditTaskDetails> e = openEdit(10);
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Pay teh bill"));
    EXPECT_EQ(child<QLineEdit>(e, "txtDate")->text(), shortDate(QDate(2026, 12, 7)));
    // A stored note keeps its meaning: an escaped backslash before an n is no line break.
    EXPECT_EQ(e->txtTaskBody()->toPlainText(), QStringLiteral("a\\nb\nc"));
    EXPECT_EQ(heightOf(e), 9360);
    EXPECT_EQ(child(e, "Frame1")->y(), twips::toPixels(7590));
    EXPECT_TRUE(child(e, "butAdvanced")->isHidden());
    EXPECT_TRUE(child<QRadioButton>(e, "radEveryWeek")->isChecked());

    e->txtTaskTitle()->selectAll();
    QTest::keyClicks(e->txtTaskTitle(), QStringLiteral("Pay the bill"));
    QTest::keyClick(e->txtTaskTitle(), Qt::Key_Return);
    EXPECT_FALSE(loaded(e));
    EXPECT_EQ(stored(10, "title"), QStringLiteral("Pay the bill"));
    EXPECT_EQ(stored(10, "date"), Today);
    EXPECT_EQ(stored(10, "note"), QStringLiteral("a\\\\nb\\nc"));
    EXPECT_EQ(stored(10, "points"), QStringLiteral("6"));
    EXPECT_EQ(stored(10, "timingbonus"), QStringLiteral("3"));
    EXPECT_EQ(stored(10, "project"), QStringLiteral("4"));
    EXPECT_EQ(stored(10, "obj3"), QStringLiteral("W"));

    // Without a note the task opens in the simple view; a day chosen moves it.
    e = openEdit(7);
    EXPECT_EQ(heightOf(e), 3060);
    EXPECT_EQ(child(e, "Frame1")->y(), twips::toPixels(1260));
    EXPECT_TRUE(e->txtTaskBody()->isHidden());
    auto* days = child<QComboBox>(e, "cmbDate");
    QTest::keyClick(days, Qt::Key_Down);
    EXPECT_EQ(days->itemText(0), QStringLiteral("Today"));
    EXPECT_EQ(days->currentText(), QStringLiteral("Tomorrow"));
    child<QAbstractButton>(e, "butSave")->click();
    EXPECT_EQ(stored(7, "date"), Tomorrow);

    e = openEdit(7);
    child<QPushButton>(e, "butPeriod3")->click();
    EXPECT_FALSE(loaded(e));
    EXPECT_EQ(stored(7, "period"), QStringLiteral("3"));
}

TEST_F(Tasks, ANoteComesBackExactlyAsTypedAndAgainAfterASave) {
    const QStringList notes = {QStringLiteral("C:\\new"), QStringLiteral("\\\\server\\n\\share"),
                               QStringLiteral("ends in \\"), QStringLiteral("two\nlines"),
                               QStringLiteral("typed \\n, then \\\\n")};
    for (const QString& note : notes) {
        SCOPED_TRACE(note.toStdString());
        dlgNewTaskDetails* d = openNew();
        QTest::keyClicks(d->txtTaskTitle(), QStringLiteral("With a note"));
        d->txtTaskBody()->setPlainText(note);
        buttonCaptioned(d, QStringLiteral("< 5 min"))->click();
        const int id = gItems->maxID().value();
        const QString first = stored(id, "note");
        EXPECT_FALSE(first.contains(QLatin1Char('\n')));
        dlgEditTaskDetails* e = openEdit(id);
        EXPECT_EQ(e->txtTaskBody()->toPlainText(), note);
        child<QAbstractButton>(e, "butSave")->click();
        EXPECT_EQ(stored(id, "note"), first);
    }
}

TEST_F(TasksToEdit, StartStoresNoEditsStopStoresThem) {
    QPointer<dlgEditTaskDetails> e = openEdit(7);
    e->txtTaskTitle()->setText(QStringLiteral("Of period one"));
    child<QAbstractButton>(e, "butStart")->click();
    EXPECT_FALSE(loaded(e));
    EXPECT_EQ(gGame->RunningItemID(), Integer(7));
    EXPECT_EQ(control<QPushButton>("butStart")->text(), QStringLiteral("Of period 1 (30)"));
    EXPECT_EQ(gItems->Title(Integer(7)), QStringLiteral("Of period 1"));

    e = openEdit(7);
    e->txtTaskTitle()->setText(QStringLiteral("Of period one"));
    child<QAbstractButton>(e, "butStop")->click();
    EXPECT_FALSE(loaded(e));
    EXPECT_EQ(gGame->RunningItemID(), Integer(0));
    EXPECT_EQ(stored(7, "title"), QStringLiteral("Of period one"));
    EXPECT_EQ(stored(7, "status"), QStringLiteral("stopped"));
    EXPECT_EQ(stored(7, "timeleft"), QStringLiteral("30"));

    // The orbin comes back expanded, and its button says what a click on it does.
    auto* start = control<QPushButton>("butStart");
    EXPECT_FALSE(floater->isShrunk());
    EXPECT_EQ(start->text(), QStringLiteral("&Hide tasks"));
    start->click();
    EXPECT_TRUE(floater->isShrunk());
    EXPECT_EQ(start->text(), QStringLiteral("&Show tasks"));
}

TEST_F(TasksToEdit, StopWithADayThatIsNoDateKeepsTheTaskRunningAndItsMinutes) {
    gGame->startTask(Integer(8));
    QPointer<dlgEditTaskDetails> e = openEdit(8);
    auto* day = child<QLineEdit>(e, "txtDate");
    day->selectAll();
    QTest::keyClicks(day, QStringLiteral("soon"));
    child<QAbstractButton>(e, "butStop")->click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral(" - dlgEditTaskDetails.butSave_Click(): 13")));
    EXPECT_TRUE(loaded(e));
    EXPECT_EQ(gGame->RunningItemID(), Integer(8));
    EXPECT_EQ(gItems->getStatus(Integer(8)), QStringLiteral("started"));

    // The day put right, Stop stops it once, with the minutes it had left.
    day->selectAll();
    QTest::keyClicks(day, shortDate(QDate(2026, 12, 7)));
    child<QAbstractButton>(e, "butStop")->click();
    EXPECT_FALSE(loaded(e));
    EXPECT_EQ(gGame->RunningItemID(), Integer(0));
    EXPECT_EQ(stored(8, "status"), QStringLiteral("stopped"));
    EXPECT_EQ(stored(8, "timeleft"), QStringLiteral("30"));
}

TEST_F(TasksToEdit, TabInTheSimpleViewStaysInsideTheWindow) {
    // Without a note the day, repeat and period controls lie below the lower edge: the keyboard must not
    // take the user there, out of sight.
    auto visits = [](dlgEditTaskDetails* e) {
        QStringList names;
        e->txtTaskTitle()->setFocus();
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(e->focusWidget(), Qt::Key_Tab);
            QWidget* f = e->focusWidget();
            const QRect place(f->mapTo(e, QPoint(0, 0)), f->size());
            EXPECT_TRUE(e->rect().contains(place)) << f->objectName().toStdString() << " lies out of sight";
            names << f->objectName();
        }
        return names;
    };
    dlgEditTaskDetails* e = openEdit(7);
    const QStringList simple = visits(e);
    EXPECT_TRUE(simple.contains(QStringLiteral("butStart")) && simple.contains(QStringLiteral("butDone")));

    // The advanced view shows them, and Tab reaches them.
    child<QPushButton>(e, "butAdvanced")->click();
    const QStringList advanced = visits(e);
    EXPECT_TRUE(advanced.contains(QStringLiteral("txtDate")) &&
                advanced.contains(QStringLiteral("butPeriod2")));
}

TEST_F(TasksToEdit, DeleteAsksFirstAndStopsAStartedTaskBeforeRemovingIt) {
    gGame->startTask(Integer(8));
    QPointer<dlgEditTaskDetails> e = openEdit(8);
    prompter.script({Prompter::No});
    child<QAbstractButton>(e, "butDelete")->click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Delete task?"));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Quorvane - Confirm"));
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_TRUE(loaded(e));
    EXPECT_TRUE(floater->isShrunk());
    EXPECT_EQ(gGame->RunningItemID(), Integer(8));

    prompter.script({Prompter::Yes});
    child<QAbstractButton>(e, "butDelete")->click();
    EXPECT_FALSE(loaded(e));
    EXPECT_EQ(gGame->RunningItemID(), Integer(0));
    EXPECT_TRUE(gGame->controls().butStart.tag.isEmpty());
    EXPECT_FALSE(gItems->document().select_node("//item[id='8']"));
}

class FollowUps : public Tasks {
protected:
    void seed() override {
        for (int i = 0; i < Titles.size(); ++i)
            items += taskXml(i + 1, Titles[i].first, Today, 1);
        Tasks::seed();
    }
    const QList<QPair<QString, QString>> Titles = {
        {"Call the bank", "Follow-up: Call the bank"},
        {"Follow-up: Call the bank", "Follow-up[2]: Call the bank"},
        {"Follow-up[2]: Call the bank", "Follow-up[3]: Call the bank"},
        {"Follow-up[12]: Review", "Follow-up[13]: Review"},
        {"Follow-up, see [1]: the memo", "Follow-up[2]: see [1]: the memo"},
    };
};

TEST_F(FollowUps, DoneAndFollowUpFinishesTheTaskAndOpensItsNumberedFollowUp) {
    for (int i = 0; i < Titles.size(); ++i) {
        const auto& [before, after] = Titles[i];
        SCOPED_TRACE(before.toStdString());
        dlgEditTaskDetails* e = openEdit(i + 1);
        e->txtTaskBody()->setPlainText(QStringLiteral("Ring first"));
        child<QAbstractButton>(e, "butDonePlusFollowup")->click();
        EXPECT_FALSE(loaded(e));
        EXPECT_EQ(gItems->Done(Integer(i + 1)), QStringLiteral("true"));
        dlgNewTaskDetails* next = nullptr;
        for (FormPort* f : forms::loaded())
            if (auto* d = dynamic_cast<dlgNewTaskDetails*>(f)) next = d;
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->txtTaskTitle()->text(), after);
        EXPECT_EQ(next->txtTaskBody()->toPlainText(),
                  QStringLiteral("Follow-up task for: ") + before + QStringLiteral("\nRing first"));
        EXPECT_EQ(heightOf(next), 8745);
        next->unloadForm();
    }
}
