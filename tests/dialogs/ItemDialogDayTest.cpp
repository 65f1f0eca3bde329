// The day frame of the four item dialogs, and the meeting dialogs' window.
#include "tests/dialogs/MeetingFixture.h"

#include "core/DateTexts.h"
#include "core/DayChoices.h"
#include "dialogs/DialogControls.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/dlgEditMeetingDetails.h"
#include "dialogs/dlgEditTaskDetails.h"
#include "dialogs/dlgNewMeetingDetails.h"
#include "dialogs/dlgNewTaskDetails.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QStyle>

namespace {

const QDate Thursday(2026, 12, 10);
const QDate Friday(2026, 12, 11);
const QDate FarOff(2026, 12, 23);

class ItemDialogDay : public MeetingDialogs {
protected:
    QByteArray seed() override {
        return meetingXml(1, QStringLiteral("Budget review"), QStringLiteral("20261211"),
                          QStringLiteral("09:30")) +
               meetingXml(2, QStringLiteral("Stand-up"), QStringLiteral("20261207"), QStringLiteral("08:05"))
                   .replace("<note/>", "<note>Room 4</note>") +
               meetingXml(3, QStringLiteral("Far off"), QStringLiteral("20261223"), QStringLiteral("10:00")) +
               taskXml(4, QStringLiteral("Call the bank"), QStringLiteral("20261208"), 1) +
               taskXml(5, QStringLiteral("Some day"), QStringLiteral("20261220"), 2);
    }
    static QString dateBox(QWidget* d) { return control<QLineEdit>(d, "txtDate")->text(); }
    // The day the list names: its text, which is that of the entry selected when one is.
    static QString named(QWidget* d) {
        auto* list = control<QComboBox>(d, "cmbDate");
        if (list->currentIndex() >= 0) {
            EXPECT_EQ(list->currentText(), list->itemText(list->currentIndex()));
        }
        return list->currentText();
    }
};

} // namespace

TEST_F(ItemDialogDay, TheDayListNamesTheDayInTheDateBoxOrNone) {
    // The edit dialogs show the item's own day; filling the list in acts as no choice of a day.
    QWidget* d = editMeeting(1);
    EXPECT_EQ(dateBox(d), shortDateText(Friday));
    EXPECT_EQ(named(d), QStringLiteral("Friday"));
    EXPECT_EQ(control<QComboBox>(d, "cmbDate")->currentIndex(),
              control<QComboBox>(d, "cmbDate")->findText(QStringLiteral("Friday")));
    EXPECT_EQ(named(editMeeting(2)), QStringLiteral("Today"));
    d = editMeeting(3); // past the week the list offers
    EXPECT_EQ(dateBox(d), shortDateText(FarOff));
    EXPECT_EQ(named(d), QString());
    EXPECT_EQ(control<QComboBox>(d, "cmbDate")->currentIndex(), -1);

    d = editTask(4);
    EXPECT_EQ(dateBox(d), shortDateText(today().addDays(1)));
    EXPECT_EQ(named(d), QStringLiteral("Tomorrow"));
    EXPECT_EQ(gChosenDate, today());
    EXPECT_EQ(named(editTask(5)), QString());
    unloadLoadedForms();

    // The new dialogs show the orbin's day.
    gGame->controls().lblDate = Thursday;
    d = openNewTask();
    EXPECT_EQ(dateBox(d), shortDateText(Thursday));
    EXPECT_EQ(named(d), QStringLiteral("Thursday"));
    QWidget* m = openNewMeeting();
    EXPECT_EQ(dateBox(m), shortDateText(Thursday));
    EXPECT_EQ(named(m), QStringLiteral("Thursday"));
    gGame->controls().lblDate = FarOff;
    EXPECT_EQ(named(openNewTask()), QString());
    EXPECT_EQ(named(openNewMeeting()), QString());

    // A day chosen, or typed into the box, is the one the list names.
    chooseDay(d, QStringLiteral("Next Monday"));
    EXPECT_EQ(dateBox(d), shortDateText(today().addDays(7)));
    EXPECT_EQ(named(d), QStringLiteral("Next Monday"));
    type(d, "txtDate", shortDateText(QDate(2026, 12, 9)));
    EXPECT_EQ(named(d), QStringLiteral("Wednesday"));
    type(d, "txtDate", QStringLiteral("someday"));
    EXPECT_EQ(named(d), QString());
    chooseDay(m, QStringLiteral("Tomorrow"));
    EXPECT_EQ(named(m), QStringLiteral("Tomorrow"));
    chooseDay(m, QStringLiteral("Today")); // at the head of the list once a day was chosen
    EXPECT_EQ(dateBox(m), shortDateText(today()));
    EXPECT_EQ(named(m), QStringLiteral("Today"));
}

TEST_F(ItemDialogDay, TheMeetingDialogsShowAWholeDateWithTwoDigitsOfDay) {
    gGame->controls().lblDate = FarOff;
    for (QWidget* d : {static_cast<QWidget*>(openNewMeeting()), static_cast<QWidget*>(editMeeting(3))}) {
        SCOPED_TRACE(d->objectName().toStdString());
        auto* box = control<QLineEdit>(d, "txtDate");
        EXPECT_EQ(box->text(), shortDateText(FarOff));
        // The text with the box's frame and its margins on both sides.
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->text()) + 2 * frame + 4);
        EXPECT_EQ(box->cursorPosition(), 0);
        const QWidget* frameBox = control(d, "Frame3");
        EXPECT_TRUE(frameBox->rect().contains(box->geometry())) << "inside its frame";
    }
}

// Like the task dialogs, the meeting dialogs keep the size of their view: no resizing, no maximising.
TEST_F(ItemDialogDay, TheMeetingDialogsKeepTheirSize) {
    auto fixed = [](QWidget* d) {
        EXPECT_EQ(d->minimumSize(), d->maximumSize()) << d->objectName().toStdString();
        EXPECT_EQ(d->size(), d->maximumSize());
        EXPECT_TRUE(d->windowFlags().testFlag(Qt::CustomizeWindowHint));
        EXPECT_FALSE(d->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(d->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    };
    fixed(openNewMeeting());
    fixed(editMeeting(1));
    QWidget* advanced = editMeeting(2); // with a note
    fixed(advanced);
    EXPECT_EQ(advanced->height(),
              twips::toPixels(dlgEditMeetingDetails::AdvancedHeight - dialogcontrols::CaptionAllowance));
}
