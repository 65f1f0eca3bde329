#include "tests/orbin/OrbinFixture.h"

#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Items.h"
#include "core/Settings.h"
#include "core/Tray.h"
#include "orbin/HiddenKeys.h"
#include "orbin/OrbinDuties.h"
#include "orbin/OrbinTimers.h"
#include "orbin/frmReminder.h"
#include "orbin/frmScoreboard.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include "tests/support/ItemXml.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>

namespace {

QByteArray task(int id, const QString& title, int estimate) {
    return taskXml(id, title, QStringLiteral("20261207"), 1, {}, QStringLiteral("false"), estimate);
}

QDateTime at(int day, int h, int m, int s = 0, int ms = 0) {
    return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms));
}

// The reminder windows open now, oldest first.
QList<frmReminder*> reminders() {
    QList<frmReminder*> found;
    for (FormPort* f : forms::loaded())
        if (auto* r = dynamic_cast<frmReminder*>(f)) found << r;
    return found;
}

QStringList reminderTitles() {
    QStringList titles;
    for (frmReminder* r : reminders())
        titles << r->reminderText();
    return titles;
}

// A prompter that notes how the time-out stood whenever a box came up.
class TimeOutWitness final : public Prompter {
public:
    TimeOutWitness() { setPrompter(this); }
    ~TimeOutWitness() override { setPrompter(nullptr); }
    Answer messageBox(const QString& text, Buttons, Icon icon, const QString& title) override {
        boxes << text + QStringLiteral(" | ") + title;
        icons << icon;
        timeOutAtBox << gGame->isTimeOut();
        timerAtBox << (timer && timer->isActive());
        return OK;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<qint64> chooseColor(qint64) override { return std::nullopt; }
    void beep() override {}

    QTimer* timer = nullptr;
    QStringList boxes;
    QList<Icon> icons;
    QList<bool> timeOutAtBox;
    QList<bool> timerAtBox;
};

class LiveDay : public Orbin {
protected:
    void seed() override {
        writeItems(items);
        // Reminders at their meetings' own minutes, unless a test says otherwise.
        if (!lead.isNull()) env.writeSettings("[General]\nmeetingReminderAdvance=" + lead + "\n");
    }
    void TearDown() override {
        for (frmReminder* r : reminders())
            r->unloadForm();
        Orbin::TearDown();
    }
    QString log() const {
        return QString::fromUtf8(TestEnv::readFile(env.dataDir() + QStringLiteral("msglog.txt")));
    }
    // The orbin's top row on the screen: its handle, New, the running task's button, Search and the quit
    // cross.
    QRect topRow() const {
        return {floater->pos(), QSize(floater->width(), twips::toPixels(frmFloater::ShrunkHeight))};
    }
    void tickAt(const QDateTime& t) {
        clock.set(t);
        floater->timCheckPeriod_Timer();
    }
    qint64 periodColour(int index) const {
        const QList<QPushButton*> buttons = floater->findChildren<QPushButton*>(QStringLiteral("Morning"));
        for (QPushButton* b : buttons)
            if (b->property("Index").toInt() == index) return b->property("BackColor").toLongLong();
        return -1;
    }

    QByteArray lead = "0"; // null: the settings' default
    QByteArray items =
        task(5, QStringLiteral("Write the quarterly report"), 1) +
        task(12, QStringLiteral("Report &amp; summary"), 30) +
        taskXml(13, QStringLiteral("Tomorrow's task"), QStringLiteral("20261208"), 1) +
        meetingXml(3, QStringLiteral("Budget"), QStringLiteral("20261207"), QStringLiteral("10:01")) +
        meetingXml(2, QStringLiteral("Standup"), QStringLiteral("20261207"), QStringLiteral("10:01")) +
        meetingXml(4, QStringLiteral("Late call"), QStringLiteral("20261207"), QStringLiteral("23:59")) +
        meetingXml(6, QStringLiteral("Night shift"), QStringLiteral("20261208"), QStringLiteral("00:00"));
};

} // namespace

// ---- Period clock ----

TEST_F(LiveDay, ThePeriodChangesOnlyAfterItsStartTimeAndItsButtonIsColoured) {
    tickAt(at(7, 11, 0, 0));
    EXPECT_TRUE(gGame->Running());
    EXPECT_TRUE(gGame->PeriodRunning());
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(1));
    EXPECT_EQ(periodColour(0), OrbinTimers::PeriodInPlayColor);
    EXPECT_EQ(periodColour(1), OrbinTimers::PeriodButtonColor);

    tickAt(at(7, 11, 0, 1));
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(2));
    EXPECT_EQ(periodColour(0), OrbinTimers::PeriodButtonColor);
    EXPECT_EQ(periodColour(1), OrbinTimers::PeriodInPlayColor);
    EXPECT_EQ(gGame->controls().lblRemainingOfPeriod.caption, QStringLiteral("45"));

    // The clock is armed again for just after the next full minute.
    auto* timer = control<QTimer>("timCheckPeriod");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 59000 + PeriodClock::TickDelayMs);
}

// Counts the drawings of the orbin's controls. A drawing of the orbin goes to every control it marked
// since the one before; a marker control that is always marked shows when a drawing has been done.
class Drawings : public QObject {
public:
    explicit Drawings(QWidget* window) : m_window(window), m_marker(new QWidget(window)) {
        // Opaque, so that what lies below it is not drawn with it.
        m_marker->setAttribute(Qt::WA_OpaquePaintEvent);
        m_marker->setGeometry(0, 0, 1, 1);
        m_marker->show();
        qApp->installEventFilter(this);
    }
    ~Drawings() override {
        qApp->removeEventFilter(this);
        delete m_marker;
    }
    // Lets the orbin draw what it has marked: afterwards drawn() counts the controls drawn since the last
    // call.
    void drawNow() {
        drawn.clear();
        m_markerDrawn = false;
        m_marker->update();
        QTRY_VERIFY_WITH_TIMEOUT(m_markerDrawn, 10000);
    }
    // Until the orbin stands drawn: what a redraw changed can take more than one drawing to reach.
    void settle() {
        for (int i = 0; i < 10; ++i) {
            drawNow();
            if (drawn.isEmpty()) return;
        }
        ADD_FAILURE() << "the orbin keeps drawing: " << drawn.join(QLatin1Char(' ')).toStdString();
    }
    QStringList drawn;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (watched == m_marker)
                m_markerDrawn = true;
            else if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == m_window)
                drawn << w->objectName();
        }
        return false;
    }

private:
    QWidget* m_window;
    QWidget* m_marker;
    bool m_markerDrawn = false;
};

TEST_F(LiveDay, AMinuteThatChangesNothingOnTheOrbinDrawsNothing) {
    tickAt(at(7, 10, 5, 0, 250));
    Drawings drawings(floater);
    drawings.settle();
    tickAt(at(7, 10, 6, 0, 250));
    drawings.drawNow();
    EXPECT_EQ(drawings.drawn, QStringList()) << "the same period in play, no meeting due";
    // A new period is drawn.
    tickAt(at(7, 11, 0, 1));
    drawings.drawNow();
    EXPECT_TRUE(drawings.drawn.contains(QStringLiteral("Morning"))) << drawings.drawn.join(QLatin1Char(' '));
}

// The clock put back by hand a little across a period start: the game stays in the period in play until the
// clock has caught up; no task is carried forward, the running one runs on, the day's score stays.
TEST_F(LiveDay, AClockPutBackAcrossAPeriodStartKeepsThePeriodInPlayAndMovesNoTask) {
    tickAt(at(7, 14, 30, 0, 250));
    ASSERT_EQ(gGame->CurrentPeriod(), Integer(3));
    ASSERT_EQ(gItems->Period(5), QStringLiteral("3")); // carried into the period in play
    gGame->startTask(Integer(12));
    gGame->controls().labTodayScore.caption = QStringLiteral("17");

    for (const QDateTime& back : {at(7, 13, 30, 0, 250), at(7, 12, 0, 0, 250), at(7, 14, 0, 0, 250)}) {
        SCOPED_TRACE(back.toString().toStdString());
        tickAt(back);
        EXPECT_EQ(gGame->CurrentPeriod(), Integer(3));
        EXPECT_TRUE(gGame->PeriodRunning());
        EXPECT_EQ(periodColour(2), OrbinTimers::PeriodInPlayColor);
        for (const int id : {5, 12})
            EXPECT_EQ(gItems->Period(Integer(id)), QStringLiteral("3")) << id;
        EXPECT_EQ(gGame->RunningItemID(), Integer(12));
        EXPECT_EQ(gItems->getStatus(Integer(12)), QStringLiteral("started"));
        EXPECT_TRUE(control<QTimer>("TaskCountdown")->isActive());
    }
    // Caught up, the day goes on as before: the evening takes the undone tasks.
    tickAt(at(7, 18, 0, 1, 250));
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(4));
    EXPECT_EQ(gItems->Period(Integer(5)), QStringLiteral("4"));

    // Put back from the evening: the day does not end, nor does its score go.
    tickAt(at(7, 17, 0, 0, 250));
    EXPECT_TRUE(gGame->Running());
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(4));
    EXPECT_EQ(gGame->controls().labTodayScore.caption, QStringLiteral("17"));
    EXPECT_FALSE(log().contains(QStringLiteral("The game and day have ended")));

    // The next day begins as ever, with the evening ended.
    tickAt(at(8, 0, 0, 0, 250));
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(1));
    EXPECT_TRUE(
        log().contains(QStringLiteral("The game and day have ended! Your total score for today: 17")));
    EXPECT_EQ(gItems->Date_(Integer(5)), QDate(2026, 12, 8));
}

// The clock put back further, a day for instance: the game takes the clock's period and day at once, and
// still carries no task forward nor ends the day.
TEST_F(LiveDay, AClockPutBackFarTakesTheClocksPeriodAndCarriesNoTaskForward) {
    tickAt(at(8, 15, 0, 0, 250));
    ASSERT_EQ(gGame->CurrentPeriod(), Integer(3));
    ASSERT_EQ(gItems->Date_(Integer(5)), QDate(2026, 12, 8)); // carried into the period in play
    gGame->startTask(Integer(12));
    gGame->controls().labTodayScore.caption = QStringLiteral("17");
    auto expectNothingMoved = [&] {
        for (const int id : {5, 12, 13}) {
            EXPECT_EQ(gItems->Date_(Integer(id)), QDate(2026, 12, 8)) << id;
            EXPECT_EQ(gItems->Period(Integer(id)), QStringLiteral("3")) << id;
        }
        EXPECT_EQ(gGame->RunningItemID(), Integer(12));
        EXPECT_TRUE(gGame->Running());
        EXPECT_EQ(gGame->controls().labTodayScore.caption, QStringLiteral("17"));
        EXPECT_FALSE(log().contains(QStringLiteral("The game and day have ended")));
    };

    tickAt(at(7, 10, 0, 0, 250)); // corrected back by a day and more
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(1));
    EXPECT_TRUE(gGame->PeriodRunning());
    EXPECT_EQ(periodColour(0), OrbinTimers::PeriodInPlayColor);
    expectNothingMoved();
    // From there the periods follow the clock as ever.
    tickAt(at(7, 11, 0, 1, 250));
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(2));
    expectNothingMoved();

    // Back within the day, five hours: the same.
    tickAt(at(7, 19, 0, 0, 250));
    ASSERT_EQ(gGame->CurrentPeriod(), Integer(4));
    tickAt(at(7, 14, 0, 1, 250));
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(3));
    expectNothingMoved();
    // A minute more than the step that is waited out (two hours before the afternoon starts).
    tickAt(at(7, 11, 59, 0, 250));
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(2));
    expectNothingMoved();
}

// Summer time ends where a period starts in the hour that comes round again.
TEST_F(LiveDay, TheHourThatComesRoundAgainInAutumnKeepsThePeriodInPlay) {
    gSettings->setStartTimePeriod2(QStringLiteral("02:30"));
    gSettings->setStartTimePeriod3(QStringLiteral("11:00"));
    tickAt(at(7, 2, 59, 0, 250));
    ASSERT_EQ(gGame->CurrentPeriod(), Integer(2));
    gGame->startTask(Integer(5));
    tickAt(at(7, 2, 0, 0, 250)); // 03:00 became 02:00
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(2));
    EXPECT_EQ(gItems->Period(Integer(5)), QStringLiteral("2"));
    EXPECT_EQ(gItems->Period(Integer(12)), QStringLiteral("2"));
    EXPECT_EQ(gGame->RunningItemID(), Integer(5));
    tickAt(at(7, 2, 31, 0, 250));
    tickAt(at(7, 3, 0, 0, 250));
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(2));
    EXPECT_EQ(gItems->Period(Integer(12)), QStringLiteral("2"));
}

TEST_F(LiveDay, ABadStartTimeIsReportedOnceATickAndTheRemindersStillCome) {
    gSettings->setStartTimePeriod3(QStringLiteral("two o'clock"));
    tickAt(at(7, 10, 1, 0, 250));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral(" - frmFloater.timCheckPeriod_Timer: 13")));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Quorvane error"));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Budget"), QStringLiteral("Standup")}));
    EXPECT_TRUE(control<QTimer>("timCheckPeriod")->isActive()) << "the clock keeps running";
}

TEST_F(LiveDay, TwoMeetingsAtOneMinuteRaiseTwoRemindersInListOrderOnce) {
    tickAt(at(7, 10, 0, 30));
    EXPECT_TRUE(reminders().isEmpty());
    // The tick comes late, past 10:01: the meetings of 10:01 are not skipped.
    tickAt(at(7, 10, 2, 0, 250));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Budget"), QStringLiteral("Standup")}));
    const QString text = log();
    EXPECT_EQ(text.count(QStringLiteral(": Meeting Reminder: Budget")), 1);
    EXPECT_EQ(text.count(QStringLiteral(": Meeting Reminder: Standup")), 1);
    EXPECT_LT(text.indexOf(QStringLiteral("Reminder: Budget")),
              text.indexOf(QStringLiteral("Reminder: Standup")));
    // The first at the orbin's left edge just below its top row, the second just below the first; above
    // other windows, shown without taking the focus.
    const FormPort::Rect orbin = floater->twipGeometry();
    const QList<frmReminder*> up = reminders();
    EXPECT_EQ(up[0]->twipGeometry().left, orbin.left);
    EXPECT_EQ(up[0]->twipGeometry().top, orbin.top + frmFloater::ShrunkHeight);
    EXPECT_EQ(up[1]->twipGeometry().left, orbin.left);
    EXPECT_EQ(up[1]->twipGeometry().top, orbin.top + frmFloater::ShrunkHeight + up[0]->twipGeometry().height);
    for (frmReminder* r : up) {
        EXPECT_FALSE(r->geometry().intersects(topRow()));
        EXPECT_TRUE(r->isVisible());
        EXPECT_TRUE(r->testAttribute(Qt::WA_ShowWithoutActivating));
        EXPECT_TRUE(windowprocs::isTopMost(r));
    }
    // Ticks again in the same minute, early or from start-up: never a second time.
    tickAt(at(7, 10, 2, 30));
    floater->timCheckPeriod_Timer();
    EXPECT_EQ(reminders().size(), 2);
}

TEST_F(LiveDay, MeetingsAroundMidnightAreEachRaisedOnTheirOwnDay) {
    tickAt(at(7, 23, 58, 30));
    tickAt(at(8, 0, 0, 0, 250));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Late call"), QStringLiteral("Night shift")}));
}

TEST_F(LiveDay, AMachineThatSleptThroughAMeetingRaisesItOnWakingWhileTheMeetingLasts) {
    tickAt(at(7, 9, 30, 10));
    // Woken during the hour the meetings of 10:01 last: both come up, each where it hides no other.
    tickAt(at(7, 10, 40, 40));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Budget"), QStringLiteral("Standup")}));
    const QList<frmReminder*> up = reminders();
    ASSERT_EQ(up.size(), 2);
    EXPECT_FALSE(up[0]->frameGeometry().intersects(up[1]->frameGeometry()));
    EXPECT_EQ(up[0]->twipGeometry().left, floater->twipGeometry().left);
    EXPECT_EQ(up[0]->twipGeometry().top, floater->twipGeometry().top + frmFloater::ShrunkHeight);
}

TEST_F(LiveDay, MeetingsThatEndedDuringALongSleepAreLoggedNotRaised) {
    tickAt(at(7, 9, 30, 10));
    tickAt(at(8, 13, 0, 40));
    EXPECT_TRUE(reminders().isEmpty());
    const QString text = log();
    for (const char* title : {"Budget", "Standup", "Late call", "Night shift"})
        EXPECT_EQ(text.count(QStringLiteral(": Meeting Reminder: %1 (ended before it could be shown)")
                                 .arg(QLatin1String(title))),
                  1)
            << title;
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(2));
}

TEST_F(LiveDay, SeveralRemindersUpAtOnceHideNoneOfEachOther) {
    QList<QPointer<frmReminder>> up;
    for (int i = 0; i < 12; ++i)
        up << frmReminder::raiseReminder(QStringLiteral("Meeting %1").arg(i));
    auto noneOverlap = [&] {
        for (int i = 0; i < up.size(); ++i)
            for (int j = i + 1; j < up.size(); ++j)
                EXPECT_FALSE(up[i]->frameGeometry().intersects(up[j]->frameGeometry())) << i << " " << j;
    };
    noneOverlap();
    // Dragging the orbin takes every reminder along, each keeping its place among the others.
    QList<QPoint> before;
    for (frmReminder* r : up)
        before << r->pos();
    QWidget* handle = control("imgDragArrow");
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(15, 45), handle->mapToGlobal(QPointF(15, 45)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(15, 45));
    for (int i = 0; i < up.size(); ++i)
        EXPECT_EQ(up[i]->pos(), before[i] + QPoint(10, 40)) << i;
    noneOverlap();
    // One that is closed leaves its place to the next.
    const QRect freed = up[1]->geometry();
    up[1]->btnOK_Click();
    frmReminder* next = frmReminder::raiseReminder(QStringLiteral("Later"));
    EXPECT_EQ(next->geometry(), freed);
    // A snoozed one coming back takes a free place too.
    up[0]->btnSnooze_Click();
    frmReminder::raiseReminder(QStringLiteral("Meanwhile"));
    for (int i = 0; i < frmReminder::ComeBackTick; ++i)
        up[0]->timSnooze_Timer();
    for (frmReminder* other : reminders()) {
        if (other == up[0]) continue;
        EXPECT_FALSE(up[0]->frameGeometry().intersects(other->frameGeometry()));
    }
}

TEST_F(LiveDay, AfterMidnightTheOrbinShowsTheNewDayUnlessAnotherDayWasChosen) {
    floater->expandFloater();
    tickAt(at(7, 23, 59, 0, 250));
    ASSERT_EQ(floater->shownDate(), QDate(2026, 12, 7));
    tickAt(at(8, 0, 0, 0, 250));
    EXPECT_EQ(floater->shownDate(), QDate(2026, 12, 8));
    EXPECT_EQ(control<QLabel>("lblDate")->text(),
              QLocale().toString(QDate(2026, 12, 8), QLocale::ShortFormat));
    EXPECT_EQ(gItems->SelectedPeriod(), gGame->CurrentPeriod());
    // The new day's own task, and yesterday's undone ones carried over to it.
    QStringList shown;
    for (int n = 1; n <= 4; ++n)
        shown << control<QLabel>(QStringLiteral("txtTodo_%1").arg(n, 2, 10, QLatin1Char('0')).toLatin1())
                     ->text();
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("Write the quarterly report"), QStringLiteral("Report & summary"),
                           QStringLiteral("Tomorrow's task"), QString()}));

    // A day chosen by the user stays chosen over midnight.
    floater->setShownDate(QDate(2026, 12, 20));
    tickAt(at(9, 0, 0, 0, 250));
    EXPECT_EQ(floater->shownDate(), QDate(2026, 12, 20));
}

// ---- Running task ----

TEST_F(LiveDay, ARunningTasksMinutesGoBelowZeroOnTheButton) {
    gGame->startTask(Integer(5));
    ASSERT_EQ(gGame->controls().txtTaskMinutes.caption, QStringLiteral("1"));
    EXPECT_TRUE(control<QTimer>("TaskCountdown")->isActive());
    floater->TaskCountdown_Timer();
    EXPECT_EQ(gGame->controls().txtTaskMinutes.caption, QStringLiteral("0"));
    floater->TaskCountdown_Timer();
    EXPECT_EQ(gGame->controls().txtTaskMinutes.caption, QStringLiteral("-1"));
    EXPECT_EQ(control<QPushButton>("butStart")->text(), QStringLiteral("Write the quarterly report (-1)"));

    // A time-out holds the count; colouring and the score still run.
    gGame->controls().labTodayScore.caption = QStringLiteral("7");
    gGame->startTimeout();
    ASSERT_TRUE(gGame->isTimeOut());
    floater->TaskCountdown_Timer();
    EXPECT_EQ(gGame->controls().txtTaskMinutes.caption, QStringLiteral("-1"));
    EXPECT_EQ(control<QLabel>("lblStats")->text(), QStringLiteral("7 "));
}

TEST_F(LiveDay, ATitlesAmpersandStaysACharacterOnTheButtonEveryMinute) {
    auto* start = control<QPushButton>("butStart");
    gGame->startTask(Integer(12));
    EXPECT_EQ(start->text(), QStringLiteral("Report && summary (30)"));
    floater->TaskCountdown_Timer();
    EXPECT_EQ(start->text(), QStringLiteral("Report && summary (29)"));
    gGame->startTimeout();
    gGame->stopTimeout();
    EXPECT_EQ(start->text(), QStringLiteral("Report && summary (30)"));
}

TEST_F(LiveDay, StartTaskWithNoRunningTaskShowsAndHidesTheTasks) {
    // A time-out that ends with no task running leaves "&Start Task" on the button.
    gGame->startPeriod(Integer(1));
    gGame->startTimeout();
    gGame->stopTimeout();
    auto* start = control<QPushButton>("butStart");
    ASSERT_EQ(start->text(), QStringLiteral("&Start Task"));
    floater->shrinkFloater();
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_FALSE(floater->isShrunk());
    EXPECT_EQ(start->text(), QStringLiteral("&Hide tasks"));
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(floater->isShrunk());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
}

TEST_F(LiveDay, TheScoreKeepsOneBlankUpToNinetyNineAfterACountdownTick) {
    auto* stats = control<QLabel>("lblStats");
    gGame->controls().labTodayScore.caption = QStringLiteral("99");
    floater->TaskCountdown_Timer();
    EXPECT_EQ(stats->text(), QStringLiteral("99 "));
    gGame->controls().labTodayScore.caption = QStringLiteral("100");
    floater->TaskCountdown_Timer();
    EXPECT_EQ(stats->text(), QStringLiteral("100"));
    // No running task: the empty minutes are left alone.
    gGame->controls().txtTaskMinutes.caption = QString();
    floater->TaskCountdown_Timer();
    EXPECT_EQ(gGame->controls().txtTaskMinutes.caption, QString());
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(LiveDay, TheRunningTaskButtonOpensTheRunningTask) {
    gGame->startTask(Integer(5));
    gItems->setCurrentID(Integer(1));
    gItems->setSelectedPeriod(Integer(3)); // another period shown
    control<QPushButton>("butStart")->click();
    EXPECT_EQ(gItems->currentID(), Integer(5));
    FormPort* dialog = forms::find(QStringLiteral("dlgEditTaskDetails"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dynamic_cast<QWidget*>(dialog)->isVisible());

    // A task caption whose id is gone is reported, and no dialog opens.
    dialog->unloadForm();
    gGame->controls().butStart.tag.clear();
    floater->controlsChanged();
    floater->butStart_Click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral(" - frmFloater.butStart_Click: 13")));
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
}

// ---- Time-out ----

TEST_F(LiveDay, WithTwoMinutesLeftTheTicksShowOneThenZeroThenEndTheTimeOutBeforeTheBox) {
    TimeOutWitness witness;
    witness.timer = control<QTimer>("timTimeOut");
    gGame->startPeriod(Integer(1));
    gGame->setTimeoutMinutesLeft(Integer(2));
    floater->butTimeout_Click();
    ASSERT_TRUE(gGame->isTimeOut());
    EXPECT_TRUE(witness.timer->isActive());
    EXPECT_TRUE(control<QFrame>("fraTimeOut")->isVisibleTo(floater));

    floater->timTimeOut_Timer();
    EXPECT_EQ(control<QLabel>("lblTimeOut")->text(), QStringLiteral("1"));
    floater->timTimeOut_Timer();
    EXPECT_EQ(control<QLabel>("lblTimeOut")->text(), QStringLiteral("0"));
    EXPECT_TRUE(gGame->isTimeOut());
    EXPECT_TRUE(witness.boxes.isEmpty());

    floater->timTimeOut_Timer();
    ASSERT_EQ(witness.boxes, QStringList{QStringLiteral("Your timeout have ended! | QuorvaneTime out")});
    EXPECT_EQ(witness.icons, QList<Prompter::Icon>{Prompter::Icon::Information});
    EXPECT_EQ(witness.timeOutAtBox, QList<bool>{false}) << "ended before the box";
    EXPECT_EQ(witness.timerAtBox, QList<bool>{false}) << "its timer stopped before the box";
    EXPECT_EQ(gGame->timeoutMinutesLeft(), Integer(0));
    EXPECT_EQ(control<QPushButton>("butTimeout")->text(), QStringLiteral("T"));
    EXPECT_FALSE(control<QPushButton>("butTimeout")->isEnabled()) << "the day's budget is spent";
    EXPECT_FALSE(control<QFrame>("fraTimeOut")->isVisibleTo(floater));
}

TEST_F(LiveDay, TheTimeOutButtonEndsATimeOutUnlessItReadsACapitalT) {
    gGame->startPeriod(Integer(1));
    floater->butTimeout_Click();
    ASSERT_TRUE(gGame->isTimeOut());
    EXPECT_EQ(control<QPushButton>("butTimeout")->text(), QStringLiteral("R"));
    gGame->controls().butTimeout.caption = QStringLiteral("t");
    floater->controlsChanged();
    floater->butTimeout_Click();
    EXPECT_FALSE(gGame->isTimeOut());
}

// ---- Message board, menu, quit question ----

TEST_F(LiveDay, TheBoardCoversTheTopStripLogsEachMessageAndGoesAway) {
    auto* board = control<QLabel>("lblMessageBoard");
    auto* timer = control<QTimer>("timShowTime");
    floater->showMessage(QStringLiteral("First"));
    floater->showMessage(QStringLiteral("Second"));
    EXPECT_TRUE(board->isVisible());
    EXPECT_EQ(board->text(), QStringLiteral("Second"));
    for (const char* name : {"butStart", "btnNew", "btnSearch"})
        EXPECT_FALSE(control(name)->isVisible()) << name;
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    EXPECT_TRUE(log().contains(QStringLiteral(": Message: First\r\n")));
    EXPECT_TRUE(log().contains(QStringLiteral(": Message: Second\r\n")));

    floater->hideMessage();
    EXPECT_FALSE(board->isVisible());
    EXPECT_EQ(board->text(), QString());
    EXPECT_FALSE(timer->isActive());
    for (const char* name : {"butStart", "btnNew", "btnSearch"})
        EXPECT_TRUE(control(name)->isVisible()) << name;

    // The game's own messages reach the board.
    gGame->startTask(Integer(5));
    EXPECT_TRUE(board->text().startsWith(QStringLiteral("Starting task Write the quarterly report")));
    QTest::mouseClick(board, Qt::LeftButton);
    EXPECT_FALSE(board->isVisible());
}

TEST_F(LiveDay, TheArticleMenuGrowsWithTheArticlesRead) {
    struct Case {
        int lastRead;
        int entries;
    };
    for (const Case c : {Case{0, 1}, Case{1, 1}, Case{3, 3}, Case{8, 8}, Case{9, 10}, Case{12, 10}}) {
        SCOPED_TRACE(c.lastRead);
        gSettings->setLastArticleRead(Integer(c.lastRead));
        QMenu menu;
        menu.addAction(QStringLiteral("Read article &1"))->setObjectName(QStringLiteral("mnuReadArticle"));
        QList<int> read;
        orbinduties::makeMenu(&menu, [&](int i) { read << i; });
        orbinduties::makeMenu(&menu, [&](int i) { read << i; }); // a second run adds nothing
        ASSERT_EQ(menu.actions().size(), c.entries);
        EXPECT_EQ(menu.actions().first()->text(), QStringLiteral("Read article &1"));
        if (c.entries > 1) {
            EXPECT_EQ(menu.actions()[1]->text(), QStringLiteral("Read Article &2"));
            menu.actions().last()->trigger();
            EXPECT_EQ(read, QList<int>{c.entries - 1});
        }
    }
}

TEST_F(LiveDay, OnlyNoDeclinesTheQuitQuestion) {
    prompter.script({Prompter::Yes, Prompter::No});
    EXPECT_TRUE(floater->confirmQuit());
    EXPECT_FALSE(floater->confirmQuit());
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Do you really want to close down Quorvane?"));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Quorvane!"));
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Question);
    EXPECT_TRUE(floater->isShrunk());
}

// ---- Hidden keys ----

TEST_F(LiveDay, HiddenKeysWorkWhicheverControlHasTheFocus) {
    floater->btnSearch_Click();
    auto* search = control<QLineEdit>("txtSearch");
    const QString typed = search->text();
    QTest::keyClick(search, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgFormList")));
    EXPECT_EQ(search->text(), typed);
    QTest::keyClick(floater, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgDebugSettings")));
    QTest::keyClick(floater, Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
}

TEST_F(LiveDay, EscSendsTheOrbinToTheTrayAndBackAndOnlyEscTurnsTheFlag) {
    bool trayShown = false;
    setTrayFormLoader([&] {
        trayShown = true;
        return true;
    });
    QTest::keyClick(floater, Qt::Key_Escape);
    EXPECT_TRUE(floater->hiddenKeys()->inTray());
    EXPECT_TRUE(trayShown);
    EXPECT_FALSE(floater->isVisible());
    // Brought back another way (the tray menu): the next Esc restores, the one after sends it away again.
    floater->show();
    QTest::keyClick(floater, Qt::Key_Escape);
    EXPECT_FALSE(floater->hiddenKeys()->inTray());
    EXPECT_TRUE(floater->isVisible());
    QTest::keyClick(floater, Qt::Key_Escape);
    EXPECT_TRUE(floater->hiddenKeys()->inTray());
    EXPECT_FALSE(floater->isVisible());
    setTrayFormLoader(nullptr);
}

// ---- Scoreboard ----

TEST_F(LiveDay, TheScoreboardCountsThePeriodDownToZeroAndNoFurther) {
    frmScoreboard* board = frmScoreboard::instance();
    board->timPeriodCounter_Timer(); // "---": nothing to count
    EXPECT_EQ(gGame->controls().lblRemainingOfPeriod.caption, QStringLiteral("---"));

    gGame->startPeriod(Integer(1));
    EXPECT_TRUE(board->timPeriodCounter()->isActive());
    EXPECT_TRUE(gGame->controls().timDisplayCounter.enabled);
    EXPECT_EQ(board->timDisplayCounter()->interval(), 5001);
    board->timPeriodCounter_Timer();
    EXPECT_EQ(board->findChild<QLabel*>(QStringLiteral("lblRemainingOfPeriod"))->text(),
              QStringLiteral("44"));
    EXPECT_EQ(control<QLabel>("txtMinLeftOfPeriod")->text(), QStringLiteral("44"));

    gGame->controls().lblRemainingOfPeriod.caption = QStringLiteral("1");
    board->timPeriodCounter_Timer();
    board->timPeriodCounter_Timer();
    EXPECT_EQ(gGame->controls().lblRemainingOfPeriod.caption, QStringLiteral("0"));
    EXPECT_TRUE(gGame->PeriodRunning()) << "the countdown does not end the period";

    // A time-out pauses it.
    gGame->startTimeout();
    EXPECT_FALSE(board->timPeriodCounter()->isActive());
}

// Nothing shows the scoreboard: while it is hidden, the timer that would hide it sleeps, and wakes nobody.
TEST_F(LiveDay, TheScoreboardsHidingTimerRunsOnlyWhileItIsUp) {
    gGame->startPeriod(Integer(1));
    frmScoreboard* board = frmScoreboard::instance();
    EXPECT_FALSE(board->isVisible());
    EXPECT_FALSE(board->timDisplayCounter()->isActive());
    board->show();
    EXPECT_TRUE(board->timDisplayCounter()->isActive());
    EXPECT_EQ(board->timDisplayCounter()->interval(), 5001);
    board->timDisplayCounter_Timer();
    EXPECT_FALSE(board->isVisible());
    EXPECT_FALSE(board->timDisplayCounter()->isActive());
    EXPECT_TRUE(gGame->controls().timDisplayCounter.enabled) << "the game's own switch stays as it set it";
}

TEST_F(LiveDay, TheScoreboardHidesItselfUnlessKeptOpenAndKeepsTheBoxInTheSettings) {
    frmScoreboard* board = frmScoreboard::instance();
    EXPECT_FALSE(board->isVisible()) << "made hidden";
    board->show();
    board->timDisplayCounter_Timer();
    EXPECT_FALSE(board->isVisible());

    gSettings->putMySetting(QStringLiteral("KeepOpen"), QStringLiteral("1"), QStringLiteral("ScoreBoard"));
    board->Form_Activate();
    EXPECT_TRUE(board->keepOpen());
    board->show();
    board->timDisplayCounter_Timer();
    EXPECT_TRUE(board->isVisible());
    board->fraScoreBoard_Click();
    EXPECT_FALSE(board->isVisible());

    board->findChild<QCheckBox*>(QStringLiteral("chkKeepOpen"))->setChecked(false);
    board->unloadForm();
    EXPECT_EQ(gSettings->getMySetting(QStringLiteral("KeepOpen"), QStringLiteral("ScoreBoard"), 1).toString(),
              QStringLiteral("0"));
}

// ---- Reminder ----

TEST_F(LiveDay, ASnoozedReminderComesBackEveryFifthMinuteAtTheOrbinUntilOK) {
    QPointer<frmReminder> r = frmReminder::raiseReminder(QStringLiteral("Budget"));
    EXPECT_FALSE(r->geometry().intersects(topRow())) << "the orbin's top row stays free to click";
    EXPECT_FALSE(r->timSnooze()->isActive()) << "never snoozed, never back by itself";
    r->findChild<QPushButton*>(QStringLiteral("btnSnooze"))->click();
    EXPECT_FALSE(r->isVisible());
    EXPECT_TRUE(r->timSnooze()->isActive());
    EXPECT_EQ(r->timSnooze()->interval(), 60000);

    const FormPort::Rect was = floater->twipGeometry();
    floater->moveTwips(was.left + 600, was.top + 300, was.width, was.height);
    for (int i = 0; i < 4; ++i)
        r->timSnooze_Timer();
    EXPECT_FALSE(r->isVisible());
    r->timSnooze_Timer();
    EXPECT_TRUE(r->isVisible());
    EXPECT_EQ(r->twipGeometry().left, was.left + 600);
    EXPECT_EQ(r->twipGeometry().top, was.top + 300 + frmFloater::ShrunkHeight);

    EXPECT_FALSE(r->geometry().intersects(topRow()));

    // Left open, it is brought up again five minutes later; with the orbin at the foot of the screen, just
    // above it.
    r->hide();
    const QRect screen = floater->screen()->geometry();
    floater->move(floater->x(), screen.bottom() + 1 - twips::toPixels(frmFloater::ShrunkHeight));
    for (int i = 0; i < 5; ++i)
        r->timSnooze_Timer();
    EXPECT_TRUE(r->isVisible());
    EXPECT_FALSE(r->geometry().intersects(topRow()));
    EXPECT_EQ(r->geometry().bottom() + 1, floater->y());
    EXPECT_TRUE(screen.contains(r->geometry()));

    r->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(r.isNull());
}

namespace {

// A prompter that runs something while its box is open, as a timer firing behind a modal box would.
class BoxWithTicks final : public Prompter {
public:
    explicit BoxWithTicks(std::function<void()> meanwhile) : m_meanwhile(std::move(meanwhile)) {
        setPrompter(this);
    }
    ~BoxWithTicks() override { setPrompter(nullptr); }
    Answer messageBox(const QString& text, Buttons, Icon, const QString&) override {
        boxes << text;
        if (boxes.size() < 5) m_meanwhile();
        return OK;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<qint64> chooseColor(qint64) override { return std::nullopt; }
    void beep() override {}
    QStringList boxes;

private:
    std::function<void()> m_meanwhile;
};

} // namespace

TEST_F(LiveDay, TicksBehindAnOpenErrorReportAreSkippedNotStacked) {
    gGame->controls().txtTaskMinutes.caption = QStringLiteral("10");
    gGame->controls().butStart.tag = QStringLiteral("no id");
    {
        BoxWithTicks boxes([&] { floater->TaskCountdown_Timer(); });
        floater->TaskCountdown_Timer();
        EXPECT_EQ(boxes.boxes.size(), 1);
    }
    {
        gSettings->setStartTimePeriod2(QStringLiteral("soon"));
        BoxWithTicks boxes([&] { floater->timCheckPeriod_Timer(); });
        floater->timCheckPeriod_Timer();
        EXPECT_EQ(boxes.boxes.size(), 1);
        EXPECT_TRUE(control<QTimer>("timCheckPeriod")->isActive());
    }
}

TEST_F(LiveDay, AReminderWhoseComingBackFailsIsReportedOnceNotOnEveryTickBehindTheBox) {
    QPointer<frmReminder> r = frmReminder::raiseReminder(QStringLiteral("Budget"));
    r->findChild<QPushButton*>(QStringLiteral("btnSnooze"))->click();
    // An orbin whose place cannot be read: the reminder's load fails when it comes back.
    class PlacelessOrbin final : public OrbinWindow {
    public:
        FormPort* form() override { throw Failure(err::ObjectNotSet); }
        void updateInfo() override {}
        void shrinkFloater() override {}
        void expandFloater() override {}
        void showWindow() override {}
        void hideWindow() override {}
        bool isWindowVisible() const override { return true; }
    } placeless;
    gOrbinWindow = &placeless;
    BoxWithTicks boxes([&] { r->timSnooze_Timer(); });
    for (int i = 0; i < frmReminder::ComeBackTick; ++i)
        r->timSnooze_Timer();
    gOrbinWindow = floater;
    ASSERT_EQ(boxes.boxes.size(), 1);
    EXPECT_TRUE(boxes.boxes[0].contains(QStringLiteral(" - frmReminder.Form_Load: ")));
    EXPECT_TRUE(r->isVisible());
    EXPECT_TRUE(r->timSnooze()->isActive());
}

namespace {

// The period clock with its meeting lookups counted, and made to fail on one day while failingOn is set.
class CountedTimers final : public OrbinTimers {
public:
    using OrbinTimers::OrbinTimers;
    mutable QList<QDate> lookups;
    QDate failingOn;

protected:
    QList<DueMeeting> meetingsOn(const QDate& date, const QTime& from, const QTime& to) const override {
        lookups << date;
        if (date == failingOn) throw Failure(err::OutOfMemory);
        return OrbinTimers::meetingsOn(date, from, to);
    }
};

class CatchUp : public LiveDay {
protected:
    void seed() override {
        items +=
            meetingXml(7, QStringLiteral("Review"), QStringLiteral("20261220"), QStringLiteral("09:15")) +
            meetingXml(8, QStringLiteral("Loose time"), QStringLiteral("20261220"), QStringLiteral("9:15")) +
            meetingXml(9, QStringLiteral("New year"), QStringLiteral("20270105"), QStringLiteral("08:00")) +
            meetingXml(10, QStringLiteral("Early"), QStringLiteral("20261207"), QStringLiteral("09:00")) +
            meetingXml(11, QStringLiteral("Planning"), QStringLiteral("20261207"), QStringLiteral("10:00")) +
            meetingXml(14, QStringLiteral("Workshop"), QStringLiteral("20270106"), QStringLiteral("11:30"));
        LiveDay::seed();
    }
    void SetUp() override {
        LiveDay::SetUp();
        OrbinTimers::Face face;
        face.showReminder = [this](const QString& title) { raised << title; };
        timers = std::make_unique<CountedTimers>(&period, &task, &timeOut, face);
    }
    void TearDown() override {
        timers.reset();
        LiveDay::TearDown();
    }
    void tick(const QDateTime& t) {
        clock.set(t);
        timers->timCheckPeriod_Timer();
    }
    // The meetings that had ended by the time they were caught up with: logged, in the order handled.
    QStringList endedUnseen() const {
        QStringList titles;
        static const QRegularExpression line(
            QStringLiteral(": Meeting Reminder: (.*) \\(ended before it could be shown\\)"));
        for (const QString& l : log().split(QStringLiteral("\r\n")))
            if (const QRegularExpressionMatch m = line.match(l); m.hasMatch()) titles << m.captured(1);
        return titles;
    }

    QTimer period, task, timeOut;
    std::unique_ptr<CountedTimers> timers;
    QStringList raised;
};

} // namespace

TEST_F(CatchUp, AMonthAsleepLooksUpEachDayOnceAndRaisesEveryMeetingOnceInTimeOrder) {
    tick(at(7, 9, 30, 10));
    EXPECT_TRUE(raised.isEmpty());
    timers->lookups.clear();
    // Woken a month later: every day since is looked up once, not every minute.
    tick(QDateTime(QDate(2027, 1, 6), QTime(12, 0, 10)));
    EXPECT_EQ(timers->lookups.size(), 31);
    EXPECT_EQ(timers->lookups.first(), QDate(2026, 12, 7));
    EXPECT_EQ(timers->lookups.last(), QDate(2027, 1, 6));
    // 09:00 was handled before the sleep; "9:15" falls at 09:15, after "09:15" as the store holds them. Only
    // the meeting that still lasts comes up; those that ended are logged.
    EXPECT_EQ(raised, QStringList{QStringLiteral("Workshop")});
    EXPECT_EQ(endedUnseen(), (QStringList{QStringLiteral("Planning"), QStringLiteral("Budget"),
                                          QStringLiteral("Standup"), QStringLiteral("Late call"),
                                          QStringLiteral("Night shift"), QStringLiteral("Review"),
                                          QStringLiteral("Loose time"), QStringLiteral("New year")}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
    tick(QDateTime(QDate(2027, 1, 6), QTime(12, 0, 40)));
    tick(QDateTime(QDate(2027, 1, 6), QTime(12, 1, 0, 250)));
    EXPECT_EQ(raised.size(), 1);
    EXPECT_EQ(endedUnseen().size(), 8);
}

TEST_F(CatchUp, AFailingLookupStopsTheCatchUpReportedOnceAndItsDaysComeNextTick) {
    tick(at(7, 9, 30, 10));
    timers->failingOn = QDate(2026, 12, 8);
    timers->lookups.clear();
    tick(at(9, 10, 0, 10));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text,
              QStringLiteral("Error!\r\nQuorvane - frmFloater.timCheckPeriod_Timer: 7 - Out of memory"));
    EXPECT_EQ(timers->lookups, (QList<QDate>{QDate(2026, 12, 7), QDate(2026, 12, 8)}));
    EXPECT_EQ(endedUnseen(), (QStringList{QStringLiteral("Planning"), QStringLiteral("Budget"),
                                          QStringLiteral("Standup"), QStringLiteral("Late call")}));
    ASSERT_TRUE(timers->periodClock().lastHandled());
    EXPECT_EQ(*timers->periodClock().lastHandled(), (PeriodClock::Minute{QDate(2026, 12, 7), QTime(23, 59)}));

    // The store answers again: the day that failed comes now, and nothing twice.
    timers->failingOn = QDate();
    tick(at(9, 10, 1, 0, 250));
    EXPECT_EQ(endedUnseen().size(), 5);
    EXPECT_EQ(endedUnseen().last(), QStringLiteral("Night shift"));
    EXPECT_TRUE(raised.isEmpty());
    EXPECT_EQ(prompter.boxes.size(), 1);
}

// ---- Reminders ahead of their meetings ----

namespace {

class RemindedAhead : public LiveDay {
protected:
    RemindedAhead() { lead = "2"; }
    QStringList logged() const {
        QStringList lines;
        for (const QString& l : log().split(QStringLiteral("\r\n")))
            if (l.contains(QStringLiteral("Meeting Reminder: "))) lines << l.section(QStringLiteral(": "), 1);
        return lines;
    }
};

} // namespace

TEST_F(RemindedAhead, AReminderComesTheLeadBeforeItsMeetingOnce) {
    ASSERT_EQ(gSettings->MeetingReminderMinutes(), Integer(2));
    tickAt(at(7, 9, 57, 30));
    tickAt(at(7, 9, 58, 0, 250));
    EXPECT_TRUE(reminders().isEmpty());
    tickAt(at(7, 9, 59, 0, 250));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Budget"), QStringLiteral("Standup")}));
    for (frmReminder* r : reminders())
        r->btnOK_Click();
    // Neither at the meeting's minute nor on any tick after it.
    for (const QDateTime& t :
         {at(7, 10, 0, 0, 250), at(7, 10, 1, 0, 250), at(7, 10, 1, 30), at(7, 10, 2, 0, 250)})
        tickAt(t);
    EXPECT_TRUE(reminders().isEmpty());
    EXPECT_EQ(logged(), (QStringList{QStringLiteral("Meeting Reminder: Budget"),
                                     QStringLiteral("Meeting Reminder: Standup")}));
}

// A lead lowered by hours while the program runs brings no reminder a second time, not even that of a
// meeting at the present minute.
TEST_F(RemindedAhead, ALeadLoweredByHoursRemindsOfNoMeetingTwice) {
    gSettings->setMeetingReminderMinutes(Integer(180));
    tickAt(at(7, 9, 59, 30));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Budget"), QStringLiteral("Standup")}));
    gSettings->setMeetingReminderMinutes(Integer(0));
    for (const QDateTime& t : {at(7, 10, 0, 0, 250), at(7, 10, 1, 0, 250), at(7, 10, 2, 0, 250)})
        tickAt(t);
    EXPECT_EQ(reminders().size(), 2);
    EXPECT_EQ(logged().size(), 2);
}

// The lead reaches over midnight: a meeting early in the day is reminded the evening before.
TEST_F(RemindedAhead, AMeetingJustAfterMidnightIsRemindedTheEveningBefore) {
    gItems->setMeetingTime(QStringLiteral("00:01"), Integer(6));
    tickAt(at(7, 23, 56, 30));
    tickAt(at(7, 23, 57, 0, 250));
    EXPECT_EQ(reminderTitles(), QStringList{QStringLiteral("Late call")});
    tickAt(at(7, 23, 58, 0, 250));
    EXPECT_EQ(reminders().size(), 1);
    tickAt(at(7, 23, 59, 0, 250));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Late call"), QStringLiteral("Night shift")}));
    tickAt(at(8, 0, 0, 0, 250));
    tickAt(at(8, 0, 1, 0, 250));
    EXPECT_EQ(reminders().size(), 2);
}

// Started within the lead of a meeting, the program reminds of it at once; one already under way, at its
// own minute or before, is no business of a reminder.
TEST_F(RemindedAhead, AMeetingWithinTheLeadWhenTheClockStartsIsRemindedAtOnce) {
    gItems->setMeetingTime(QStringLiteral("09:59"), Integer(2));
    tickAt(at(7, 10, 0, 10));
    EXPECT_EQ(reminderTitles(), QStringList{QStringLiteral("Budget")});
    tickAt(at(7, 10, 1, 0, 250));
    tickAt(at(7, 10, 2, 0, 250));
    EXPECT_EQ(reminders().size(), 1);
}

// Asleep at a reminder's due moment: it comes on waking while its meeting lasts, else the log keeps it.
TEST_F(RemindedAhead, AReminderSleptThroughComesOnWakingWhileItsMeetingLasts) {
    gItems->setEstimate(QStringLiteral("0"), Integer(2)); // Standup: its own minute only
    tickAt(at(7, 9, 50, 10));
    tickAt(at(7, 10, 0, 40)); // both reminders fell due at 09:59; neither meeting has begun
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Budget"), QStringLiteral("Standup")}));
    // Asleep over the evening's due moments and the meetings themselves (an hour each).
    tickAt(at(7, 23, 0, 10));
    tickAt(at(8, 1, 30, 10));
    EXPECT_EQ(reminders().size(), 2);
    EXPECT_EQ(
        logged().mid(2),
        (QStringList{QStringLiteral("Meeting Reminder: Late call (ended before it could be shown)"),
                     QStringLiteral("Meeting Reminder: Night shift (ended before it could be shown)")}));
}

// A lead made shorter reminds of nothing twice; one made longer skips nothing.
TEST_F(RemindedAhead, AChangedLeadRemindsOfEachMeetingOnce) {
    tickAt(at(7, 9, 58, 30));
    tickAt(at(7, 9, 59, 0, 250));
    ASSERT_EQ(reminders().size(), 2);
    for (frmReminder* r : reminders())
        r->btnOK_Click();
    gSettings->setMeetingReminderMinutes(Integer(0));
    for (const QDateTime& t : {at(7, 10, 0, 0, 250), at(7, 10, 1, 0, 250), at(7, 10, 2, 0, 250)})
        tickAt(t);
    EXPECT_TRUE(reminders().isEmpty());

    gItems->setMeetingTime(QStringLiteral("10:20"), Integer(3));
    tickAt(at(7, 10, 15, 0, 250));
    gSettings->setMeetingReminderMinutes(Integer(10));
    tickAt(at(7, 10, 16, 0, 250)); // 10:20 lies within the new lead: due already
    EXPECT_EQ(reminderTitles(), QStringList{QStringLiteral("Budget")});
}

class DefaultLead : public RemindedAhead {
protected:
    DefaultLead() { lead = QByteArray(); }
};

TEST_F(DefaultLead, WithoutASettingAReminderComesFiveMinutesAhead) {
    tickAt(at(7, 9, 55, 30));
    EXPECT_TRUE(reminders().isEmpty());
    tickAt(at(7, 9, 56, 0, 250));
    EXPECT_EQ(reminderTitles(), (QStringList{QStringLiteral("Budget"), QStringLiteral("Standup")}));
}

// A time typed without its leading zeros stands on the face at 08:05, so it reminds then too.
TEST_F(LiveDay, AMeetingStoredWithoutLeadingZerosRemindsAtItsTime) {
    gItems->setMeetingTime(QStringLiteral("8:5"), Integer(3));
    tickAt(at(7, 8, 4, 30));
    EXPECT_TRUE(reminders().isEmpty());
    tickAt(at(7, 8, 5, 0, 250));
    EXPECT_EQ(reminderTitles(), QStringList{QStringLiteral("Budget")});
}
