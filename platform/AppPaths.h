#pragma once

#include <QString>

// The program folder: the folder of the running executable, always ending in "/". Tests point it at a
// temporary folder.
QString programFolder();
void setProgramFolder(const QString& folder); // empty restores the executable's folder

// A folder text with "/" added when it does not end in one.
QString withTrailingSlash(const QString& folder);

// A folder named relative to the program folder (as the default data folder lies there) as a full path;
// a full path stays as it is.
QString inProgramFolder(const QString& folder);

// What a path resolves to, as the system would open it: links followed and the name made plain ("..",
// doubled "/"), also for the part of it that is not made yet (a link that points at a file still to be
// made counts as that file). Two paths of the same file or folder resolve to the same text.
QString resolvedPath(const QString& path);
