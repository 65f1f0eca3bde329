#pragma once

#include <QString>

// tools/bench --devices: what each piece of work the program does beside its start gains. The program is
// in folder started on stores of 2,000 and 20,000 items with everything, and with each piece left out in turn
// (platform/BenchSwitch.h), interleaved with the bare window over runs runs; prints the medians and, per
// piece, the median of what leaving it out cost within each run.
int benchDevices(const QString& folder, int runs);
