#include "tests/dialogs/MeetingFixture.h"

#include "core/DateTexts.h"
#include "dialogs/DialogControls.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/TimeSpinners.h"
#include "dialogs/dlgEditMeetingDetails.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QToolButton>

namespace {

const QString Today = QStringLiteral("20261207");
const QString Friday = QStringLiteral("20261211");

class EditMeeting : public MeetingDialogs {
protected:
    QByteArray seed() override {
        return meetingXml(1, QStringLiteral("Budget review"), Friday, QStringLiteral("09:30")) +
               meetingXml(2, QStringLiteral("Stand-up"), Today, QStringLiteral("8:5")) +
               meetingXml(3, QStringLiteral("Weekly"), Today, QStringLiteral("14:00"))
                   .replace("<type>Meeting</type>", "<type>wMeeting</type>")
                   .replace("<obj1/>", "<obj1>Ship it</obj1>")
                   .replace("<note/>", "<note>Room 4\r\nBring the slides</note>") +
               meetingXml(4, QStringLiteral("Typed by hand"), Friday, QStringLiteral("half past"));
    }
    dlgEditMeetingDetails* open(int id) {
        openEditMeeting(Integer(id));
        return dlgEditMeetingDetails::instance();
    }
    static QString timeText(QWidget* d) { return control<QLineEdit>(d, "txtTime")->text(); }
    static QScrollBar* bar(QWidget* d, const char* name) { return control<QScrollBar>(d, name); }
    // One click on the upper (count up) or lower arrow of a spinner.
    static void step(QWidget* d, const char* name, bool up) {
        bar(d, name)->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                                       : QAbstractSlider::SliderSingleStepAdd);
    }
    // Types a time and leaves the box.
    static void typeTime(QWidget* d, const QString& text) {
        type(d, "txtTime", text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(control(d, "txtTime"), &out);
    }
    static int outerHeight(QWidget* d) {
        return twips::toPixels(twips::fromPixels(d->height()) + dialogcontrols::CaptionAllowance);
    }
};

} // namespace

TEST_F(EditMeeting, ShowsTheMeetingOnItsOwnDayWithItsTimeInTheSpinnersAndTheViewItsNoteNeeds) {
    gGame->controls().lblDate = today().addDays(1); // the orbin shows another day
    dlgEditMeetingDetails* d = open(1);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Budget review"));
    EXPECT_EQ(control<QLineEdit>(d, "txtMeetingTitle")->text(), QStringLiteral("Budget review"));
    EXPECT_EQ(timeText(d), QStringLiteral("09:30"));
    EXPECT_EQ(bar(d, "scrHour")->value(), -9);
    EXPECT_EQ(bar(d, "scrMinute")->value(), -30);
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), shortDateText(QDate(2026, 12, 11)));
    EXPECT_EQ(control<QLineEdit>(d, "txtEstimate")->text(), QStringLiteral("60"));
    // No note: the simple view.
    EXPECT_FALSE(control(d, "txtMeetingBody")->isVisibleTo(d));
    EXPECT_EQ(outerHeight(d), twips::toPixels(dlgEditMeetingDetails::SimpleHeight));
    EXPECT_EQ(control(d, "butSave")->y(), twips::toPixels(dlgEditMeetingDetails::SimpleButtonTop));

    // A time stored without leading zeros shows with them.
    d = open(2);
    EXPECT_EQ(timeText(d), QStringLiteral("08:05"));

    d = open(3);
    EXPECT_TRUE(control(d, "txtMeetingBody")->isVisibleTo(d));
    EXPECT_EQ(outerHeight(d), twips::toPixels(dlgEditMeetingDetails::AdvancedHeight));
    EXPECT_EQ(control(d, "butDone")->y(), twips::toPixels(dlgEditMeetingDetails::AdvancedButtonTop));

    // A stored time that is none is reported; the rest of the meeting is shown, so a Save loses nothing.
    d = open(4);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.first().text,
              QStringLiteral("Error!\r\nQuorvane - delEditMeetingDetails.Populate: 13 - Type mismatch"));
    EXPECT_EQ(control<QLineEdit>(d, "txtEstimate")->text(), QStringLiteral("60"));
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), shortDateText(QDate(2026, 12, 11)));
}

TEST_F(EditMeeting, TheSpinnersStepWithCarryAndWrapAndATypedTimeIsTakenOrBeepedAway) {
    dlgEditMeetingDetails* d = open(1);
    struct Step {
        const char* from;
        const char* bar;
        bool up;
        const char* to;
    };
    for (const Step& s :
         {Step{"10:59", "scrMinute", true, "11:00"}, Step{"00:00", "scrMinute", false, "23:59"},
          Step{"23:59", "scrMinute", true, "00:00"}, Step{"23:15", "scrHour", true, "00:15"},
          Step{"00:15", "scrHour", false, "23:15"}, Step{"10:30", "scrMinute", false, "10:29"}}) {
        SCOPED_TRACE(std::string(s.from) + (s.up ? " up " : " down ") + s.bar);
        typeTime(d, QString::fromLatin1(s.from));
        step(d, s.bar, s.up);
        EXPECT_EQ(timeText(d), QString::fromLatin1(s.to));
        const TimeSpinners::HourMinute shown = *TimeSpinners::readTime(timeText(d));
        EXPECT_EQ(bar(d, "scrHour")->value(), -shown.hour);
        EXPECT_EQ(bar(d, "scrMinute")->value(), -shown.minute);
    }
    EXPECT_EQ(prompter.beeps, 0);

    const std::pair<const char*, const char*> typed[] = {{"7:05", "07:05"},  {"24:00", "00:00"},
                                                         {"10:60", "11:00"}, {"-1:30", "23:30"},
                                                         {"10:-1", "09:59"}, {" 9 : 5 ", "09:05"}};
    for (const auto& [text, shown] : typed) {
        typeTime(d, QString::fromLatin1(text));
        EXPECT_EQ(timeText(d), QString::fromLatin1(shown)) << text;
    }
    EXPECT_EQ(prompter.beeps, 0);
    int beeps = 0;
    for (const char* bad : {"1845", "ab:10", "10:", "25:00", "10:61", "7.5:00", ""}) {
        typeTime(d, QString::fromLatin1(bad));
        EXPECT_EQ(timeText(d), QStringLiteral("09:05")) << bad;
        EXPECT_EQ(prompter.beeps, ++beeps) << bad;
    }
}

TEST_F(EditMeeting, SaveWritesTheEditsAndKeepsTheMeetingsDayUnlessAnotherIsChosen) {
    dlgEditMeetingDetails* d = open(1);
    auto* save = control<QToolButton>(d, "butSave");
    type(d, "txtMeetingTitle", QString());
    EXPECT_FALSE(save->isEnabled());
    QTest::keyClicks(control(d, "txtMeetingTitle"), QStringLiteral(" "));
    EXPECT_TRUE(save->isEnabled()); // blanks may be saved
    type(d, "txtMeetingTitle", QStringLiteral("Budget review, part 2"));
    type(d, "txtObjective1", QStringLiteral("Agree"));
    typeTime(d, QStringLiteral("16:45"));
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditMeetingDetails")));
    QString file = fileText();
    EXPECT_TRUE(file.contains(QStringLiteral("<date>20261211</date><title>Budget review, part 2</title>")))
        << file.toStdString();
    EXPECT_TRUE(file.contains(QStringLiteral("<estimate>60</estimate>")));
    EXPECT_TRUE(file.contains(QStringLiteral("<obj1>Agree</obj1>")));
    EXPECT_TRUE(file.contains(QStringLiteral("<meetingtime>16:45</meetingtime>")));
    EXPECT_TRUE(orbin.calls.contains(QStringLiteral("updateInfo")));

    // A note left as it was goes back as stored; a day chosen moves the meeting.
    d = open(3);
    chooseDay(d, QStringLiteral("Tomorrow"));
    click(d, "butSave");
    EXPECT_EQ(gItems->Date_(3), today().addDays(1));
    EXPECT_EQ(gItems->Note(3), QStringLiteral("Room 4\r\nBring the slides"));

    // A day that is none: told, nothing written, the dialog stays.
    d = open(2);
    type(d, "txtMeetingTitle", QStringLiteral("Changed"));
    type(d, "txtDate", QStringLiteral("someday"));
    click(d, "butSave");
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(gItems->Title(2), QStringLiteral("Stand-up"));
    EXPECT_EQ(gItems->MeetingTime(2), QStringLiteral("8:5"));
    EXPECT_TRUE(d->isVisible());
}

TEST_F(EditMeeting, DeleteAsksWithNoAsTheDefaultAndRemovesOnlyOnYes) {
    dlgEditMeetingDetails* d = open(1);
    prompter.script({Prompter::No});
    click(d, "butDelete");
    ASSERT_EQ(prompter.boxes.size(), 1);
    const FakePrompter::Box& box = prompter.boxes.first();
    EXPECT_EQ(box.text, QStringLiteral("Are you sure you want to delete this meeting \"Budget review\"?"));
    EXPECT_EQ(box.title, QStringLiteral("Delete meeting"));
    EXPECT_EQ(box.buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(box.icon, Prompter::Icon::Information);
    EXPECT_EQ(box.defaultAnswer, Prompter::No);
    EXPECT_TRUE(orbin.calls.contains(QStringLiteral("shrink")));
    EXPECT_EQ(gItems->Title(1), QStringLiteral("Budget review"));
    EXPECT_TRUE(d->isVisible());

    prompter.script({Prompter::Yes});
    click(d, "butDelete");
    EXPECT_TRUE(gItems->Title(1).isEmpty());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditMeetingDetails")));
    EXPECT_TRUE(fileText().contains(QStringLiteral("<title>Budget review</title>"))); // until the next save
}

TEST_F(EditMeeting, DoneAsksAboutTheObjectiveWhenThereIsOneAndMarksTheMeetingButNotItsNextOne) {
    gGame->setCurrentPeriod(Integer(3));
    gGame->controls().lblRemainingOfPeriod.caption = QStringLiteral("17");
    click(open(1), "butDone");
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(gItems->Done(1), QStringLiteral("True"));
    EXPECT_EQ(gItems->DoneDate(1), QStringLiteral("2026-12-07"));
    EXPECT_EQ(gItems->DonePeriod(1).value(), 3);
    EXPECT_EQ(gItems->DoneTime(1), QStringLiteral("17"));
    EXPECT_EQ(gItems->maxID().value(), 4); // a plain meeting comes once
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditMeetingDetails")));

    prompter.script({Prompter::No}); // either answer marks it done
    click(open(3), "butDone");
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.first().text,
              QStringLiteral("Did you achieve the first objective:\r\n\r\n'Ship it'"));
    EXPECT_EQ(prompter.boxes.first().title, QStringLiteral("Meeting Objective 1!"));
    EXPECT_EQ(prompter.boxes.first().buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.boxes.first().icon, Prompter::Icon::Question);
    EXPECT_EQ(gItems->Done(3), QStringLiteral("True"));
    // The repeating meeting's next one is made before this one is marked.
    EXPECT_EQ(gItems->maxID().value(), 5);
    EXPECT_EQ(gItems->Title(5), QStringLiteral("Weekly"));
    EXPECT_EQ(gItems->Done(5), QStringLiteral("false"));
    EXPECT_EQ(gItems->DoneDate(5), QStringLiteral("NotDone"));
    EXPECT_FALSE(fileText().contains(QStringLiteral("<done>True</done>"))); // written at the next save
}

TEST_F(EditMeeting, OpeningAnotherMeetingDropsTheEditsOfTheFirstAndEscStoresNothing) {
    QPointer<dlgEditMeetingDetails> first = open(1);
    type(first, "txtMeetingTitle", QStringLiteral("Not kept"));
    dlgEditMeetingDetails* second = open(2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(forms::loaded().size(), 1);
    EXPECT_EQ(second->property("Tag").toString(), QStringLiteral("2"));
    EXPECT_EQ(gItems->Title(1), QStringLiteral("Budget review"));

    type(second, "txtMeetingTitle", QStringLiteral("Not kept either"));
    QTest::keyClick(control(second, "txtObjective1"), Qt::Key_Escape);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditMeetingDetails")));
    EXPECT_EQ(gItems->Title(2), QStringLiteral("Stand-up"));
}

TEST_F(EditMeeting, ATimeTypedAndThenSteppedWithTheMouseIsTakenBeforeTheStep) {
    dlgEditMeetingDetails* d = open(1);
    QApplication::setActiveWindow(d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    auto* box = control<QLineEdit>(d, "txtTime");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("10:59"));
    // A click on the minute spinner's upper arrow, as the user makes it.
    QScrollBar* minute = bar(d, "scrMinute");
    QStyleOptionSlider option;
    option.initFrom(minute);
    option.orientation = Qt::Vertical;
    option.minimum = minute->minimum();
    option.maximum = minute->maximum();
    option.sliderPosition = option.sliderValue = minute->value();
    option.singleStep = option.pageStep = 1;
    const QRect up =
        minute->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubLine, minute);
    QTest::mouseClick(minute, Qt::LeftButton, {}, up.center());
    EXPECT_EQ(timeText(d), QStringLiteral("11:00"));
    // The clicked spinner has the focus now, and its arrow keys count the same way as its arrows.
    QTest::keyClick(minute, Qt::Key_Up);
    EXPECT_EQ(timeText(d), QStringLiteral("11:01"));
    EXPECT_EQ(prompter.beeps, 0);
}
