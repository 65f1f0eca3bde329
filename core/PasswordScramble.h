#pragma once

#include <QString>

// The stored form of the start-up password: letters and digits moved into the upper half of the single
// byte code page (A-Z to 192-217, a-z to 218-243, 0-9 to 244-253), every other character kept.

QString scramblePassword(const QString& text);
QString unscramblePassword(const QString& text);
// The first character of text that the stored form cannot give back as typed (an accented letter, a
// character of another script, an emoji), or an empty text when every character comes back.
QString firstUnstorablePasswordCharacter(const QString& text);
