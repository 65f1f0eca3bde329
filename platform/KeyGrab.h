#pragma once

#include "platform/Injectable.h"

#include <QtGlobal>

// The system-wide hide key, Shift+Esc, held for one window of the program: a press anywhere on the desktop
// reaches that window's procedure as a HotKey message (WindowProcedure.h) carrying the key's id. The window
// layer installs the desktop's backend; without one there is no system-wide key and nothing is held.
class KeyGrab {
public:
    enum class Result {
        Held,        // the key is ours until it is released
        Taken,       // another program holds it
        Unavailable, // this desktop has no system-wide keys
    };

    virtual ~KeyGrab() = default;
    virtual Result registerKey(quintptr window, int id) {
        (void)window;
        (void)id;
        return Result::Unavailable;
    }
    virtual void unregisterKey(quintptr window, int id) {
        (void)window;
        (void)id;
    }
};

// The grab in force: the backend that holds nothing unless one was installed through Injectable<KeyGrab>.
inline KeyGrab& keyGrab() {
    return Injectable<KeyGrab>::instance();
}
