#pragma once

#include <QDate>
#include <QObject>
#include <QRectF>
#include <QString>
#include <optional>

class QComboBox;
class QLineEdit;
class QWidget;

// The day of an item dialog: a list of day choices ("Today", "Tomorrow", the weekdays after it and "Next "
// with the weekday a week on) and a box holding the chosen date as the user reads it. The box may also be
// typed in. The list names the day in the box, or none when no choice means that day.
class DayChoiceBox : public QObject {
    Q_OBJECT
public:
    // Makes the list cmbDate and the box txtDate in frame at their places (twips), the box showing "Today".
    DayChoiceBox(QWidget* frame, const QRectF& list, const QRectF& box, QObject* parent);

    // The day the orbin shows, and its date label's caption ("Start" before it shows a day).
    static QDate orbinDay();
    static QString orbinDayCaption();

    // Empties the list, shows "Today" in it and adds the coming days counted from start.
    void fillChoices(const QDate& start);
    // The date box shows day (the short date text), or a text that is not a date.
    void showDate(const QDate& day);
    void showText(const QString& text);
    // The item's stored day cannot be read: the box is left empty, and as long as it stays so the stored
    // day is to be kept as it is (keepsStored).
    void showUnreadable();
    // The date box shows the day the orbin shows, or the orbin's caption "Start" before it shows one.
    void showOrbinDay();
    // A choice from the list: the chosen day goes to gChosenDate and the date box; "Today" is put back at
    // the head of the list when it is missing.
    void choose(const QString& text);

    // The day in the date box: the one shown, or what the user typed read as a date; nullopt when the box
    // holds no date.
    std::optional<QDate> date() const;
    // The same, but a box without a date beeps, says so in a box and takes the focus: the caller stores
    // nothing then.
    std::optional<QDate> dateOrComplain() const;
    // True while the box still shows what showUnreadable left: no day is to be written.
    bool keepsStored() const;

Q_SIGNALS:
    // A day was picked from the list; the text is its label.
    void cmbDate_Click(const QString& text);

private:
    void show(const QString& text, const QDate& day, bool unreadable);
    // Selects the choice that means the day in the box, or none, without acting as a choice.
    void matchList();

    QComboBox* m_cmbDate;
    QLineEdit* m_txtDate;
    // The day last shown, with its text: what the box holds as long as the user has not typed over it.
    QDate m_shown;
    QString m_shownText;
    bool m_unreadable = false;
};
