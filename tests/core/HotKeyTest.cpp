#include "core/HotKey.h"

#include "tests/support/CoreObjects.h"
#include "tests/support/FakeKeyGrab.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

namespace {

constexpr quintptr Orbin = 0x51;
constexpr quintptr Other = 0x52;

} // namespace

TEST(HotKey, HeldOnlyWhileTheSettingsAllowAndGivenBackWhole) {
    TestEnv env;
    CoreObjects objects;
    FakeKeyGrab grab;
    HotKey hotKey;

    gSettings->setBBossKey(false);
    hotKey.createHotKey(Orbin);
    EXPECT_TRUE(grab.held.isEmpty());
    EXPECT_EQ(windowprocedure::get(Orbin), &windowprocedure::ownProcedure) << "nothing installed";
    gSettings->setBBossKey(true);
    gSettings->setHostName(QStringLiteral("COMPUTER"));
    hotKey.createHotKey(Orbin);
    EXPECT_TRUE(grab.held.isEmpty());
    gSettings->setHostName(QString());

    // Registered twice (start-up, then the settings switched on again): one key held, and the window's
    // own procedure is the one kept.
    hotKey.createHotKey(Orbin);
    hotKey.createHotKey(Orbin);
    EXPECT_EQ(grab.held.size(), 1);
    EXPECT_EQ(grab.held.value(hotKey.hotKeyID()), Orbin);
    EXPECT_EQ(windowprocedure::get(Orbin), &WindowProc);
    EXPECT_EQ(hotKey.prevWndProc(), &windowprocedure::ownProcedure);

    // A window that never got the key is left alone, and the key stays with its window.
    hotKey.destroyHotKey(Other);
    EXPECT_EQ(grab.held.size(), 1);
    EXPECT_EQ(windowprocedure::get(Other), &windowprocedure::ownProcedure);
    EXPECT_EQ(windowprocedure::get(Orbin), &WindowProc);

    hotKey.destroyHotKey(Orbin);
    EXPECT_TRUE(grab.held.isEmpty());
    EXPECT_EQ(windowprocedure::get(Orbin), &windowprocedure::ownProcedure);
    EXPECT_FALSE(hotKey.subclassed());
}

TEST(HotKey, AKeyAnotherProgramHoldsIsLoggedOnceAndTheProgramGoesOn) {
    TestEnv env;
    CoreObjects objects;
    FakeKeyGrab grab;
    grab.answer = KeyGrab::Result::Taken;
    HotKey hotKey;
    hotKey.createHotKey(Orbin);
    hotKey.createHotKey(Orbin);
    const QString log =
        QString::fromUtf8(TestEnv::readFile(gSettings->sDataDir() + QStringLiteral("msglog.txt")));
    EXPECT_EQ(log.count(QStringLiteral("Shift+Esc is held by another program")), 1) << log.toStdString();
    hotKey.destroyHotKey(Orbin);
    EXPECT_TRUE(grab.held.isEmpty());
}
