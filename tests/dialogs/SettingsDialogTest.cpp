#include "core/PasswordScramble.h"
#include "dialogs/IntegerFieldGuard.h"
#include "dialogs/dlgSettings.h"
#include "dialogs/frmPassword.h"
#include "tests/dialogs/SettingsWorld.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

const QString InputError = QStringLiteral("Input error");

class SettingsDialog : public SettingsWorld {
protected:
    void seed() override { env.writeSettings(settingsText); }

    static dlgSettings* open() { return SettingsWorld::open<dlgSettings>(); }
    // Clicks into the box and types over its text.
    static void retype(QLineEdit* box, const QString& text) {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
        if (text.isEmpty()) QTest::keyClick(box, Qt::Key_Delete);
    }
    static bool isLoaded() { return forms::isLoaded(QStringLiteral("dlgSettings")); }

    QByteArray settingsText = "[General]\nFirstTime=false\n";
};

} // namespace

TEST_F(SettingsDialog, ShowsTheSettingsAndSaveStoresTheFieldsAsShown) {
    settingsText =
        "[General]\nDisplayLength=7\nBossKey=0\nonTop=1\nconfirmExit=0\nmeetingReminderAdvance=15\n"
        "[Period]\nStartTimePeriod2=9:5\nStartTimePeriod3=14:35\nStartTimePeriod4=6 pm\n";
    TearDown();
    SetUp();
    dlgSettings* form = open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvane - Settings"));
    EXPECT_EQ(form->txtPopupTime()->text(), QStringLiteral("7"));
    EXPECT_FALSE(form->chkBossKey()->isChecked());
    EXPECT_TRUE(form->chkOnTop()->isChecked());
    EXPECT_FALSE(form->chkConfirmExit()->isChecked());
    EXPECT_EQ(form->txtReminder()->text(), QStringLiteral("15"));
    EXPECT_FALSE(form->chkPassword()->isChecked());
    EXPECT_EQ(form->txtTime(0)->text(), QStringLiteral("09:05"));
    EXPECT_EQ(form->txtTime(1)->text(), QStringLiteral("14:35"));
    // A stored time the rows cannot read shows as it stands, and goes back so.
    EXPECT_EQ(form->txtTime(2)->text(), QStringLiteral("6 pm"));
    EXPECT_EQ(form->txtPopupTime()->font().family(), QStringLiteral("Verdana"));

    retype(form->txtPopupTime(), QStringLiteral("012"));
    form->chkBossKey()->click();
    form->chkConfirmExit()->click();
    form->findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    EXPECT_FALSE(isLoaded());
    EXPECT_TRUE(prompter.boxes.isEmpty());

    EXPECT_EQ(stored("General", "DisplayLength"), QStringLiteral("012")); // as typed
    EXPECT_EQ(stored("General", "BossKey"), QStringLiteral("1"));
    EXPECT_EQ(stored("General", "onTop"), QStringLiteral("1"));
    EXPECT_EQ(stored("General", "meetingReminderAdvance"), QStringLiteral("15"));
    EXPECT_EQ(stored("General", "confirmExit"), QStringLiteral("1"));
    EXPECT_EQ(env.readSettings().count("onfirmExit="), 1); // one value, whatever its letter case
    EXPECT_EQ(stored("Period", "StartTimePeriod2"), QStringLiteral("09:05"));
    EXPECT_EQ(stored("Period", "StartTimePeriod3"), QStringLiteral("14:35"));
    EXPECT_EQ(stored("Period", "StartTimePeriod4"), QStringLiteral("6 pm"));
    EXPECT_EQ(stored("General", "password"), QString());
    EXPECT_EQ(gSettings->iDisplayLength(), Integer(12));
    EXPECT_TRUE(gSettings->bBossKey());
    EXPECT_TRUE(gSettings->confirmExit());
    EXPECT_EQ(gSettings->StartTimePeriod4(), QStringLiteral("6 pm"));
}

TEST_F(SettingsDialog, UseAppliesAtOnceAndCancelOrEscChangeNothing) {
    const Settings before = *gSettings;
    dlgSettings* form = open();
    form->chkOnTop()->click();
    retype(form->txtReminder(), QStringLiteral("20"));
    retype(form->txtTime(0), QStringLiteral("9:30"));
    form->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
    EXPECT_FALSE(isLoaded());
    EXPECT_TRUE(gSettings->onTop());
    EXPECT_EQ(gSettings->MeetingReminderMinutes(), before.MeetingReminderMinutes());
    EXPECT_EQ(gSettings->StartTimePeriod2(), QStringLiteral("11:00"));
    EXPECT_TRUE(orbinForm.topMost);

    form = open();
    form->chkOnTop()->click();
    retype(form->txtReminder(), QStringLiteral("20"));
    QTest::keyClick(form->txtReminder(), Qt::Key_Escape);
    EXPECT_FALSE(isLoaded());
    EXPECT_TRUE(gSettings->onTop());

    const QByteArray file = env.readSettings();
    form = open();
    form->chkOnTop()->click();
    retype(form->txtReminder(), QStringLiteral("20"));
    retype(form->txtTime(0), QStringLiteral("9:30"));
    pressShortcut(form->txtTime(0), Qt::Key_U);
    EXPECT_FALSE(isLoaded());
    EXPECT_FALSE(gSettings->onTop());
    EXPECT_FALSE(orbinForm.topMost); // the orbin lets go of the top at once
    EXPECT_EQ(gSettings->MeetingReminderMinutes(), Integer(20));
    EXPECT_EQ(gSettings->StartTimePeriod2(), QStringLiteral("09:30"));
    // Nothing of it reaches the file; only the dialog's place does.
    auto withoutPlace = [](QByteArray text) {
        const qsizetype at = text.indexOf("[WindowPos]");
        return at < 0 ? text : text.left(at);
    };
    EXPECT_EQ(withoutPlace(env.readSettings()), withoutPlace(file));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(SettingsDialog, ComesBackWhereItWasLeft) {
    dlgSettings* form = open();
    form->moveTwips(3000, 1500, form->twipGeometry().width, form->twipGeometry().height);
    form->btnCancel_Click();
    EXPECT_EQ(stored("WindowPos", "dlgSettings_left"), QStringLiteral("3000"));
    EXPECT_EQ(stored("WindowPos", "dlgSettings_top"), QStringLiteral("1500"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form = dlgSettings::instance();
    EXPECT_EQ(form->twipGeometry().left, 3000);
    EXPECT_EQ(form->twipGeometry().top, 1500);
}

TEST_F(SettingsDialog, PasswordBoxOpensThePasswordFormAndOnlySaveClearsThePassword) {
    dlgSettings* form = open();
    // No password yet: the form cancelled without one leaves the box unchecked.
    whenShown<frmPassword>("frmPassword", [](frmPassword* f) {
        EXPECT_EQ(f->parentWidget(), loaded<dlgSettings>("dlgSettings"));
        EXPECT_TRUE(f->isModal());
        f->cmdCancel_Click();
    });
    form->chkPassword()->click();
    EXPECT_FALSE(form->chkPassword()->isChecked());

    whenShown<frmPassword>("frmPassword", [](frmPassword* f) {
        f->txtPassword1()->setText(QStringLiteral("Abc1"));
        f->txtPassword2()->setText(QStringLiteral("Abc1"));
        f->cmdOK_Click();
    });
    form->chkPassword()->click();
    EXPECT_TRUE(form->chkPassword()->isChecked());
    EXPECT_EQ(stored("General", "password"), scramblePassword(QStringLiteral("Abc1")));

    // Unchecked and checked again: cancelling keeps the box and the password.
    form->chkPassword()->click();
    EXPECT_FALSE(form->chkPassword()->isChecked());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmPassword")));
    whenShown<frmPassword>("frmPassword", [](frmPassword* f) {
        EXPECT_EQ(f->txtPassword1()->text(), QStringLiteral("Abc1"));
        f->cmdCancel_Click();
    });
    form->chkPassword()->click();
    EXPECT_TRUE(form->chkPassword()->isChecked());

    // Unchecked, Use and Cancel keep the password; Save clears it.
    form->chkPassword()->click();
    form->btnApply_Click();
    form = open();
    EXPECT_TRUE(form->chkPassword()->isChecked());
    form->chkPassword()->click();
    form->btnCancel_Click();
    EXPECT_EQ(stored("General", "password"), scramblePassword(QStringLiteral("Abc1")));
    form = open();
    form->chkPassword()->click();
    form->btnSave_Click();
    EXPECT_EQ(stored("General", "password"), QString());
}

// The rows' own stepping and wrapping is the time spinners' (held by the meeting dialog's tests); here
// each row is wired to its own bars, takes a typed time when left, and Save takes one never left.
TEST_F(SettingsDialog, EachStartTimeRowTakesItsTypedTimeAndStepsWithItsOwnBars) {
    dlgSettings* form = open();
    QLineEdit* time = form->txtTime(1);
    const struct {
        const char* typed;
        const char* shown;
        bool beep;
    } cases[] = {{"9:30", "09:30", false},
                 {"930", "09:30", true},
                 {"10:ab", "09:30", true},
                 {"25:00", "09:30", true},
                 {"23:30", "23:30", false}};
    for (const auto& c : cases) {
        const int beeps = prompter.beeps;
        retype(time, QString::fromLatin1(c.typed));
        QTest::keyClick(time, Qt::Key_Tab);
        EXPECT_EQ(time->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(prompter.beeps - beeps, c.beep ? 1 : 0) << c.typed;
    }
    EXPECT_EQ(form->scrHour(1)->value(), -23);
    EXPECT_EQ(form->scrMinute(1)->value(), -30);
    form->scrMinute(1)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    form->scrHour(1)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(time->text(), QStringLiteral("00:31"));
    EXPECT_EQ(form->txtTime(0)->text(), QStringLiteral("11:00"));
    EXPECT_EQ(form->txtTime(2)->text(), QStringLiteral("18:00"));

    // A time being typed is taken before a click on a bar's upper arrow steps it.
    retype(time, QStringLiteral("12:15"));
    QTest::mouseClick(form->scrMinute(1), Qt::LeftButton, {}, QPoint(form->scrMinute(1)->width() / 2, 3));
    EXPECT_EQ(time->text(), QStringLiteral("12:16"));

    // Getting the focus selects the whole time, so that typing replaces it.
    QTest::mouseClick(form->txtTime(2), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->txtTime(2)->selectedText(), QStringLiteral("18:00"));

    QTest::keyClicks(form->txtTime(2), QStringLiteral("19:5"));
    form->btnSave_Click();
    EXPECT_EQ(stored("Period", "StartTimePeriod3"), QStringLiteral("12:16"));
    EXPECT_EQ(stored("Period", "StartTimePeriod4"), QStringLiteral("19:05"));
}

TEST_F(SettingsDialog, ABadNumberKeepsTheFocusAndNoClickGoesThrough) {
    for (const char* good : {"1", "32767", " 08 "})
        EXPECT_TRUE(IntegerFieldGuard::isProperInteger(QString::fromLatin1(good))) << good;
    for (const char* bad : {"0", "-3", "2.5", "1,5", "2.0", "abc", "", "32768", "1e-1"})
        EXPECT_FALSE(IntegerFieldGuard::isProperInteger(QString::fromLatin1(bad))) << bad;

    dlgSettings* form = open();
    retype(form->txtPopupTime(), QStringLiteral("0"));
    QTest::keyClick(form->txtPopupTime(), Qt::Key_Tab);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, InputError);
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::OK);
    EXPECT_EQ(prompter.boxes[0].text,
              QStringLiteral("Hey! That's not a proper integer value for the popup "
                             "time!\r\n(Must be an integer value greater than zero.)"));
    EXPECT_EQ(QApplication::focusWidget(), form->txtPopupTime());
    EXPECT_TRUE(orbin.calls.contains(QStringLiteral("shrink")));

    // A click elsewhere is refused once, and does not click.
    const bool onTop = form->chkOnTop()->isChecked();
    QTest::mouseClick(form->chkOnTop(), Qt::LeftButton);
    EXPECT_EQ(prompter.boxes.size(), 2);
    EXPECT_EQ(form->chkOnTop()->isChecked(), onTop);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
    pressShortcut(form->txtPopupTime(), Qt::Key_S);
    EXPECT_EQ(prompter.boxes.size(), 4);
    EXPECT_TRUE(isLoaded());
    EXPECT_EQ(QApplication::focusWidget(), form->txtPopupTime());
    EXPECT_FALSE(stored("General", "DisplayLength").has_value());

    // Mended, the focus moves on.
    retype(form->txtPopupTime(), QStringLiteral("32767"));
    QTest::keyClick(form->txtPopupTime(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->chkBossKey());

    retype(form->txtReminder(), QStringLiteral("-3"));
    QTest::keyClick(form->txtReminder(), Qt::Key_Tab);
    ASSERT_EQ(prompter.boxes.size(), 5);
    EXPECT_EQ(prompter.boxes[4].text,
              QStringLiteral("Hey! That's not a proper integer value for the meeting "
                             "reminder!\r\n(Must be an integer value greater than zero.)"));
    EXPECT_EQ(QApplication::focusWidget(), form->txtReminder());

    // Cancel is never refused.
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnCancel")), Qt::LeftButton);
    EXPECT_FALSE(isLoaded());
    EXPECT_EQ(prompter.boxes.size(), 5);
}

// A bad value that came from the settings file is caught by Save although its field was never visited,
// and nothing at all is applied or stored.
TEST_F(SettingsDialog, EveryFieldIsCheckedBeforeAnythingIsApplied) {
    settingsText = "[General]\nDisplayLength=8\nmeetingReminderAdvance=abc\nonTop=1\n";
    TearDown();
    SetUp();
    const QByteArray file = env.readSettings();
    dlgSettings* form = open();
    EXPECT_EQ(form->txtReminder()->text(), QStringLiteral("0"));
    QTest::mouseClick(form->chkOnTop(), Qt::LeftButton);
    retype(form->txtPopupTime(), QStringLiteral("20"));
    pressShortcut(form->txtPopupTime(), Qt::Key_S);
    EXPECT_EQ(boxesTitled(InputError), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral("meeting reminder")));
    EXPECT_TRUE(isLoaded());
    EXPECT_EQ(QApplication::focusWidget(), form->txtReminder());
    EXPECT_TRUE(gSettings->onTop());
    EXPECT_EQ(gSettings->iDisplayLength(), Integer(8));
    EXPECT_EQ(env.readSettings(), file);
    form->btnApply_Click();
    EXPECT_EQ(boxesTitled(InputError), 2);
    EXPECT_TRUE(gSettings->onTop());
}

TEST_F(SettingsDialog, SaveAfterTheSettingsWereRemovedStoresNothingAndAFailedWriteIsTold) {
    gSettings->removeMySettings();
    dlgSettings* form = open();
    form->chkOnTop()->click();
    form->btnSave_Click();
    EXPECT_FALSE(gSettings->onTop());
    EXPECT_FALSE(QFile::exists(env.settingsFile()));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    // A settings file that cannot be written: the settings apply, and the user is told.
    TestEnv::writeFile(env.root() + QStringLiteral("blocked"), "not a folder");
    delete gSettings;
    gSettings = new Settings(env.root() + QStringLiteral("blocked/Quorvane.ini"));
    form = open();
    form->chkOnTop()->click();
    form->btnSave_Click();
    EXPECT_FALSE(isLoaded());
    EXPECT_FALSE(gSettings->onTop());
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.startsWith(QStringLiteral("The settings could not be written")));
    EXPECT_TRUE(prompter.boxes[0].text.contains(QStringLiteral("blocked")));
}

TEST_F(SettingsDialog, TheTabKeyGoesThroughTheFieldsInOrderAndThePasswordBoxLast) {
    dlgSettings* form = open();
    const QList<QWidget*> expected = {form->chkBossKey(),
                                      form->chkOnTop(),
                                      form->chkConfirmExit(),
                                      form->txtReminder(),
                                      form->txtTime(0),
                                      form->txtTime(1),
                                      form->txtTime(2),
                                      form->findChild<QPushButton*>(QStringLiteral("btnSave")),
                                      form->findChild<QPushButton*>(QStringLiteral("btnCancel")),
                                      form->findChild<QPushButton*>(QStringLiteral("btnApply")),
                                      form->chkPassword(),
                                      form->txtPopupTime()};
    EXPECT_EQ(QApplication::focusWidget(), form->txtPopupTime());
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName();
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(prompter.beeps, 0);
}

// The day's periods follow one another: start times that do not rise, or that lie past the day's ends,
// are refused by name before anything is applied or stored.
TEST_F(SettingsDialog, StartTimesMustBeTimesOfTheDayAndRiseFromPeriodTwoToFour) {
    const QByteArray file = env.readSettings();
    dlgSettings* form = open();
    auto* use = form->findChild<QPushButton*>(QStringLiteral("btnApply"));
    retype(form->txtTime(0), QStringLiteral("09:30"));
    retype(form->txtTime(2), QStringLiteral("08:00"));
    QTest::mouseClick(use, Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, InputError);
    EXPECT_EQ(prompter.boxes[0].text,
              QStringLiteral("Hey! That's not a proper start time for period 4!\r\n"
                             "(Each period must start later than the one before it.)"));
    EXPECT_TRUE(isLoaded());
    EXPECT_EQ(QApplication::focusWidget(), form->txtTime(2));
    EXPECT_EQ(gSettings->StartTimePeriod2(), QStringLiteral("11:00"));
    EXPECT_EQ(gSettings->StartTimePeriod4(), QStringLiteral("18:00"));

    // Two periods starting at once leave the first of them no time either.
    retype(form->txtTime(2), QStringLiteral("14:00"));
    pressShortcut(form->txtTime(2), Qt::Key_S);
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_TRUE(prompter.boxes[1].text.startsWith(
        QStringLiteral("Hey! That's not a proper start time for period 4!")));
    EXPECT_EQ(env.readSettings(), file);

    // 24:00 is no start of a period, nor is a minute 60 or an hour -1: refused as the focus leaves,
    // and kept in the box as typed.
    const QString pastTheDay = QStringLiteral("Hey! That's not a proper start time for period 3!\r\n"
                                              "(Must be a time of day from 00:00 to 23:59.)");
    for (const char* typed : {"24:00", "10:60", "-1:30"}) {
        const qsizetype boxes = prompter.boxes.size();
        retype(form->txtTime(1), QString::fromLatin1(typed));
        QTest::keyClick(form->txtTime(1), Qt::Key_Tab);
        ASSERT_EQ(prompter.boxes.size(), boxes + 1) << typed;
        EXPECT_EQ(prompter.boxes.last().text, pastTheDay) << typed;
        EXPECT_EQ(form->txtTime(1)->text(), QString::fromLatin1(typed));
        EXPECT_EQ(QApplication::focusWidget(), form->txtTime(1)) << typed;
    }
    pressShortcut(form->txtTime(1), Qt::Key_U);
    EXPECT_EQ(prompter.boxes.last().text, pastTheDay);
    EXPECT_TRUE(isLoaded());
    EXPECT_EQ(gSettings->StartTimePeriod3(), QStringLiteral("14:00"));
    EXPECT_EQ(prompter.beeps, 0);

    // Put right, the times are stored.
    retype(form->txtTime(1), QStringLiteral("13:00"));
    retype(form->txtTime(2), QStringLiteral("19:00"));
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
    EXPECT_FALSE(isLoaded());
    EXPECT_EQ(stored("Period", "StartTimePeriod2"), QStringLiteral("09:30"));
    EXPECT_EQ(stored("Period", "StartTimePeriod3"), QStringLiteral("13:00"));
    EXPECT_EQ(stored("Period", "StartTimePeriod4"), QStringLiteral("19:00"));
    EXPECT_EQ(gSettings->StartTimePeriod4(), QStringLiteral("19:00"));
}

// A start time stored past the day's ends is shown as it stands and goes back so, unless it is changed.
TEST_F(SettingsDialog, AStoredStartTimeTheRowsCannotHoldIsKeptUntilChanged) {
    settingsText = "[General]\nFirstTime=false\n[Period]\nStartTimePeriod4=24:00\n";
    TearDown();
    SetUp();
    dlgSettings* form = open();
    EXPECT_EQ(form->txtTime(2)->text(), QStringLiteral("24:00"));
    // Passing through it changes nothing and asks nothing.
    QTest::mouseClick(form->txtTime(2), Qt::LeftButton);
    QTest::keyClick(form->txtTime(2), Qt::Key_Tab);
    EXPECT_EQ(form->txtTime(2)->text(), QStringLiteral("24:00"));
    form->findChild<QPushButton*>(QStringLiteral("btnSave"))->click();
    EXPECT_FALSE(isLoaded());
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(prompter.beeps, 0);
    EXPECT_EQ(stored("Period", "StartTimePeriod4"), QStringLiteral("24:00"));

    // A step of its bars starts from the period's own start.
    form = open();
    form->scrMinute(2)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(form->txtTime(2)->text(), QStringLiteral("18:01"));
    form->btnSave_Click();
    EXPECT_EQ(stored("Period", "StartTimePeriod4"), QStringLiteral("18:01"));
}
