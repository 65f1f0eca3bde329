#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>
#include <array>

// The seven day buttons of the day chooser: which days they stand for, and the caption and colours each
// shows. The chooser itself is a window; this is what it shows, so that it can be checked without one.

// Back colours of the day buttons, as colour numbers (blue * 65536 + green * 256 + red).
inline constexpr qint64 WeekendBackColor = 0x9EDCE0;    // red 224, green 220, blue 158
inline constexpr qint64 TodayBackColor = 0x98CED1;      // red 209, green 206, blue 152
inline constexpr qint64 TitleBarTextColor = 0x80000009; // system colour 9

// What one day button of the chooser shows.
struct DayButtonLook {
    QString caption;
    qint64 backColor = TitleBarTextColor;
    bool bold = false;
};

// Fills calendarDays with start and the six days after it and returns the looks of the seven day
// buttons butCalDay 0 to 6, for the day chooser to show.
std::array<DayButtonLook, 7> fillWeekDays(const QDate& start);
// The dates of the seven day buttons, as the last fillWeekDays left them.
const std::array<QDate, 7>& calendarDays();
