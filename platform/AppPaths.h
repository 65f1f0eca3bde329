#pragma once

#include <QString>

// The program folder: the folder of the running executable, always ending in "/". Tests point it at a
// temporary folder.
QString programFolder();
void setProgramFolder(const QString& folder); // empty restores the executable's folder

// A folder text with "/" added when it does not end in one.
QString withTrailingSlash(const QString& folder);

// A folder named relative to the program folder as a full path; a full path stays as it is.
QString inProgramFolder(const QString& folder);

// What a path resolves to, as the system would open it: links followed and the name made plain ("..",
// doubled "/"), also for the part of it that is not made yet (a link that points at a file still to be
// made counts as that file). Two paths of the same file or folder resolve to the same text.
QString resolvedPath(const QString& path);

// The user's own folder of the desktop's data, "$XDG_DATA_HOME/Quorvane/" (a relative XDG_DATA_HOME counts
// as none, as the desktop's rules say), "~/.local/share/Quorvane/" when there is none.
QString desktopDataFolder();

// Where a file lies whose place moved from the program folder to a better one: the old folder while it
// holds the file and the new one does not, so that nothing stored there is left behind; else the new one.
QString folderInUse(const QString& newFolder, const QString& oldFolder, const QString& fileName);
