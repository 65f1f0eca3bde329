#pragma once

#include "core/Game.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QStringList>

// An orbin that records what the game asked of it, the board's messages apart.
class RecordingOrbin final : public OrbinWindow {
public:
    FormPort* form() override { return nullptr; }
    void updateInfo() override { calls << QStringLiteral("updateInfo"); }
    void shrinkFloater() override { calls << QStringLiteral("shrink"); }
    void expandFloater() override { calls << QStringLiteral("expand"); }
    void showWindow() override {}
    void hideWindow() override {}
    bool isWindowVisible() const override { return true; }
    void controlsChanged() override { ++changes; }
    void showMessage(const QString& text) override { messages << text; }
    void timCheckPeriod_Timer() override { calls << QStringLiteral("tick"); }

    QStringList calls;
    QStringList messages;
    int changes = 0;
};

// The game with its store and settings, a clock set to Monday 7 December 2026 at 10:00 and an orbin that
// records; all of it in a test's own folders.
struct GameWorld {
    GameWorld() {
        gSettings = new Settings();
        gItems = new Items();
        gGame = new Game();
        gOrbinWindow = &orbin;
    }
    ~GameWorld() {
        gOrbinWindow = nullptr;
        releaseObjects();
    }
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    Game& game() { return *gGame; }
    GameControls& controls() { return gGame->controls(); }
    QString statusFile() const { return env.dataDir() + QStringLiteral("status.ini"); }
    void writeStatus(const QByteArray& line) const { TestEnv::writeFile(statusFile(), line); }
    QByteArray readStatus() const { return TestEnv::readFile(statusFile()); }
    // Ends this run and starts a new one on the same data, as a quit and a new start would.
    void restart() {
        delete gGame;
        delete gItems;
        gItems = new Items();
        gGame = new Game();
        orbin.calls.clear();
        orbin.messages.clear();
    }

    TestEnv env;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
    FakePrompter prompts;
    RecordingOrbin orbin;
};
