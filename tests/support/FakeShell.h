#pragma once

#include "core/Globals.h"
#include "core/Settings.h"
#include "core/WindowShell.h"
#include "tests/support/FakeOrbin.h"

#include <functional>
#include <memory>

// Start-up's windows without windows: a fake orbin, a scripted login, a counted saving notice.
class FakeShell final : public WindowShell {
public:
    FakeShell() { setWindowShell(this); }
    ~FakeShell() override { setWindowShell(nullptr); }
    FakeShell(const FakeShell&) = delete;
    FakeShell& operator=(const FakeShell&) = delete;

    OrbinWindow* createOrbinWindow() override {
        orbin = std::make_unique<FakeOrbin>();
        return orbin.get();
    }
    void runLogin() override {
        ++logins;
        if (login) login();
    }
    void showSavingNotice() override { ++savingNotices; }

    std::unique_ptr<FakeOrbin> orbin;
    std::function<void()> login; // what the user does at the login form
    int logins = 0;
    int savingNotices = 0;
};
