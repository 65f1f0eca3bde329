#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <initializer_list>

// Every file the program writes is replaced whole or not at all. The new content goes to a temporary
// file beside the old one ("<name>.saving-XXXXXX"), is flushed to the disk, and only then takes the old
// file's place in one rename; the folder is made when missing. A program ended in the middle of a save
// leaves the old file as it was, and at most that temporary file, which removeLeftovers clears away.
namespace atomicfile {

// Writes bytes to path. Raises a Failure when the file could not be written whole: 61 "Disk full" when
// the disk or the user's quota is full (a write that stops short counts as that), 70 "Permission denied",
// 76 "Path not found" when the folder cannot be made, 75 "Path/File access error" otherwise.
void write(const QString& path, const QByteArray& bytes);
// The same with the content given in parts, written one after the other.
void write(const QString& path, std::initializer_list<QByteArrayView> parts);

// Removes the temporary files that saves to path left behind when the program was ended before they
// finished. A save that is still going on (in another instance of the program) is left alone. Returns
// how many were removed.
int removeLeftovers(const QString& path);

// Raises the Failure that write raises for the system's error number error on path.
[[noreturn]] void raise(int error, const QString& path);

} // namespace atomicfile
