#pragma once

#include <QDate>
#include <QString>
#include <optional>

// How the program writes and reads dates for the user: the short date text, a date as a person types it,
// the label of a day relative to today, and the weekday names. Weekdays are numbered 1 (Sunday) to 7
// (Saturday) throughout.

// The weekday of d, 1 (Sunday) to 7 (Saturday).
int weekdayOf(const QDate& d);
// The full English name of weekday n, 1 (Sunday) to 7 (Saturday).
QString weekdayName(int n);

// The label of a day relative to today: "Today", "Tomorrow" or the weekday name for yesterday and the
// next six days, "Mon 14" further away, "Mo 30 Nov" in another month, "F 1/1/27" in another year.
QString dayText(const QDate& d);

// The platform's short date text of a day, as the orbin's date label and the item dialogs show it.
QString shortDateText(const QDate& d);
// A date as a person types it: the short date text (a two-digit year is taken within fifty years of
// today), the same with the year in full, the long date text, or yyyy-MM-dd. nullopt for anything else.
std::optional<QDate> readDateText(const QString& text);
