#pragma once

#include "Integer.h"

// The day's game: periods, the running task, the time-out and the saved state. (Start-up's least: the
// game engine proper replaces this.)
class Game {
public:
    Game() = default;
    Integer CurrentPeriod() const { return Integer(1); }
    // Restores or moves on the saved state of the day and updates the orbin.
    void getStatus() {}
    // Writes the state of the day.
    bool saveStatus() { return true; }
};
