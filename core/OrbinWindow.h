#pragma once

#include <QString>
#include <functional>

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

    // The game changed its controls (GameControls, held by gGame): show them again, the scoreboard's too.
    virtual void controlsChanged() {}
    // Shows text on the message board for a few seconds and logs it.
    virtual void showMessage(const QString& text) { (void)text; }
    // One tick of the period clock, as its timer would run it.
    virtual void timCheckPeriod_Timer() {}
    // While held, the redraws asked for come to one, made when the hold ends (or when the window must be
    // painted before that). Start-up holds them while it restores and moves on the day.
    virtual void holdRedraws(bool hold) { (void)hold; }
    // Runs work once the window stands drawn on the screen, so that the first sight of it never waits for
    // work that no one sees; soon anyway when the window is not drawn.
    virtual void afterFirstPaint(std::function<void()> work) { work(); }
};
