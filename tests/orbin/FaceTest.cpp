#include "tests/orbin/OrbinFixture.h"

#include "core/File.h"
#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Items.h"
#include "core/Settings.h"
#include "orbin/OrbinPicture.h"
#include "platform/Twips.h"

#include "tests/support/ItemXml.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <algorithm>

namespace {

class Face : public Orbin {
protected:
    void seed() override { writeItems(items); }
    QLabel* slot(int n) const {
        return control<QLabel>(QStringLiteral("txtTodo_%1").arg(n, 2, 10, QLatin1Char('0')).toLatin1());
    }
    static qint64 colourOf(const QLabel* l) { return l->property("ForeColor").toLongLong(); }
    QStringList slotTexts() const {
        QStringList texts;
        for (int n = 1; n <= 16; ++n)
            if (!slot(n)->text().isEmpty()) texts << slot(n)->text();
        return texts;
    }
    QLabel* meetingAt(const QString& captionStart) const {
        for (QLabel* l : floater->meetingLabels())
            if (l->text().startsWith(captionStart)) return l;
        return nullptr;
    }

    QByteArray items;
};

struct Place {
    int hour, minute;
    double left, top;
    bool leftAligned;
};

} // namespace

TEST_F(Face, MeetingsStandOnTheClockEllipseByTheirHour) {
    const Place places[] = {
        {0, 0, 2982, 750, true},     {12, 0, 2982, 750, true},   {3, 0, 5949.5, 3300, true},
        {15, 0, 5949.5, 3300, true}, {6, 0, 2982, 5850, false},  {18, 0, 2982, 5850, false},
        {9, 0, 14.5, 3300, false},   {21, 0, 14.5, 3300, false}, {15, 30, 5848.4, 3960.0, true},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(QStringLiteral("%1:%2").arg(p.hour).arg(p.minute).toStdString());
        floater->removeAllMeetingsFromTheorbin();
        floater->addMeetingToTheOrbin(7, QTime(p.hour, p.minute), QStringLiteral("Team"), false);
        ASSERT_EQ(floater->meetingLabels().size(), 1);
        QLabel* l = floater->meetingLabels().first();
        EXPECT_NEAR(l->property("LeftTwips").toDouble(), p.left, 0.1);
        EXPECT_NEAR(l->property("TopTwips").toDouble(), p.top, 0.1);
        // The text hangs right of and below its point, or on the left half ends where the template's box
        // from that point ends.
        const QRect g = l->geometry();
        EXPECT_EQ(g.top(), twips::toPixels(p.top));
        if (p.leftAligned)
            EXPECT_EQ(g.left(), twips::toPixels(p.left));
        else
            EXPECT_EQ(g.right() + 1, twips::toPixels(p.left + 1230));
        EXPECT_EQ(l->alignment().testFlag(Qt::AlignLeft), p.leftAligned);
        EXPECT_EQ(l->alignment().testFlag(Qt::AlignRight), !p.leftAligned);
        EXPECT_EQ(l->property("Tag").toString(), QStringLiteral("7"));
        EXPECT_EQ(l->property("Index").toInt(), 1); // indexes start again after a removal
    }
    floater->removeAllMeetingsFromTheorbin();
    floater->addMeetingToTheOrbin(1, QTime(17, 59), QStringLiteral("Late"), false);
    EXPECT_TRUE(floater->meetingLabels().first()->alignment().testFlag(Qt::AlignLeft));
}

TEST_F(Face, AMeetingLabelShowsTheTwentyFourHourTimeAndATitleTooLongCutWithAnEllipsis) {
    floater->addMeetingToTheOrbin(1, QTime(9, 5), QStringLiteral("Short"), false);
    floater->addMeetingToTheOrbin(2, QTime(15, 5), QStringLiteral("Stand-up with the whole team"), true);
    const QList<QLabel*> labels = floater->meetingLabels();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("09:05 - Short"));
    EXPECT_TRUE(labels[0]->toolTip().isEmpty());
    EXPECT_FALSE(labels[0]->font().underline());
    // Cut where the box ends, marked as cut, and whole in the tool tip.
    const QString cut = labels[1]->text();
    EXPECT_TRUE(cut.startsWith(QStringLiteral("15:05 - Stand-up"))) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
    EXPECT_EQ(labels[1]->toolTip(), QStringLiteral("Stand-up with the whole team"));
    EXPECT_LE(labels[1]->width(), twips::toPixels(1230));
    EXPECT_TRUE(labels[1]->font().underline());
    EXPECT_TRUE(labels[1]->isVisible());
}

TEST_F(Face, TwoMeetingsAtOneTimeGetTwoLabelsTheFirstAtItsHourTheOtherBesideIt) {
    floater->expandFloater();
    floater->removeAllMeetingsFromTheorbin();
    floater->addMeetingToTheOrbin(1, QTime(15, 0), QStringLiteral("MMMMMMMMMMM"), false);
    floater->addMeetingToTheOrbin(2, QTime(15, 0), QStringLiteral("I"), false);
    const QList<QLabel*> labels = floater->meetingLabels();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->pos(), QPoint(twips::toPixels(5949.5), twips::toPixels(3300)));
    EXPECT_FALSE(labels[0]->geometry().intersects(labels[1]->geometry()));
    for (QLabel* l : labels)
        EXPECT_EQ(floater->childAt(l->geometry().center()), l) << "each can be seen and clicked";

    floater->removeAllMeetingsFromTheorbin();
    EXPECT_TRUE(floater->meetingLabels().isEmpty());
    floater->removeAllMeetingsFromTheorbin(); // only the template left: nothing changes
    auto* templ = control<QLabel>("lblMeeting");
    ASSERT_NE(templ, nullptr);
    EXPECT_EQ(templ->text(), QStringLiteral("09:00 - 12345678901"));
    EXPECT_FALSE(templ->isVisibleTo(floater));
}

TEST_F(Face, PutTodoTextWritesSlotsOneToSixteenOnly) {
    EXPECT_FALSE(floater->putTodoText(QStringLiteral("x"), 0, 5, frmFloater::GreyColor));
    EXPECT_FALSE(floater->putTodoText(QStringLiteral("x"), 17, 5, frmFloater::GreyColor));
    EXPECT_EQ(slot(1)->text(), QStringLiteral("This is as good as it gets my friend"));
    EXPECT_TRUE(floater->putTodoText(QStringLiteral("Walk"), 16, 5, frmFloater::GreyColor));
    EXPECT_EQ(slot(16)->text(), QStringLiteral("Walk"));
    EXPECT_EQ(slot(16)->property("Tag").toString(), QStringLiteral("5"));
    EXPECT_EQ(colourOf(slot(16)), frmFloater::GreyColor);
    floater->clearTodoText();
    EXPECT_TRUE(slotTexts().isEmpty());
    // Emptying keeps the last Tag and colour.
    EXPECT_EQ(slot(16)->property("Tag").toString(), QStringLiteral("5"));
    EXPECT_EQ(colourOf(slot(16)), frmFloater::GreyColor);
}

class FaceOfADay : public Face {
protected:
    void seed() override {
        items = taskXml(1, QStringLiteral("Open task"), Today, 1) +
                taskXml(2, QStringLiteral("Finished task"), Today, 1, QStringLiteral("done"),
                        QStringLiteral("true")) +
                taskXml(3, QStringLiteral("Flagged but stopped"), Today, 1, QStringLiteral("stopped"),
                        QStringLiteral("true")) +
                taskXml(4, QStringLiteral("Afternoon task"), Today, 3) +
                taskXml(5, QStringLiteral("Tomorrow's task"), Tomorrow, 1) +
                meetingXml(6, QStringLiteral("Stand-up"), Today, QStringLiteral("09:00"),
                           QStringLiteral("true")) +
                meetingXml(7, QStringLiteral("Broken"), Today, QStringLiteral("half past"),
                           QStringLiteral("false")) +
                meetingXml(8, QStringLiteral("Lunch"), Today, QStringLiteral("12:30")) +
                meetingXml(9, QStringLiteral("Tomorrow's meeting"), Tomorrow, QStringLiteral("10:00"));
        Face::seed();
    }
};

TEST_F(FaceOfADay, ThePeriodInPlayShowsOpenTasksInTheSystemColourAndFinishedOnesGrey) {
    floater->expandFloater(); // no game yet: period 1 of today is in play
    EXPECT_EQ(slotTexts(), (QStringList{"Open task", "Finished task", "Flagged but stopped"}));
    EXPECT_EQ(colourOf(slot(1)), frmFloater::OpenTaskColor);
    EXPECT_EQ(colourOf(slot(2)), frmFloater::GreyColor);
    EXPECT_EQ(colourOf(slot(3)), frmFloater::OpenTaskColor); // grey goes by the status, not the flag
    EXPECT_FALSE(slot(1)->font().underline());
    EXPECT_TRUE(slot(2)->font().underline());
    EXPECT_TRUE(slot(3)->font().underline());
    EXPECT_EQ(slot(1)->property("Tag").toString(), QStringLiteral("1"));
    // The marker stands under the first period button only.
    const QList<QFrame*> marks = floater->findChildren<QFrame*>(QStringLiteral("shaCurrentPeriod"));
    for (QFrame* m : marks)
        EXPECT_EQ(m->isVisibleTo(floater), m->property("Index").toInt() / 2 == 0);
}

TEST_F(FaceOfADay, AMeetingWithAnUnreadableTimeIsLeftOffAndLoggedOnce) {
    floater->expandFloater();
    floater->updateInfo();
    EXPECT_TRUE(prompter.boxes.isEmpty());
    QStringList captions;
    for (QLabel* l : floater->meetingLabels())
        captions << l->text();
    EXPECT_EQ(captions, (QStringList{"09:00 - Stand-up", "12:30 - Lunch"}));
    EXPECT_TRUE(meetingAt(QStringLiteral("09:00"))->font().underline());
    EXPECT_FALSE(meetingAt(QStringLiteral("12:30"))->font().underline());
    const QByteArray log = TestEnv::readFile(env.dataDir() + QStringLiteral("msglog.txt"));
    EXPECT_EQ(log.count("half past"), 1);
}

TEST_F(FaceOfADay, DraggingTheOrbinLeavesItsMeetingsOnTheRimAndANewOneShowsAtOnce) {
    floater->expandFloater();
    floater->updateInfo();
    QWidget* handle = control("imgDragArrow");
    const QPoint start = floater->pos();
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(handle, QPoint(35, 25)); // with the button held
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(35, 25));
    ASSERT_EQ(floater->pos(), start + QPoint(30, 20));

    QStringList shown;
    for (QLabel* l : floater->meetingLabels())
        if (l->isVisible()) shown << l->text();
    EXPECT_EQ(shown, (QStringList{"09:00 - Stand-up", "12:30 - Lunch"}));
    // A meeting added after the drag stands on the rim at once.
    floater->addMeetingToTheOrbin(10, QTime(15, 0), QStringLiteral("Review"), false);
    QLabel* review = meetingAt(QStringLiteral("15:00"));
    ASSERT_NE(review, nullptr);
    EXPECT_TRUE(review->isVisible());
}

class FaceWithAnUnreadableId : public Face {
protected:
    void seed() override {
        items = taskXml(1, QStringLiteral("First"), Today, 1) +
                QByteArray(taskXml(2, QStringLiteral("Odd one"), Today, 1))
                    .replace("<id>2</id>", "<id>abc</id>") +
                taskXml(3, QStringLiteral("Third"), Today, 1) +
                QByteArray(meetingXml(4, QStringLiteral("Odd meeting"), Today, QStringLiteral("10:00")))
                    .replace("<id>4</id>", "<id>x4</id>") +
                meetingXml(5, QStringLiteral("Review"), Today, QStringLiteral("15:00"));
        Face::seed();
    }
};

TEST_F(FaceWithAnUnreadableId, OneUnreadableIdLeavesOnlyItsOwnItemOff) {
    floater->expandFloater();
    floater->updateInfo();
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(slotTexts(), (QStringList{"First", "Third"}));
    QStringList captions;
    for (QLabel* l : floater->meetingLabels())
        captions << l->text();
    EXPECT_EQ(captions, QStringList{"15:00 - Review"});
    const QByteArray log = TestEnv::readFile(env.dataDir() + QStringLiteral("msglog.txt"));
    EXPECT_EQ(log.count("\"abc\""), 1) << "logged once, not at every redraw";
}

TEST_F(FaceOfADay, APeriodButtonShowsThatPeriodAndReturnBringsBackThePeriodInPlay) {
    floater->expandFloater();
    QList<QPushButton*> periods = floater->findChildren<QPushButton*>(QStringLiteral("Morning"));
    QTest::mouseClick(periods[2], Qt::LeftButton);
    EXPECT_EQ(slotTexts(), QStringList{"Afternoon task"});
    EXPECT_EQ(colourOf(slot(1)), frmFloater::GreyColor);
    EXPECT_EQ(gGame->CurrentPeriod().value(), 1); // the game's period is not changed
    EXPECT_EQ(gItems->SelectedPeriod().value(), 3);

    QTest::mouseClick(control("butReturnToPeriodInPlay"), Qt::LeftButton);
    EXPECT_EQ(gItems->SelectedPeriod().value(), 1);
    EXPECT_EQ(slotTexts(), (QStringList{"Open task", "Finished task", "Flagged but stopped"}));

    // Shrinking and expanding come back to it too.
    QTest::mouseClick(periods[3], Qt::LeftButton);
    EXPECT_TRUE(slotTexts().isEmpty());
    floater->shrinkFloater();
    floater->expandFloater();
    EXPECT_EQ(gItems->SelectedPeriod().value(), 1);
}

TEST_F(FaceOfADay, AnotherDayShowsItsTasksGreyAndOffersTheWayBack) {
    floater->expandFloater();
    floater->setShownDate(QDate(2026, 12, 8));
    EXPECT_TRUE(control("butReturnToPeriodInPlay")->isVisibleTo(floater));
    floater->updateInfo();
    EXPECT_EQ(slotTexts(), QStringList{"Tomorrow's task"});
    EXPECT_EQ(colourOf(slot(1)), frmFloater::GreyColor);
    ASSERT_EQ(floater->meetingLabels().size(), 1);
    EXPECT_TRUE(floater->meetingLabels().first()->text().startsWith(QStringLiteral("10:00 - Tomorrow's")));
}

class FaceOfAFullPeriod : public Face {
protected:
    void seed() override {
        for (int i = 1; i <= 17; ++i)
            items += taskXml(i, QStringLiteral("Task %1").arg(i), Today, 1);
        Face::seed();
    }
};

TEST_F(FaceOfAFullPeriod, SeventeenTasksAreAllWithinReachTheLastSlotListsTheOnesWithoutASlot) {
    floater->expandFloater();
    QStringList shown = slotTexts();
    ASSERT_EQ(shown.size(), 16);
    EXPECT_EQ(shown.first(), QStringLiteral("Task 1"));
    EXPECT_EQ(shown.at(14), QStringLiteral("Task 15"));
    EXPECT_EQ(shown.last(), QStringLiteral("+ 2 more\u2026"));

    // The last slot opens the list of the search with the two, and each opens its task.
    QTest::mouseClick(slot(16), Qt::LeftButton);
    ASSERT_TRUE(forms::isLoaded(QStringLiteral("frmSearch")));
    auto* results = dynamic_cast<QWidget*>(forms::find(QStringLiteral("frmSearch")));
    EXPECT_TRUE(results->isVisible());
    auto* list = results->findChild<QListWidget*>(QStringLiteral("lstSearch"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Task 16 (Task)"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Task 17 (Task)"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(gItems->currentID(), Integer(17));
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));

    // Sixteen fill the slots, the sixteenth in the last one.
    gItems->removeItem(Integer(17));
    floater->updateInfo();
    shown = slotTexts();
    ASSERT_EQ(shown.size(), 16);
    EXPECT_EQ(shown.last(), QStringLiteral("Task 16"));
    EXPECT_EQ(slot(16)->property("Tag").toString(), QStringLiteral("16"));
    // A shorter list leaves the rest empty, each keeping its old Tag.
    for (int i = 4; i <= 16; ++i)
        gItems->setPeriod(QStringLiteral("2"), Integer(i));
    floater->updateInfo();
    EXPECT_EQ(slotTexts().size(), 3);
    EXPECT_EQ(slot(16)->property("Tag").toString(), QStringLiteral("16"));
}

class FaceWithABadItem : public Face {
protected:
    void seed() override {
        items = taskXml(1, QStringLiteral("Fine"), Today, 1) +
                taskXml(70000, QStringLiteral("Id too large"), Today, 1);
        Face::seed();
    }
};

TEST_F(FaceWithABadItem, AnIdOutsideTheWholeNumberRangeLeavesOnlyItsItemOff) {
    floater->expandFloater();
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_FALSE(floater->isShrunk());
    EXPECT_EQ(slotTexts(), QStringList{"Fine"});
}

TEST_F(FaceOfADay, ClickingAMeetingOpensTheEditMeetingDialogOnIt) {
    floater->expandFloater();
    QLabel* lunch = meetingAt(QStringLiteral("12:30"));
    ASSERT_NE(lunch, nullptr);
    QTest::mouseClick(lunch, Qt::LeftButton);
    FormPort* dialog = forms::find(QStringLiteral("dlgEditMeetingDetails"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dynamic_cast<QWidget*>(dialog)->property("Tag").toString(), QStringLiteral("8"));
    EXPECT_FALSE(floater->isShrunk());
}

class FaceOfTheGame : public Face {
protected:
    void seed() override {
        for (int p = 1; p <= 4; ++p)
            items += taskXml(p, QStringLiteral("Task of period %1").arg(p), Today, p);
        Face::seed();
    }
    qint64 colourShowing(int period) {
        gItems->setSelectedPeriod(Integer(period));
        floater->updateInfo();
        return colourOf(slot(1));
    }
    void game(bool running, int current, bool periodRunning) {
        gGame->setRunning(running);
        gGame->setCurrentPeriod(Integer(current));
        gGame->setPeriodRunning(periodRunning);
    }
};

TEST_F(FaceOfTheGame, ThePeriodInPlayIsTheRunningOneOrTheOneAfterAnEndedPeriod) {
    floater->expandFloater();
    game(true, 2, true);
    EXPECT_EQ(colourShowing(2), frmFloater::OpenTaskColor);
    EXPECT_EQ(colourShowing(3), frmFloater::GreyColor);
    EXPECT_EQ(colourShowing(1), frmFloater::GreyColor);
    game(true, 2, false); // period 2 has ended, period 3 not begun
    EXPECT_EQ(colourShowing(3), frmFloater::OpenTaskColor);
    EXPECT_EQ(colourShowing(2), frmFloater::GreyColor);
    game(false, 3, false); // no game: the first period
    EXPECT_EQ(colourShowing(1), frmFloater::OpenTaskColor);
    EXPECT_EQ(colourShowing(3), frmFloater::GreyColor);
}

TEST_F(FaceOfTheGame, ReturnAndEndPeriodShowWhenTheyCanBeUsed) {
    floater->expandFloater();
    game(true, 2, true);
    colourShowing(2);
    EXPECT_FALSE(control("butReturnToPeriodInPlay")->isVisibleTo(floater));
    EXPECT_TRUE(control("btnEndperiod")->isVisibleTo(floater));
    colourShowing(4);
    EXPECT_TRUE(control("butReturnToPeriodInPlay")->isVisibleTo(floater));
    game(true, 2, false);
    colourShowing(4);
    EXPECT_FALSE(control("butReturnToPeriodInPlay")->isVisibleTo(floater));
    EXPECT_FALSE(control("btnEndperiod")->isVisibleTo(floater));

    game(true, 2, true);
    colourShowing(2);
    QTest::mouseClick(control("btnEndperiod"), Qt::LeftButton);
    EXPECT_FALSE(gGame->PeriodRunning());
}

TEST_F(FaceOfTheGame, TheScoreKeepsTwoBlanksUpToNinetyNine) {
    gGame->controls().labTodayScore.caption = QStringLiteral("99");
    floater->updateInfo();
    EXPECT_EQ(control<QLabel>("lblStats")->text(), QStringLiteral("99  "));
    gGame->controls().labTodayScore.caption = QStringLiteral("100");
    floater->updateInfo();
    EXPECT_EQ(control<QLabel>("lblStats")->text(), QStringLiteral("100"));
}

TEST_F(FaceOfTheGame, TheWindowShowsTheGamesControls) {
    GameControls& c = gGame->controls();
    c.butStart = {QStringLiteral("Write the report (25)"), QStringLiteral("3"), true};
    c.fraTimeOut.visible = true;
    c.lblTimeOut.caption = QStringLiteral("12");
    c.lblDate = QDate(2026, 12, 8);
    floater->controlsChanged();
    EXPECT_EQ(control<QPushButton>("butStart")->text(), QStringLiteral("Write the report (25)"));
    EXPECT_EQ(control<QPushButton>("butStart")->property("Tag").toString(), QStringLiteral("3"));
    EXPECT_TRUE(control("fraTimeOut")->isVisibleTo(floater));
    EXPECT_EQ(control<QLabel>("lblTimeOut")->text(), QStringLiteral("12"));
    EXPECT_EQ(floater->shownDate(), QDate(2026, 12, 8));
    // Another day's date shows the way back.
    EXPECT_TRUE(control("butReturnToPeriodInPlay")->isVisibleTo(floater));
    floater->shrinkFloater();
    EXPECT_EQ(c.lblDate, QDate(2026, 12, 7));
}

class FaceOfMarkup : public Face {
protected:
    void seed() override {
        items = taskXml(1, QStringLiteral("&lt;b>bold&lt;/b> &amp; &lt;img src=x>"), Today, 1) +
                meetingXml(2, QStringLiteral("&lt;i>Board&lt;/i>"), Today, QStringLiteral("15:00"));
        Face::seed();
    }
};

TEST_F(FaceOfMarkup, TitlesShowAsTypedNeverAsMarkup) {
    floater->expandFloater();
    ASSERT_EQ(slotTexts(), QStringList{"<b>bold</b> & <img src=x>"});
    EXPECT_EQ(slot(1)->textFormat(), Qt::PlainText);
    ASSERT_EQ(floater->meetingLabels().size(), 1);
    EXPECT_EQ(floater->meetingLabels()[0]->textFormat(), Qt::PlainText);
}

// The face is drawn ahead into an image; a face of another size is drawn afresh, never stretched.
TEST(FacePicture, AFaceDrawnAheadAndThenResizedPaintsAsOneDrawnAtItsNewSize) {
    OrbinPicture ahead(OrbinPicture::Kind::Orbin, QStringLiteral("imgOrbin"), nullptr);
    ahead.resize(120, 110);
    ahead.prepareFace();
    const QImage first = ahead.grab().toImage();
    ahead.resize(200, 150);
    OrbinPicture fresh(OrbinPicture::Kind::Orbin, QStringLiteral("imgOrbin"), nullptr);
    fresh.resize(200, 150);
    EXPECT_EQ(ahead.grab().toImage(), fresh.grab().toImage());
    EXPECT_NE(first.size(), ahead.grab().toImage().size());
}

namespace {

// No meeting label covers another or the date, and every one stands inside the window below the period
// buttons.
void expectLabelsApart(const frmFloater* floater) {
    const QList<QLabel*> labels = floater->meetingLabels();
    const QRect date = floater->findChild<QLabel*>(QStringLiteral("lblDate"))->geometry();
    const QRect area(0, twips::toPixels(630), twips::toPixels(frmFloater::DesignWidth),
                     twips::toPixels(frmFloater::ExpandedHeight) - twips::toPixels(630));
    for (int i = 0; i < labels.size(); ++i) {
        if (labels[i]->isHidden()) continue; // left off the face
        const QRect a = labels[i]->geometry();
        EXPECT_FALSE(a.intersects(date)) << labels[i]->text().toStdString() << " covers the date";
        EXPECT_TRUE(area.contains(a)) << labels[i]->text().toStdString() << " leaves the window";
        for (int j = i + 1; j < labels.size(); ++j) {
            if (labels[j]->isHidden()) continue;
            EXPECT_FALSE(a.intersects(labels[j]->geometry()))
                << labels[i]->text().toStdString() << " and " << labels[j]->text().toStdString();
        }
    }
}

// The place of each label by its meeting's id.
QMap<QString, QRect> placesById(const frmFloater* floater) {
    QMap<QString, QRect> places;
    for (const QLabel* l : floater->meetingLabels())
        places.insert(l->property("Tag").toString(), l->geometry());
    return places;
}

} // namespace

TEST_F(Face, MeetingsNearTwelveAndMidnightStandApartAndClearOfTheDate) {
    floater->expandFloater();
    const QTime times[] = {QTime(11, 45), QTime(12, 0),  QTime(23, 59), QTime(0, 0),
                           QTime(11, 30), QTime(12, 30), QTime(9, 0),   QTime(15, 0)};
    int id = 1;
    for (const QTime& t : times)
        floater->addMeetingToTheOrbin(id++, t, QStringLiteral("Stand-up with the team"), false);
    expectLabelsApart(floater);
    // The earliest of the day keeps its hour: midnight at the top of the clock.
    const QRect midnight = placesById(floater).value(QStringLiteral("4"));
    EXPECT_EQ(midnight.topLeft(), QPoint(twips::toPixels(2982), twips::toPixels(750)));
    shot(floater, QStringLiteral("meetings-near-twelve"));
}

TEST_F(Face, ACrowdedDayKeepsEveryLabelApartTheSameWayWhateverTheOrderOfTheFile) {
    floater->expandFloater();
    QList<std::pair<int, QTime>> meetings;
    // Twelve within two hours round noon, and twelve more in the afternoon.
    for (int i = 0; i < 12; ++i) {
        meetings.append({i + 1, QTime(11, 0).addSecs(i * 600)});
        meetings.append({i + 13, QTime(14, 5).addSecs(i * 600)});
    }
    for (const auto& [id, time] : meetings)
        floater->addMeetingToTheOrbin(id, time, QStringLiteral("Review %1 with the board").arg(id), false);
    ASSERT_EQ(floater->meetingLabels().size(), 24);
    expectLabelsApart(floater);
    shot(floater, QStringLiteral("crowded-day"));
    const QMap<QString, QRect> places = placesById(floater);

    floater->removeAllMeetingsFromTheorbin();
    std::reverse(meetings.begin(), meetings.end());
    for (const auto& [id, time] : meetings)
        floater->addMeetingToTheOrbin(id, time, QStringLiteral("Review %1 with the board").arg(id), false);
    EXPECT_EQ(placesById(floater), places);
}

class FaceOfACrowdedDay : public Face {
protected:
    void seed() override {
        for (int i = 0; i < 12; ++i)
            items += meetingXml(i + 1, QStringLiteral("Meeting %1 of the day").arg(i + 1), Today,
                                QTime(10, 50).addSecs(i * 600).toString(QStringLiteral("hh:mm")));
        Face::seed();
    }
};

TEST_F(FaceOfACrowdedDay, TheRedrawPlacesTheLabelsApartAndAgainInTheSamePlaces) {
    floater->expandFloater();
    ASSERT_EQ(floater->meetingLabels().size(), 12);
    expectLabelsApart(floater);
    const QMap<QString, QRect> places = placesById(floater);
    floater->updateInfo();
    EXPECT_EQ(placesById(floater), places);
}

namespace {

// Today 1,000 meetings, one a minute from midnight (a damaged or hand-made file); tomorrow the first 150 of
// them. Either is more than the face has room for.
class FaceOfAPackedDay : public Face {
protected:
    void seed() override {
        for (int i = 0; i < 1000; ++i) {
            const QString time = QTime(0, 0).addSecs(i * 60).toString(QStringLiteral("hh:mm"));
            const QString title = QStringLiteral("Call %1 of the day").arg(i + 1);
            items += meetingXml(i + 1, title, Today, time);
            if (i < 150) items += meetingXml(2001 + i, title, Tomorrow, time);
        }
        Face::seed();
    }
    // The place of each label shown, by its meeting's minute of the day.
    QMap<int, QRect> shownPlaces() const {
        QMap<int, QRect> places;
        for (const QLabel* l : floater->meetingLabels())
            if (!l->isHidden()) places.insert(l->property("MinuteOfDay").toInt(), l->geometry());
        return places;
    }
};

} // namespace

// As many meetings as the face has room for stand on it, apart, the earliest of the day; the others are
// left off it (Search finds them). Those past its room cost the redraw nothing: a day of 1,000 meetings
// took seconds when each of them searched the whole window for a free place.
TEST_F(FaceOfAPackedDay, MeetingsPastTheRoomOfTheFaceAreLeftOffAndCostNothing) {
    floater->expandFloater();
    floater->setShownDate(QDate(2026, 12, 8));
    floater->updateInfo();
    expectLabelsApart(floater);
    const QMap<int, QRect> few = shownPlaces();
    EXPECT_GT(few.size(), 30);
    EXPECT_LT(few.size(), 150);
    EXPECT_EQ(few.lastKey(), few.size() - 1); // one a minute from midnight
    for (const QLabel* l : floater->meetingLabels()) {
        if (!l->isHidden()) continue;
        EXPECT_GE(l->property("MinuteOfDay").toInt(), few.size());
    }
    const qint64 fewWork = floater->meetingPlacesTried();
    // A few searches of the whole face at most (a crowded rim, each inner ring, the window).
    EXPECT_LT(fewWork, 60000);

    floater->setShownDate(QDate(2026, 12, 7));
    floater->updateInfo();
    EXPECT_TRUE(shownPlaces() == few);
    EXPECT_EQ(floater->meetingPlacesTried(), fewWork);
    EXPECT_LE(floater->meetingLabels().size(), few.size() + 1);
}
