#pragma once

class FormPort;

// The orbin window as the core drives it. The window layer implements it; tests plug in a fake.
class OrbinWindow {
public:
    virtual ~OrbinWindow() = default;

    // The form behind the window (its place, its handle), or nullptr when it is not loaded.
    virtual FormPort* form() = 0;
    // Shows the chosen day and period again.
    virtual void updateInfo() = 0;
    virtual void shrinkFloater() = 0;
    virtual void expandFloater() = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual bool isWindowVisible() const = 0;
};
