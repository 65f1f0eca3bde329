#pragma once

class OrbinWindow;

// What start-up and quit need from the window layer: the orbin, the login gate and the saving notice.
class WindowShell {
public:
    virtual ~WindowShell() = default;
    // Makes the orbin window (not yet shown). The window layer owns it.
    virtual OrbinWindow* createOrbinWindow() = 0;
    // Shows the login form modally; returns when it is closed.
    virtual void runLogin() = 0;
    // Shows the saving notice without waiting.
    virtual void showSavingNotice() = 0;
};

WindowShell* windowShell();
void setWindowShell(WindowShell* shell); // not owned
