#pragma once

#include "platform/Integer.h"

#include <QString>
#include <QVariant>
#include <optional>

// The one set of number-text conversions of the program.
namespace numtext {

// The leading numeric part of a text, as the classic Val reads it: blanks, tabs and line feeds are
// skipped anywhere, a sign, digits, one decimal point and an exponent are taken, "&H" and "&O" prefixes
// read hexadecimal and octal; reading stops at the first other character. "" and "abc" give 0.
double leadingNumber(const QString& text);

// A whole text read as a number: blanks around it allowed, a sign, digits, a decimal point, an exponent,
// or an "&H"/"&O" whole number. nullopt when the text is anything else.
std::optional<double> parseNumber(const QString& text);

// Round half to even (banker's rounding), as whole-number conversions do.
double roundHalfEven(double value);

// Strict conversions: a text that is not a number raises 13 "Type mismatch"; a value outside the target
// range raises 6 "Overflow". Whole-number targets round half to even.
double toDouble(const QString& text);
Integer toInteger(const QString& text);
Integer toInteger(double value);
qint32 toLong(const QString& text);
qint32 toLong(double value);

// A truth value: "True"/"False" in any letter case, or a number (0 is false, any other is true).
// Anything else raises 13 "Type mismatch".
bool toBoolean(const QString& text);

// The text of a Boolean as the program stores it: "True" or "False".
QString booleanText(bool value);

// The decimal text of a single-precision number: up to seven significant digits, no exponent for the
// sizes the program stores, "30" for 30 and "1234.5" for 1234.5.
QString singleText(double value);

// The decimal text of a double, up to 15 significant digits ("0.1", "42").
QString doubleText(double value);

// The same conversions for a value that may be a text, a number or a Boolean (True reads as -1).
double toDouble(const QVariant& value);
Integer toInteger(const QVariant& value);
bool toBoolean(const QVariant& value);
// A value as text: a Boolean as "True"/"False", a number as its decimal text.
QString toText(const QVariant& value);

} // namespace numtext
