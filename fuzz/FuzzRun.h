#pragma once

#include <QByteArrayView>
#include <QString>

// One run of the program on a file it did not write: the file is put in place, the program starts and
// quits as it does for a user (without windows), and every file it saved is read back. The fuzz targets
// call it with generated files, and the test suite replays with it the files that once broke the program.
namespace fuzzrun {

// The files a run can be given: "items", "projects", "archive", "status" or "settings".
bool knownTarget(const QString& target);

// Runs the program on input as the target's file. Returns what went wrong (a file saved that does not read
// back as the same document, a value written to the settings that does not read back), or an empty text.
// A crash or a hang is the other kind of failure.
QString run(const QString& target, QByteArrayView input);

} // namespace fuzzrun
