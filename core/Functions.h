#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QtGlobal>
#include <array>
#include <functional>
#include <optional>

class FormPort;

// Shared procedures of the program: day labels for the day chooser and the item dialogs, window
// procedures, and the stored form of the start-up password. Weekdays are numbered 1 (Sunday) to 7
// (Saturday) throughout.

// ---- Day chooser labels ----

// The label of a day relative to today: "Today", "Tomorrow" or the weekday name for yesterday and the
// next six days, "Mon 14" further away, "Mo 30 Nov" in another month, "F 1/1/27" in another year.
QString dayText(const QDate& d);

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

// ---- Day choices of the item dialogs ----

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

// The platform's short date text of a day, as the orbin's date label and the item dialogs show it.
QString shortDateText(const QDate& d);
// A date as a person types it: the short date text (a two-digit year is taken within fifty years of
// today), the same with the year in full, the long date text, or yyyy-MM-dd. nullopt for anything else.
std::optional<QDate> readDateText(const QString& text);

// ---- Window procedures ----

// Keeps the loaded form with this window handle above all other windows.
void setTopMost(quintptr hWnd);

// Installs what loads the tray form frmSysTray (which puts up the tray icon). It returns False when the
// desktop has no tray, so that nothing is hidden beyond reach.
void setTrayFormLoader(std::function<bool()> loader);
// restore False: remembers form, hides every loaded form and loads the tray form. restore True: shows
// the remembered form again, and every other form that going to the tray hid, and unloads the tray form.
void minimizeToTray(bool restore, FormPort* form = nullptr);
// True while the windows sit in the tray (the tray form is loaded), whichever way they were sent there.
bool isInTray();

// Drags a window without a title bar. x and y: the pointer in the form's units (twips), rounded to whole
// numbers. Called with reset True on the left button's press (which records the start point) and with
// reset False while the pointer moves; button 1 is the left button.
void dragWindow(FormPort* form, double x, double y, int button, bool reset);

// Opens the help file.
void showHelpTopic();

// True when a form of that name is loaded, whatever the letter case.
bool isFormLoaded(const QString& name);

// ---- The start-up password ----

// The stored form of the start-up password: letters and digits moved into the upper half of the single
// byte code page (A-Z to 192-217, a-z to 218-243, 0-9 to 244-253), every other character kept.
QString scramblePassword(const QString& text);
QString unscramblePassword(const QString& text);
// The first character of text that the stored form cannot give back as typed (an accented letter, a
// character of another script, an emoji), or an empty text when every character comes back.
QString firstUnstorablePasswordCharacter(const QString& text);

// A meeting's stored time of day: "hh:mm" as the dialogs write it, also "9:5", with seconds or AM/PM.
std::optional<QTime> readMeetingTime(const QString& text);
