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
