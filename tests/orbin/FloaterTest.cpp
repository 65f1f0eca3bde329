#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/Settings.h"
#include "dialogs/dlgDays.h"
#include "orbin/frmFloater.h"
#include "platform/FormPort.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"
#include "tests/orbin/OrbinFixture.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QRect px(double l, double t, double w, double h) {
    return {twips::toPixels(l), twips::toPixels(t), twips::toPixels(w), twips::toPixels(h)};
}

} // namespace

TEST_F(Orbin, ControlsSitAtTheirDesignPlacesWithTheirCaptionsAndTips) {
    struct Expect {
        const char* name;
        QRect rect;
        const char* caption;
        const char* tip;
    };
    const Expect expected[] = {
        {"imgDragArrow", px(15, 15, 300, 255), nullptr,
         "Click and drag to move the floater or double click to close application"},
        {"btnNew", px(345, 30, 645, 240), "&New", "Create a new item"},
        {"butStart", px(1005, 30, 4650, 240), "&Show tasks", "Manage current task"},
        {"imgArrowUp", px(5675, 30, 255, 240), nullptr, "Click here to open the main orbin"},
        {"btnSearch", px(5950, 30, 750, 240), "&Search", "Search tasks"},
        {"lblStats", px(6705, 60, 420, 210), nullptr, "Total score for today"},
        {"imgClose", px(7035, 15, 135, 135), nullptr, nullptr},
        {"cmdShowCalendar", px(6960, 285, 225, 255), ">", "Show days"},
        {"lblDate", px(2850, 1200, 1410, 210), "Start", nullptr},
        {"imgOrbin", px(1215, 1080, 4770, 4830), nullptr, nullptr},
        {"txtTodo_01", px(1890, 1785, 3390, 240), "This is as good as it gets my friend", nullptr},
        {"txtTodo_16", px(2115, 5160, 2940, 240), "16", nullptr},
        {"btnEndperiod", px(4875, 7245, 1200, 240), "End period", nullptr},
        {"butReturnToPeriodInPlay", px(135, 7215, 2250, 240), "Return to period in play", nullptr},
        {"butClose", px(3090, 7290, 870, 285), "Close", nullptr},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.name);
        QWidget* w = control(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), e.rect);
        if (e.caption) {
            if (auto* b = qobject_cast<QPushButton*>(w)) {
                EXPECT_EQ(b->text(), QString::fromUtf8(e.caption));
            }
            if (auto* l = qobject_cast<QLabel*>(w)) {
                EXPECT_EQ(l->text(), QString::fromUtf8(e.caption));
            }
        }
        if (e.tip) {
            EXPECT_EQ(w->toolTip(), QString::fromUtf8(e.tip));
        }
    }
    // Slots 2 to 16 carry their numbers, one row of 240 twips every 225.
    for (int i = 2; i <= 16; ++i) {
        auto* slot = control<QLabel>(QStringLiteral("txtTodo_%1").arg(i, 2, 10, QLatin1Char('0')).toLatin1());
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(slot->text(), QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(slot->y(), twips::toPixels(1785 + 225.0 * (i - 1)));
    }
    const QStringList periods = {"Morning", "Mid Day", "Afternoon", "Evening"};
    const QStringList tips = {"First perod of the day", "Second perod of the day", "Third perod of the day",
                              "Last perod of the day"};
    const QList<QPushButton*> morning = floater->findChildren<QPushButton*>(QStringLiteral("Morning"));
    ASSERT_EQ(morning.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(morning[i]->text(), periods[i]);
        EXPECT_EQ(morning[i]->toolTip(), tips[i]);
        EXPECT_EQ(morning[i]->geometry(), px(1740.0 * i, 300, 1740, 240));
    }
    EXPECT_EQ(floater->findChildren<QFrame*>(QStringLiteral("shaCurrentPeriod")).size(), 8);
    for (const char* hidden : {"lblMessageBoard", "lblPeriod", "lblMeeting", "fraTimeOut", "btnEndperiod",
                               "butReturnToPeriodInPlay", "butTimeout", "picSmiley"})
        EXPECT_FALSE(control(hidden)->isVisibleTo(floater)) << hidden;
    // The search box and its cross are made at the first search, in their places and hidden again with
    // the shrink.
    EXPECT_EQ(control("txtSearch"), nullptr);
    floater->btnSearch_Click();
    // The box ends where its design place ends and reaches at least as far left; its cross stands inside
    // it.
    const QRect box = control("txtSearch")->geometry(), design = px(4950, 0, 2055, 285);
    EXPECT_EQ(box.topRight(), design.topRight());
    EXPECT_EQ(box.height(), design.height());
    EXPECT_LE(box.left(), design.left());
    EXPECT_TRUE(box.contains(control("fraCloseSearch")->geometry()));
    floater->shrinkFloater();
    for (const char* hidden : {"txtSearch", "fraCloseSearch"})
        EXPECT_FALSE(control(hidden)->isVisibleTo(floater)) << hidden;
    EXPECT_TRUE(floater->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(floater->width(), twips::toPixels(frmFloater::DesignWidth));
}

TEST_F(Orbin, ComesUpOnTopAtTopThirtyCentredOnAFirstStart) {
    EXPECT_TRUE(windowprocs::isTopMost(floater));
    const FormPort::Rect r = floater->twipGeometry();
    EXPECT_EQ(r.top, 30);
    EXPECT_NEAR(r.left, floater->screenWidthTwips() / 2 - r.width / 2, 15);
}

TEST_F(Orbin, NotOnTopWhenTheSettingSaysSo) {
    env.writeSettings("[General]\nonTop=0\n");
    quitApplication(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gQuitting = false;
    createObjects();
    floater = new frmFloater();
    gOrbinWindow = floater;
    EXPECT_FALSE(windowprocs::isTopMost(floater));
}

TEST_F(Orbin, ShrinkAndExpandSetTheHeightAndTheTasksButtonsCaption) {
    floater->expandFloater();
    EXPECT_EQ(floater->twipGeometry().height, frmFloater::ExpandedHeight);
    EXPECT_EQ(floater->height(), 422);
    EXPECT_EQ(control<QPushButton>("butStart")->text(), QStringLiteral("&Hide tasks"));
    EXPECT_FALSE(floater->isShrunk());

    floater->shrinkFloater();
    EXPECT_EQ(floater->twipGeometry().height, frmFloater::ShrunkHeight);
    EXPECT_TRUE(floater->isShrunk());
    EXPECT_EQ(control<QPushButton>("butStart")->text(), QStringLiteral("&Show tasks"));

    // Any letter case counts; a running task's caption is left alone.
    gGame->controls().butStart.caption = QStringLiteral("&SHOW TASKS");
    floater->expandFloater();
    EXPECT_EQ(control<QPushButton>("butStart")->text(), QStringLiteral("&Hide tasks"));
    gGame->controls().butStart.caption = QStringLiteral("Write the report (25)");
    floater->shrinkFloater();
    EXPECT_EQ(control<QPushButton>("butStart")->text(), QStringLiteral("Write the report (25)"));
}

TEST_F(Orbin, ShrinkClosesTheDayChooserAndTheSearchListButExpandLeavesThem) {
    QPointer<dlgDays> days = dlgDays::instance();
    auto* search = new FormWidget(QStringLiteral("frmSearch"));
    floater->expandFloater();
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgDays")));
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmSearch")));
    floater->shrinkFloater();
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgDays")));
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmSearch")));
    EXPECT_TRUE(search->isUnloaded());
}

TEST_F(Orbin, TheArrowOpensAShrunkWindowAndStartsTheDayChoosersWeekToday) {
    floater->shrinkFloater();
    QTest::mouseClick(control("imgArrowUp"), Qt::LeftButton);
    EXPECT_FALSE(floater->isShrunk());
    EXPECT_EQ(dlgDays::instance()->firstDay(), QDate(2026, 12, 7));
    QTest::mouseClick(control("imgArrowUp"), Qt::LeftButton);
    EXPECT_TRUE(floater->isShrunk());
}

TEST_F(Orbin, TheTasksButtonAndTheCloseButtonShrinkAndExpand) {
    floater->shrinkFloater();
    QTest::mouseClick(control("butStart"), Qt::LeftButton);
    EXPECT_FALSE(floater->isShrunk());
    QTest::mouseClick(control("butStart"), Qt::LeftButton);
    EXPECT_TRUE(floater->isShrunk());
    floater->expandFloater();
    floater->butClose_Click();
    EXPECT_TRUE(floater->isShrunk());
}

TEST_F(Orbin, AClickOnTheWindowsOwnSurfaceShrinksIt) {
    floater->expandFloater();
    // Inside the top row's frame but on no control: the form's own surface.
    QTest::mouseClick(floater, Qt::LeftButton, {}, QPoint(twips::toPixels(6500), twips::toPixels(5900)));
    EXPECT_TRUE(floater->isShrunk());
}

TEST_F(Orbin, AClickOnATaskSlotIsNotAClickOnTheWindow) {
    floater->expandFloater();
    QTest::mouseClick(control("txtTodo_01"), Qt::LeftButton);
    EXPECT_FALSE(floater->isShrunk());
}

TEST_F(Orbin, DraggingMovesTheWindowAndTheLoadedCompanionsAndOpensNoMenu) {
    QWidget* handle = control("imgDragArrow");
    dlgDays* days = dlgDays::instance();
    days->move(100, 100);
    const QPoint start = floater->pos();
    const QPoint daysStart = days->pos();

    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(35, 25), handle->mapToGlobal(QPointF(35, 25)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    EXPECT_EQ(floater->pos(), start + QPoint(30, 20));
    EXPECT_EQ(days->pos(), daysStart + QPoint(30, 20));
    // A companion that is not loaded is not made by the drag.
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmReminder")));
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmSearch")));

    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(5, 5));
    passDoubleClickInterval();
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(quitQuestions(), 0);
}

TEST_F(Orbin, MovingWithoutTheLeftButtonMovesNothing) {
    QWidget* handle = control("imgDragArrow");
    const QPoint start = floater->pos();
    QTest::mouseMove(handle, QPoint(15, 12));
    EXPECT_EQ(floater->pos(), start);
}

TEST_F(Orbin, APressAndReleaseOnTheHandleOpensTheMenu) {
    QWidget* handle = control("imgDragArrow");
    QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(5, 5));
    passDoubleClickInterval();
    EXPECT_TRUE(menuOpen());
}

TEST_F(Orbin, ADoubleClickOnTheHandleAsksTheQuitQuestionAndLeavesNoMenu) {
    prompter.script({Prompter::No});
    QWidget* handle = control("imgDragArrow");
    QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(handle, Qt::LeftButton, {}, QPoint(5, 5));
    passDoubleClickInterval();
    EXPECT_EQ(quitQuestions(), 1);
    EXPECT_FALSE(menuOpen());
    EXPECT_FALSE(gQuitting);
    EXPECT_TRUE(floater->isVisible()); // No brings the window back

    // On a real display the double click's release goes to the question box: the handle never sees
    // it, and the next press and release still open the menu.
    prompter.script({Prompter::No});
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5), handle->mapToGlobal(QPointF(5, 5)),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &second);
    EXPECT_EQ(quitQuestions(), 2);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(5, 5));
    passDoubleClickInterval();
    EXPECT_TRUE(menuOpen());
    closeMenus();

    prompter.script({Prompter::Yes});
    QTest::mouseDClick(handle, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(gQuitting);
}

TEST_F(Orbin, TheCloseCrossQuitsThroughTheQuitQuestion) {
    prompter.script({Prompter::No});
    QTest::mouseClick(control("imgClose"), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(quitQuestions(), 1);
    EXPECT_FALSE(gQuitting);
    prompter.script({Prompter::Yes});
    QTest::mouseClick(control("imgClose"), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(gQuitting);
    EXPECT_TRUE(floater.isNull() || floater->isUnloaded());
}

TEST_F(Orbin, ARightClickOnThePictureOrTheTasksButtonOpensTheMenu) {
    floater->expandFloater();
    QTest::mouseClick(control("imgOrbin"), Qt::RightButton, {}, QPoint(150, 150));
    EXPECT_TRUE(menuOpen());
    closeMenus();
    QTest::mouseClick(control("butStart"), Qt::RightButton);
    EXPECT_TRUE(menuOpen());
    closeMenus();
    // The empty slots lie over the face, unseen: a right click there is one on the face.
    auto* lastSlot = floater->findChild<QLabel*>(QStringLiteral("txtTodo_16"));
    ASSERT_NE(lastSlot, nullptr);
    ASSERT_TRUE(lastSlot->text().isEmpty());
    QTest::mouseClick(lastSlot, Qt::RightButton);
    EXPECT_TRUE(menuOpen());
}

TEST_F(Orbin, MenuCommandsStartTheReadersAndOpenTheirForms) {
    action("mnuReadArticle")->trigger();
    action("mnuWelcome")->trigger();
    ASSERT_EQ(launcher.started.size(), 2);
    EXPECT_TRUE(launcher.started[0].first.endsWith(QStringLiteral("Articles/Article1")));
    EXPECT_EQ(launcher.started[0].second, Launcher::WindowState::Normal);
    EXPECT_TRUE(launcher.started[1].first.endsWith(QStringLiteral("Articles/Welcome")));
    EXPECT_EQ(launcher.started[1].second, Launcher::WindowState::Maximized);

    floater->expandFloater();
    action("mnuSettings")->trigger();
    EXPECT_TRUE(floater->isShrunk());
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgSettings")));
    action("mnuTask")->trigger();
    action("mnuTask")->trigger();
    int newTasks = 0;
    for (FormPort* f : forms::loaded())
        newTasks += f->formName() == QStringLiteral("dlgNewTaskDetails");
    EXPECT_EQ(newTasks, 2); // a new dialog per request
    action("mnuAbout")->trigger();
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmAbout")));
    EXPECT_FALSE(action("mnuShow")->isVisible());
    EXPECT_FALSE(action("mnuIntroduction")->isVisible());

    prompter.script({Prompter::No});
    action("mnuExit")->trigger();
    EXPECT_EQ(quitQuestions(), 1);
}

TEST_F(Orbin, TheLinkOpensTheProjectsPage) {
    floater->expandFloater();
    QTest::mouseClick(control("Label1"), Qt::LeftButton);
    ASSERT_EQ(launcher.urls.size(), 1);
    EXPECT_EQ(launcher.urls[0], frmFloater::WebAddress);
}

TEST_F(Orbin, TheCalendarButtonShowsAndHidesTheDayChooser) {
    floater->expandFloater();
    QTest::mouseClick(control("cmdShowCalendar"), Qt::LeftButton);
    ASSERT_TRUE(forms::isLoaded(QStringLiteral("dlgDays")));
    EXPECT_TRUE(dlgDays::instance()->isVisible());
    QTest::mouseClick(control("cmdShowCalendar"), Qt::LeftButton);
    EXPECT_FALSE(dlgDays::instance()->isVisible());
}

TEST_F(Orbin, ClosingTheWindowStoresItsPlaceAndTheNextStartRestoresIt) {
    floater->move(200, 150);
    floater->close(); // the window's own closing: no question
    EXPECT_TRUE(gQuitting);
    EXPECT_EQ(quitQuestions(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    gQuitting = false;
    createObjects();
    floater = new frmFloater();
    gOrbinWindow = floater;
    EXPECT_EQ(floater->pos(), QPoint(200, 150));
}
