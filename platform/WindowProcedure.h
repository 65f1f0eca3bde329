#pragma once

#include <QtGlobal>

// Every window of the program has a message procedure that sees the few window messages the program
// cares about before the window's own handling does. A procedure may take a message (and the window's own
// handling never sees it) or pass it on to the procedure it replaced.

enum class WindowMessage {
    HotKey,        // the system-wide key registered for the window was pressed; param: the key's id
    MinimizeClick, // the user minimised the window from its frame
};

using WindowProcedure = qintptr (*)(quintptr window, WindowMessage message, quintptr param);

namespace windowprocedure {
// The procedure every window starts with: the window's own handling of the message.
qintptr ownProcedure(quintptr window, WindowMessage message, quintptr param);
// Gives the window a new procedure; returns the one it had.
WindowProcedure set(quintptr window, WindowProcedure procedure);
WindowProcedure get(quintptr window);
// Passes a message to a procedure (as a procedure does with the one it replaced).
qintptr call(WindowProcedure procedure, quintptr window, WindowMessage message, quintptr param);
// Delivers a message to the window's procedure. True when it reached the window's own handling; False
// when a procedure took it on the way.
bool send(quintptr window, WindowMessage message, quintptr param = 0);
} // namespace windowprocedure
