#pragma once

#include "core/WindowShell.h"

// Start-up's windows: the orbin, the login gate and the saving notice.
class GuiShell final : public WindowShell {
public:
    OrbinWindow* createOrbinWindow() override;
    void runLogin() override;
    void showSavingNotice() override;
};

// Installs the window side of the platform layer (prompter, launcher, failure guard) and the shell.
void installGuiLayer();

// The session ends the program (SIGTERM, logout): boxes that are up are dismissed, and so are those that
// come up until the quit is done (its own failures are logged, not shown), and the program quits through
// its quit routine as soon as nothing of it is half done.
void quitFromOutside();
