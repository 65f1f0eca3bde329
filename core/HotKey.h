#pragma once

#include <QtGlobal>

// The hide hot key of a window. Nothing registers one; quitting removes it from every window.
class HotKey {
public:
    HotKey() = default;
    void destroyHotKey(quintptr window) { (void)window; }
};
