#include "core/Tray.h"
#include "core/FormProcedures.h"
#include "platform/Failure.h"
#include "platform/FormPort.h"
#include "tests/support/FakeForm.h"

#include <gtest/gtest.h>
#include <memory>

TEST(Forms, MinimizeToTrayAndBack) {
    LoadedFakeForm orbin(QStringLiteral("frmFloater"));
    LoadedFakeForm dialog(QStringLiteral("dlgNewTaskDetails"));
    LoadedFakeForm closedBefore(QStringLiteral("frmScoreboard"));
    closedBefore.visible = false;
    auto reminder = std::make_unique<LoadedFakeForm>(QStringLiteral("frmReminder"));
    std::unique_ptr<LoadedFakeForm> tray;
    setTrayFormLoader([&] {
        if (!forms::isLoaded(QStringLiteral("frmSysTray")))
            tray = std::make_unique<LoadedFakeForm>(QStringLiteral("frmSysTray"));
        return true;
    });
    minimizeToTray(false, &orbin);
    EXPECT_FALSE(orbin.visible);
    EXPECT_FALSE(dialog.visible);
    EXPECT_FALSE(reminder->visible);
    EXPECT_TRUE(isFormLoaded(QStringLiteral("frmSysTray")));

    // Sent again while in the tray (the hot key): what the first time hid still comes back.
    minimizeToTray(false, &orbin);
    // A form that went while in the tray is not brought back, nor one that takes its place.
    reminder.reset();
    LoadedFakeForm later(QStringLiteral("frmReminder"));
    later.visible = false;

    minimizeToTray(true);
    EXPECT_TRUE(orbin.visible);
    EXPECT_TRUE(dialog.visible) << "a dialog hidden by going to the tray comes back with the orbin";
    EXPECT_FALSE(closedBefore.visible) << "a form that was not in sight stays out of sight";
    EXPECT_FALSE(later.visible);
    EXPECT_TRUE(tray->unloaded);
    EXPECT_FALSE(isFormLoaded(QStringLiteral("frmSysTray")));
    // A second restore (Esc after the tray menu brought the orbin back) shows the orbin alone.
    dialog.visible = false;
    minimizeToTray(true);
    EXPECT_TRUE(orbin.visible);
    EXPECT_FALSE(dialog.visible);

    // No tray on this desktop: every window that was in sight stays so; a hidden one stays hidden.
    setTrayFormLoader([] { return false; });
    minimizeToTray(false, &orbin);
    EXPECT_TRUE(orbin.visible);
    EXPECT_FALSE(dialog.visible);
    dialog.visible = true;
    minimizeToTray(false, &orbin);
    EXPECT_TRUE(dialog.visible);

    // Restoring with no form remembered fails in the caller.
    minimizeToTray(false);
    try {
        minimizeToTray(true);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), err::ObjectNotSet);
    }
    setTrayFormLoader(nullptr);
}
