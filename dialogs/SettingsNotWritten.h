#pragma once

#include <QString>

// Shrinks the orbin and tells the user, under the program's name, that the settings file could not be
// written. In text, %1 stands for the settings file.
void tellSettingsNotWritten(const QString& text);
