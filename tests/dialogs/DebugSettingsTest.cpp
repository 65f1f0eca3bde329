#include "core/ErrorReport.h"
#include "dialogs/dlgDebugSettings.h"
#include "platform/gui/ColorCodec.h"
#include "tests/dialogs/SettingsWorld.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class DebugSettings : public SettingsWorld {
protected:
    static dlgDebugSettings* open() { return SettingsWorld::open<dlgDebugSettings>(); }
    static bool isLoaded() { return forms::isLoaded(QStringLiteral("dlgDebugSettings")); }
};

} // namespace

TEST_F(DebugSettings, ColourButtonsShowTheTableAndOnlyUseOrSaveChangeIt) {
    // Five colours; the rest of the table empty.
    for (int i = 5; i <= gSettings->colorUpperBound(); ++i)
        gSettings->setColor(i, QString());
    gSettings->setColor(4, QStringLiteral("65280"));
    dlgDebugSettings* form = open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("QVN! debug settings"));
    for (int i = 0; i < dlgDebugSettings::ColorButtonCount; ++i) {
        EXPECT_EQ(form->cmdColor(i)->isHidden(), i >= 5) << i;
        EXPECT_EQ(form->cmdColor(i)->text(), QString::number(i));
    }
    EXPECT_EQ(form->faceColor(0), 255);
    EXPECT_EQ(form->faceColor(4), 65280);

    // A chooser that is cancelled leaves the button; a chosen colour reaches the table only by Use or Save.
    prompter.scriptColor(std::nullopt);
    prompter.scriptColor(0x123456);
    form->cmdColor_Click(1);
    EXPECT_EQ(form->faceColor(1), 0);
    form->cmdColor_Click(1);
    ASSERT_EQ(prompter.colorChoosers.size(), 2);
    EXPECT_EQ(prompter.colorChoosers[0], 0);
    EXPECT_EQ(form->faceColor(1), 0x123456);
    form->CancelButton_Click();
    EXPECT_EQ(gSettings->Color(1), QStringLiteral("0"));

    form = open();
    prompter.scriptColor(0x123456);
    form->cmdColor_Click(1);
    form->btnSave_Click();
    EXPECT_FALSE(isLoaded());
    EXPECT_EQ(gSettings->Color(1), QString::number(0x123456));
    EXPECT_EQ(stored("Colors", "1"), QString::number(0x123456));
    EXPECT_EQ(stored("Colors", "0"), QStringLiteral("255"));
    EXPECT_EQ(stored("Colors", "4"), QStringLiteral("65280"));
    // The empty entries stay empty: no more than the five colours are stored.
    for (int i = 5; i <= gSettings->colorUpperBound(); ++i)
        EXPECT_EQ(stored("Colors", QByteArray::number(i).constData()).value_or(QString()), QString()) << i;
}

TEST_F(DebugSettings, FieldsApplyAtOnceAndSaveStoresThem) {
    dlgDebugSettings* form = open();
    EXPECT_EQ(form->txtPeriodLength()->text(), QStringLiteral("45"));
    EXPECT_EQ(form->txtPopupTime()->text(), QStringLiteral("5"));
    EXPECT_TRUE(form->chkBossKey()->isChecked());
    EXPECT_TRUE(form->chkOnTop()->isChecked());
    EXPECT_TRUE(form->optErrTrapYes()->isChecked());

    form->optErrTrapNo()->click();
    form->chkOnTop()->click();
    form->txtPeriodLength()->setText(QStringLiteral("30"));
    form->btnApply_Click();
    EXPECT_FALSE(isLoaded());
    EXPECT_FALSE(errorHandlingOn()); // every procedure reads the switch as it starts
    EXPECT_FALSE(orbinForm.topMost);
    EXPECT_EQ(gSettings->iPeriodLength(), Integer(30));
    EXPECT_FALSE(stored("General", "ErrorHandling").has_value());

    form = open();
    EXPECT_TRUE(form->optErrTrapNo()->isChecked());
    form->chkBossKey()->click();
    form->txtPopupTime()->setText(QStringLiteral("09"));
    pressShortcut(form->txtPopupTime(), Qt::Key_S);
    EXPECT_FALSE(isLoaded());
    EXPECT_EQ(stored("General", "ErrorHandling"), QStringLiteral("False"));
    EXPECT_EQ(stored("General", "PeriodLength"), QStringLiteral("30"));
    EXPECT_EQ(stored("General", "DisplayLength"), QStringLiteral("09"));
    EXPECT_EQ(stored("General", "BossKey"), QStringLiteral("0"));
    EXPECT_EQ(stored("General", "onTop"), QStringLiteral("0"));
    EXPECT_FALSE(Settings().bErrorHandling()); // and so it stays at the next start
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(DebugSettings, BadNumbersAreRefusedAndNothingIsApplied) {
    dlgDebugSettings* form = open();
    for (const char* bad : {"0", "-5", "2.5", "abc"}) {
        form->txtPeriodLength()->setFocus();
        form->txtPeriodLength()->setText(QString::fromLatin1(bad));
        QTest::keyClick(form->txtPeriodLength(), Qt::Key_Tab);
        ASSERT_FALSE(prompter.boxes.isEmpty());
        EXPECT_EQ(prompter.boxes.last().text,
                  QStringLiteral("Hey! That's not a proper integer value for the period length!\r\n"
                                 "(Must be an integer value greater than zero.)"));
        EXPECT_EQ(prompter.boxes.last().title, QStringLiteral("Input error"));
        EXPECT_EQ(QApplication::focusWidget(), form->txtPeriodLength()) << bad;
    }
    EXPECT_EQ(prompter.boxes.size(), 4);
    form->txtPeriodLength()->setText(QStringLiteral("50"));
    form->txtPopupTime()->setText(QStringLiteral("1,5"));
    form->chkOnTop()->click();
    form->btnSave_Click();
    EXPECT_EQ(prompter.boxes.size(), 5);
    EXPECT_TRUE(prompter.boxes.last().text.contains(QStringLiteral("popup time")));
    EXPECT_TRUE(isLoaded());
    EXPECT_EQ(gSettings->iPeriodLength(), Integer(45));
    EXPECT_TRUE(gSettings->onTop());
    EXPECT_FALSE(stored("General", "PeriodLength").has_value());
}

TEST_F(DebugSettings, RemoveAsksFirstAndThenNothingIsStoredUntilTheNextStart) {
    gSettings->putMySetting(QStringLiteral("PeriodLength"), QStringLiteral("40"), QStringLiteral("General"));
    dlgDebugSettings* form = open();
    prompter.script({Prompter::No});
    form->btnRemoveSettings_Click();
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text,
              QStringLiteral("Are you sure you want to remove the registry settings for Quorvane?\r\n"
                             "This will take effect immediately!"));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Confirm"));
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.boxes[0].defaultAnswer, Prompter::No);
    EXPECT_TRUE(orbin.calls.contains(QStringLiteral("shrink")));
    EXPECT_EQ(stored("General", "PeriodLength"), QStringLiteral("40"));

    prompter.script({Prompter::Yes});
    form->btnRemoveSettings_Click();
    EXPECT_TRUE(isLoaded());
    EXPECT_FALSE(QFile::exists(env.settingsFile()));
    form->chkOnTop()->click();
    form->btnSave_Click();
    EXPECT_FALSE(gSettings->onTop());
    EXPECT_FALSE(QFile::exists(env.settingsFile()));
    EXPECT_EQ(prompter.boxes.size(), 2);
}
