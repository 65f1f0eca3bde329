#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QLineEdit;
class QScrollBar;

// A time of day in a text box as "hh:mm", with two small vertical scroll bars beside it: one steps the
// hour, the other the minute. Each bar stands at the negative of its value (the hour bar from -24 to 1,
// the minute bar from -60 to 1), so that its upper arrow counts up. The position beyond each end only
// says that a step went past it and is wrapped at once: the minute carries into the hour (10:59 up gives
// 11:00, 00:00 down gives 23:59) and the hour goes round (23 up gives 0). The bars hold the time; the text
// is rebuilt from them after every step.
//
// A time typed into the box is taken when the box loses the focus: "h:m" with whole numbers (hour -1 to
// 24 and minute -1 to 60, wrapped like a step); anything else beeps and puts the bars' time back. Where
// only a time of day will do (setDayOnly), a time past the day's ends is not wrapped: it stays in the
// box as typed, for the form to refuse.
class TimeSpinners : public QObject {
    Q_OBJECT
public:
    TimeSpinners(QLineEdit* txtTime, QScrollBar* scrHour, QScrollBar* scrMinute, QObject* parent = nullptr);

    // Sets the bars to hour and minute (each within the typed range above) and shows the time.
    void setTime(int hour, int minute);
    int hour() const;
    int minute() const;

    void setDayOnly(bool dayOnly) { m_dayOnly = dayOnly; }
    // Shows a stored text that is no time of day as it stands (the bars keep their time): as long as the
    // box holds it, leaving the box changes nothing, and keepsStored() says so.
    void showStored(const QString& text);
    bool keepsStored() const;

    // Wraps the bars that stand beyond an end and writes the text from them.
    void updateTime();
    // Takes the typed time, or beeps and puts the bars' time back.
    void txtTime_LostFocus();

    // A time text read as "h:m", split at its first colon, each part a whole number (blanks around it
    // allowed), the hour from -1 to 24 and the minute from -1 to 60. nullopt for anything else.
    struct HourMinute {
        int hour = 0;
        int minute = 0;
    };
    static std::optional<HourMinute> readTime(const QString& text);
    // From 00:00 to 23:59: a time the bars hold as it is.
    static bool isTimeOfDay(const HourMinute& t);
    // "hh:mm", two digits each.
    static QString timeText(int hour, int minute);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_txtTime;
    QScrollBar* m_scrHour;
    QScrollBar* m_scrMinute;
    bool m_dayOnly = false;
    std::optional<QString> m_stored;
};
