#include "core/ErrorReport.h"
#include "core/Game.h"
#include "core/HotKey.h"
#include "core/Settings.h"
#include "dialogs/dlgDebugSettings.h"
#include "dialogs/dlgSettings.h"
#include "platform/gui/WindowProcs.h"
#include "tests/orbin/OrbinFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

// What the settings windows change takes effect in the running program at once.
TEST_F(Orbin, SettingsTakeEffectInTheRunningProgram) {
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    floater->timCheckPeriod_Timer();
    ASSERT_EQ(gGame->CurrentPeriod(), Integer(1));
    ASSERT_TRUE(windowprocs::isTopMost(floater));

    gHotKey->createHotKey(floater->windowHandle());
    ASSERT_TRUE(gHotKey->subclassed());

    action("mnuSettings")->trigger();
    auto* settings =
        qobject_cast<dlgSettings*>(dynamic_cast<QWidget*>(forms::find(QStringLiteral("dlgSettings"))));
    ASSERT_NE(settings, nullptr);
    settings->chkOnTop()->click();
    settings->chkBossKey()->click();
    settings->txtTime(0)->setText(QStringLiteral("9:30"));
    settings->btnApply_Click();
    EXPECT_FALSE(gHotKey->subclassed()); // the hide key is given up at once
    // The orbin lets go of the top and stays in sight.
    EXPECT_FALSE(windowprocs::isTopMost(floater));
    EXPECT_TRUE(floater->isVisible());
    // The period clock goes by the new start at its next minute.
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(10, 1)));
    floater->timCheckPeriod_Timer();
    EXPECT_EQ(gGame->CurrentPeriod(), Integer(2));

    QTest::keyClick(floater, Qt::Key_S, Qt::ControlModifier);
    auto* debug = qobject_cast<dlgDebugSettings*>(
        dynamic_cast<QWidget*>(forms::find(QStringLiteral("dlgDebugSettings"))));
    ASSERT_NE(debug, nullptr);
    EXPECT_FALSE(debug->chkOnTop()->isChecked());
    debug->chkOnTop()->click();
    debug->chkBossKey()->click();
    debug->optErrTrapNo()->click();
    debug->btnApply_Click();
    EXPECT_TRUE(windowprocs::isTopMost(floater));
    EXPECT_TRUE(gHotKey->subclassed()); // and taken again
    EXPECT_FALSE(errorHandlingOn());
    gSettings->setBErrorHandling(true);
}
