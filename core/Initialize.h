#pragma once

#include <QString>

// Start-up and quit of the program.

// The process entry: builds the objects, asks for the password when one is set, shows the orbin and runs
// the post-start work. The message loop runs after it returns (unless the program already ended).
void Main();
void createObjects();
void releaseObjects();
// The post-start routine: the welcome tour on first use, the daily article task, the first redraw.
void checkWelcome();
// The one way out. True when this call shut the program down; False when the user declined or a
// shutdown already ran.
bool quitApplication(bool force);

// True once a quit has gone past its question; it stays so for the rest of the process.
extern bool gQuitting;
// Set when the program is asked from outside to end (the session ending) while start-up or a box is
// still running; the quit then runs as soon as the program is back in a whole state.
extern bool gQuitRequested;
// True while Main runs.
extern bool gStartingUp;
// The application's help file, set by createObjects.
extern QString gHelpFile;
