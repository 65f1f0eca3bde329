#pragma once

#include <functional>

// A request to end the program from outside (the session ending, a kill with SIGTERM, Ctrl+C in a
// terminal) runs the handler on the event loop, so that the program quits through its own quit routine
// and saves what it holds. Each request runs it, also one that comes while the quit is on its way.
void installTerminationHandler(std::function<void()> handler);
