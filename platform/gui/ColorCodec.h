#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

// Colour numbers as the program stores them: blue * 65536 + green * 256 + red, or, with the top bit of the
// 32-bit number set, a system colour named by its low byte (5 window background, 14 highlighted text...).
namespace colorcodec {

inline constexpr quint32 SystemFlag = 0x80000000u;

bool isSystemColor(qint64 code);
// The palette role standing for a system colour index.
QPalette::ColorRole systemRole(int index);
// The colour a number stands for, in the given palette for system colours.
QColor toColor(qint64 code, const QPalette& palette = QPalette());
// The number of a plain colour.
qint64 fromColor(const QColor& color);

} // namespace colorcodec
