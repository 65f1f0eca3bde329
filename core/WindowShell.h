#pragma once

#include "platform/Injectable.h"

class OrbinWindow;

// What start-up and quit need from the window layer: the orbin, the login gate and the saving notice.
// This class itself is the stand-in for a run without windows: no orbin, no login form, no notice.
class WindowShell {
public:
    virtual ~WindowShell() = default;
    // Makes the orbin window (not yet shown), or nullptr where there are no windows. The window layer
    // owns it.
    virtual OrbinWindow* createOrbinWindow() { return nullptr; }
    // Shows the login form modally; returns when it is closed.
    virtual void runLogin() {}
    // Shows the saving notice without waiting.
    virtual void showSavingNotice() {}
};

// The shell in force: the stand-in unless one was installed through Injectable<WindowShell>.
inline WindowShell& windowShell() {
    return Injectable<WindowShell>::instance();
}
// Installs a shell (not owned); nullptr brings the stand-in back.
inline void setWindowShell(WindowShell* shell) {
    Injectable<WindowShell>::install(shell);
}
