#include "tests/dialogs/MeetingFixture.h"

#include "core/DateTexts.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/LineControl.h"
#include "dialogs/dlgNewMeetingDetails.h"

#include <QLabel>
#include <QPointer>
#include <cmath>

namespace {

class NewMeeting : public MeetingDialogs {
protected:
    dlgNewMeetingDetails* open(const QString& project = QString()) { return openNewMeeting(project); }

    static QPushButton* dial(QWidget* d, int n) {
        return control<QPushButton>(d, QStringLiteral("but%1").arg(n, 2, 10, QLatin1Char('0')).toLatin1());
    }
    static QStringList captions(QWidget* d) {
        QStringList c;
        for (int n = 1; n <= 12; ++n)
            c << dial(d, n)->text();
        return c;
    }
    static QStringList visibleHands(QWidget* d) {
        QStringList names;
        for (LineControl* hand : d->findChildren<LineControl*>())
            if (hand->isVisibleTo(d)) names << hand->objectName();
        names.sort();
        return names;
    }
    static QString time(QWidget* d) {
        return control<QLineEdit>(d, "txtHour")->text() + QLatin1Char(':') +
               control<QLineEdit>(d, "txtMin")->text();
    }
};

const QStringList Hours = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
const QStringList Minutes = {"5", "10", "15", "20", "25", "30", "35", "40", "45", "50", "55", "0"};

} // namespace

TEST_F(NewMeeting, OpensOnTheOrbinsDayWithAnHourDialNoHandsNoonAndNoDuration) {
    dlgNewMeetingDetails* d = open();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Schedule Meeting - ") + shortDateText(today()));
    EXPECT_EQ(captions(d), Hours);
    EXPECT_TRUE(visibleHands(d).isEmpty());
    EXPECT_EQ(d->findChildren<LineControl*>().size(), 24);
    EXPECT_EQ(time(d), QStringLiteral("12:00"));
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), shortDateText(today()));
    EXPECT_EQ(control<QComboBox>(d, "cmbDate")->currentText(), QStringLiteral("Today"));
    EXPECT_EQ(control<QComboBox>(d, "cmbDate")->itemText(0), QStringLiteral("Tomorrow"));
    EXPECT_EQ(d->focusWidget(), control(d, "txtMeetingTitle"));
    for (QPushButton* b : control(d, "frameTimeEstimate")->findChildren<QPushButton*>())
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();

    // Blanks are no title; one letter is.
    type(d, "txtMeetingTitle", QStringLiteral("   "));
    EXPECT_FALSE(control(d, "but_More")->isEnabled());
    QTest::keyClicks(control(d, "txtMeetingTitle"), QStringLiteral("x"));
    EXPECT_TRUE(control(d, "frameTimeEstimate")->isEnabled());
    for (QPushButton* b : control(d, "frameTimeEstimate")->findChildren<QPushButton*>())
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
}

TEST_F(NewMeeting, EachDialButtonPicksItsHourThenItsMinuteAndShowsTheHandPointingAtIt) {
    dlgNewMeetingDetails* d = open();
    const QStringList hours = {"13", "14", "15", "16", "17", "18", "07", "08", "09", "10", "11", "12"};
    const QStringList minutes = {"05", "10", "15", "20", "25", "30", "35", "40", "45", "50", "55", "00"};
    for (int n = 1; n <= 12; ++n) {
        SCOPED_TRACE(n);
        const QString hourHand = QStringLiteral("Hour%1").arg(n, 2, 10, QLatin1Char('0'));
        const QString minuteHand = QStringLiteral("Minute") + minutes[n - 1];
        QTest::mouseClick(dial(d, n), Qt::LeftButton);
        EXPECT_EQ(control<QLineEdit>(d, "txtHour")->text(), hours[n - 1]);
        EXPECT_EQ(captions(d), Minutes);
        QTest::mouseClick(dial(d, n), Qt::LeftButton);
        EXPECT_EQ(control<QLineEdit>(d, "txtMin")->text(), minutes[n - 1]);
        EXPECT_EQ(captions(d), Hours);
        EXPECT_EQ(visibleHands(d), (QStringList{hourHand, minuteHand}));
        // Both hands start at the dial's centre and end nearer to this button than to any other.
        for (const QString& name : {hourHand, minuteHand}) {
            auto* hand = control<LineControl>(d, name.toLatin1());
            auto distance = [&](int k) {
                const QRect r = dial(d, k)->geometry();
                const QPointF c(r.center().x() * 15.0, r.center().y() * 15.0);
                return std::hypot(hand->to().x() - c.x(), hand->to().y() - c.y());
            };
            for (int k = 1; k <= 12; ++k)
                if (k != n) {
                    EXPECT_LT(distance(n), distance(k)) << name.toStdString() << " vs but" << k;
                }
        }
    }
    // The last pick of each wins, in any order: 3 then 2 gives 15:10 with the dial back in hour mode.
    QTest::mouseClick(dial(d, 3), Qt::LeftButton);
    QTest::mouseClick(dial(d, 2), Qt::LeftButton);
    EXPECT_EQ(time(d), QStringLiteral("15:10"));
    EXPECT_EQ(visibleHands(d), (QStringList{"Hour03", "Minute10"}));
    EXPECT_EQ(captions(d), Hours);
}

TEST_F(NewMeeting, ADurationButtonStoresEveryFieldWritesTheFileAndCloses) {
    QPointer<dlgNewMeetingDetails> d = open();
    type(d, "txtMeetingTitle", QStringLiteral(" Budget review "));
    type(d, "txtObjective1", QStringLiteral("Agree the numbers"));
    QTest::mouseClick(dial(d, 3), Qt::LeftButton);
    QTest::mouseClick(dial(d, 2), Qt::LeftButton);
    click(d, "but_40_Min");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull());
    EXPECT_TRUE(orbin.calls.contains(QStringLiteral("updateInfo")));
    const QString file = fileText();
    EXPECT_TRUE(file.contains(QStringLiteral(
        "<item><id>1</id><now>2026-12-07 10:00:00</now><date>20261207</date><title> Budget review </title>"
        "<period/><estimate>45</estimate><status"
        "/><done>false</done><donedate>NotDone</donedate><doneperiod/>"
        "<donetime/><note/><points>0</points><penaltypoints/><type>Meeting</type><obj1>Agree the "
        "numbers</obj1>"
        "<obj2/><obj3/><meetingtime>15:10</meetingtime><chairm/><timingbonus>0</timingbonus>"
        "<project>0</project></item>")))
        << file.toStdString();
}

TEST_F(NewMeeting, EachDurationButtonHasItsOwnMinutesAndNoPickIsNoon) {
    const std::pair<const char*, const char*> buttons[] = {
        {"but_5_Min", "5"},   {"but_15_Min", "15"}, {"but_30_min", "30"},   {"but_40_Min", "45"},
        {"but_60_Min", "60"}, {"but_90_Min", "90"}, {"but_120_Min", "120"}, {"but_More", "180"}};
    for (const auto& [name, minutes] : buttons) {
        dlgNewMeetingDetails* d = open();
        type(d, "txtMeetingTitle", QString::fromLatin1(name));
        click(d, name);
    }
    for (int id = 1; id <= 8; ++id) {
        EXPECT_EQ(gItems->Title(id), QString::fromLatin1(buttons[id - 1].first));
        EXPECT_EQ(gItems->Estimate(id).value(), QString::fromLatin1(buttons[id - 1].second).toInt());
        EXPECT_EQ(gItems->MeetingTime(id), QStringLiteral("12:00"));
    }
}

TEST_F(NewMeeting, ATypedTimeIsStoredAsTypedButOnlyWhenItIsATime) {
    dlgNewMeetingDetails* d = open();
    type(d, "txtMeetingTitle", QStringLiteral("Call"));
    struct Bad {
        const char *hour, *minute, *field;
    };
    for (const Bad& bad : {Bad{"ab", "05", "hour"}, Bad{"24", "05", "hour"}, Bad{"-1", "05", "hour"},
                           Bad{"", "05", "hour"}, Bad{"8", "60", "minute"}, Bad{"8", "5.5", "minute"}}) {
        SCOPED_TRACE(std::string(bad.hour) + ":" + bad.minute);
        type(d, "txtHour", QString::fromLatin1(bad.hour));
        type(d, "txtMin", QString::fromLatin1(bad.minute));
        const int beeps = prompter.beeps;
        click(d, "but_30_min");
        EXPECT_EQ(prompter.beeps, beeps + 1);
        ASSERT_FALSE(prompter.boxes.isEmpty());
        EXPECT_TRUE(
            prompter.boxes.last().text.startsWith(QStringLiteral("The %1 ").arg(QLatin1String(bad.field))));
        EXPECT_TRUE(d->isVisible());
    }
    EXPECT_EQ(gItems->maxID().value(), 0);
    EXPECT_FALSE(fileText().contains(QStringLiteral("<title>Call</title>")));

    type(d, "txtHour", QStringLiteral("8"));
    type(d, "txtMin", QStringLiteral("5"));
    click(d, "but_30_min");
    EXPECT_EQ(gItems->MeetingTime(1), QStringLiteral("8:5"));
}

TEST_F(NewMeeting, ADateThatIsNoneStoresNothingUntilADayIsChosen) {
    dlgNewMeetingDetails* d = open();
    type(d, "txtMeetingTitle", QStringLiteral("Review"));
    type(d, "txtDate", QStringLiteral("soon"));
    click(d, "but_60_Min");
    EXPECT_EQ(prompter.beeps, 1);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes.first().text.startsWith(QStringLiteral("\"soon\" is not a date.")));
    EXPECT_EQ(gItems->maxID().value(), 0);
    EXPECT_TRUE(d->isVisible());

    // Choosing a day puts "Today" back at the head of the list and the day in the date box.
    chooseDay(d, QStringLiteral("Tomorrow"));
    EXPECT_EQ(control<QComboBox>(d, "cmbDate")->itemText(0), QStringLiteral("Today"));
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), shortDateText(today().addDays(1)));
    click(d, "but_60_Min");
    EXPECT_EQ(gItems->Date_(1), today().addDays(1));

    // A typed date counts too, and "Today" is today whichever day the orbin shows.
    gGame->controls().lblDate = today().addDays(3);
    d = open();
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), shortDateText(today().addDays(3)));
    type(d, "txtMeetingTitle", QStringLiteral("Typed"));
    type(d, "txtDate", QStringLiteral("2026-12-24"));
    click(d, "but_60_Min");
    EXPECT_EQ(gItems->Date_(2), QDate(2026, 12, 24));
    d = open();
    type(d, "txtMeetingTitle", QStringLiteral("Chosen today"));
    chooseDay(d, QStringLiteral("Tomorrow"));
    chooseDay(d, QStringLiteral("Today"));
    click(d, "but_60_Min");
    EXPECT_EQ(gItems->Date_(3), today());
}

TEST_F(NewMeeting, AProjectPresetEscAndTheCloseBoxAndTwoOpenDialogs) {
    dlgNewMeetingDetails* first = open(QStringLiteral("7"));
    dlgNewMeetingDetails* second = open();
    EXPECT_EQ(first->lblProject()->text(), QStringLiteral("7"));
    EXPECT_FALSE(first->lblProject()->isVisibleTo(first));
    type(first, "txtMeetingTitle", QStringLiteral("For the project"));
    type(second, "txtMeetingTitle", QStringLiteral("On its own"));
    click(second, "but_5_Min");
    click(first, "but_5_Min");
    EXPECT_EQ(gItems->Title(1), QStringLiteral("On its own"));
    EXPECT_EQ(gItems->Project(1), QStringLiteral("0"));
    EXPECT_EQ(gItems->Title(2), QStringLiteral("For the project"));
    EXPECT_EQ(gItems->Project(2), QStringLiteral("7"));

    QPointer<dlgNewMeetingDetails> esc = open();
    type(esc, "txtMeetingTitle", QStringLiteral("Never"));
    QTest::keyClick(control(esc, "txtMeetingTitle"), Qt::Key_Escape);
    QPointer<dlgNewMeetingDetails> closed = open();
    type(closed, "txtMeetingTitle", QStringLiteral("Never either"));
    closed->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(esc.isNull());
    EXPECT_TRUE(closed.isNull());
    EXPECT_EQ(gItems->maxID().value(), 2);
}

TEST_F(NewMeeting, AnOrbinShowingNoDayIsReportedAndNothingCanBeStoredOnIt) {
    gGame->controls().lblDate = QDate();
    dlgNewMeetingDetails* d = open();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.first().text,
              QStringLiteral("Error!\r\nQuorvane - dlgNewMeetingDetails_Form_Load: 13 - Type mismatch"));
    EXPECT_EQ(prompter.boxes.first().title, QStringLiteral("Quorvane error"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), QStringLiteral("Start"));
    type(d, "txtMeetingTitle", QStringLiteral("Nowhere"));
    click(d, "but_5_Min");
    EXPECT_EQ(gItems->maxID().value(), 0);
}
