#pragma once

#include <QString>

// The measures taken inside the program: the program is started in this process (without a display) on
// the store in folder, and each measure runs beside its floor, what the same result costs at the least.
// Prints one line per measure: its name and the median milliseconds, or, with callgrind set, marks each
// measure for valgrind's callgrind tool so that it counts the instructions of each alone.
int runInProcess(const QString& folder, int rounds, bool callgrind);
