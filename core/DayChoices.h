#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

// The day choices of the item dialogs: the list after the dialog's own "Today" ("Tomorrow", the weekday
// names, "Next " and a weekday), the date each choice stands for, and the day picked. Weekdays are
// numbered 1 (Sunday) to 7 (Saturday).

struct DayChoice {
    QString label;
    QString dateText; // the standard date text (yyyy-MM-dd)
};

// Adds the seven choices after the dialog's own "Today" to box: "Tomorrow", the next five weekday names
// and "Next " with the weekday one week after start; remembers each label with its date (counted from
// today) for applyDayChoice.
void fillDayChoices(const QDate& start, QStringList& box);
// The label for weekday n (1 Sunday to 7 Saturday) at the current position of fillDayChoices:
// "Tomorrow" at position 1, "Next " and the name at position 7. Any other n keeps the previous label.
QString weekdayLabel(int n);
// The choices of the last fillDayChoices, indexes 1 to 7 (index 0 is unused).
const std::array<DayChoice, 8>& dayChoices();
// Sets gChosenDate to the date of the choice whose label is exactly text; any other text changes nothing.
void applyDayChoice(const QString& text);

// The day picked in an item dialog's day choice.
extern QDate gChosenDate;
