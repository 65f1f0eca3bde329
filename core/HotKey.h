#pragma once

#include <QtGlobal>

// The hide hot key of a window. Quitting removes it from every window.
class HotKey {
public:
    HotKey() = default;
    // Registers the key for the window while the hide key setting is on.
    void createHotKey(quintptr window) { (void)window; }
    void destroyHotKey(quintptr window) { (void)window; }
};
