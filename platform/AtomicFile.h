#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <initializer_list>
#include <optional>

// Every file the program writes is replaced whole or not at all. The new content goes to a temporary
// file beside the old one ("<name>.saving-XXXXXX"), is flushed to the disk, and only then takes the old
// file's place in one rename; the folder is made when missing. A program ended in the middle of a save
// leaves the old file as it was, and at most that temporary file, which removeLeftovers clears away.
//
// The files are the user's own: a new file is made readable and writable by its owner alone (0600), a
// folder made for it likewise (0700); a file that is there keeps the mode it has, unless it is to be
// private.
namespace atomicfile {

enum class Access {
    Kept,    // a file that is there keeps its mode; a new one is the owner's alone
    Private, // always the owner's alone (it holds a password)
};

// Writes bytes to path and returns what the file written stands as (nullopt when that could not be
// told). Raises a Failure when the file could not be written whole: 61 "Disk full" when the disk or the
// user's quota is full (a write that stops short counts as that), 70 "Permission denied", 76 "Path not
// found" when the folder cannot be made, 75 "Path/File access error" otherwise.
std::optional<FileIdentity> write(const QString& path, const QByteArray& bytes, Access access = Access::Kept);
// The same with the content given in parts, written one after the other.
std::optional<FileIdentity> write(const QString& path, std::initializer_list<QByteArrayView> parts,
                                  Access access = Access::Kept);

// Makes the folder and those above it that are missing, each the owner's alone. True when it is there.
bool makeFolder(const QString& path);

// Removes the temporary files that saves to path left behind when the program was ended before they
// finished. A save that is still going on (in another instance of the program) is left alone. Returns
// how many were removed.
int removeLeftovers(const QString& path);

// Raises the Failure that write raises for the system's error number error on path.
[[noreturn]] void raise(int error, const QString& path);

} // namespace atomicfile
