#pragma once

#include "dialogs/MeetingForm.h"

#include <QList>

class LineControl;
class QGroupBox;
class QLabel;
class QPushButton;

// Schedule Meeting: a title, a first objective, a day and a time picked on a clock dial; a click on one
// of the eight duration buttons stores the meeting and closes the dialog. A new one is made on each
// request, and several may be open at once.
//
// The dial opens in hour mode, its twelve buttons showing 1 to 12: a click picks the hour (7 to 12 in the
// morning, 1 to 6 in the afternoon), shows that hour's hand and turns the dial to minute mode, where the
// buttons show the minutes 5 to 55 and 0; a click there picks the minute, shows its hand and turns the
// dial back.
class dlgNewMeetingDetails : public MeetingForm {
    Q_OBJECT
public:
    // The design size in twips; loading cuts the height so that only the upper part is seen.
    static constexpr double DesignWidth = 7560;
    static constexpr double DesignHeight = 7020;
    static constexpr double LoadedHeight = 5685;
    // The durations of the eight buttons, in their tab order.
    static constexpr int DurationCount = 8;

    explicit dlgNewMeetingDetails(QWidget* parent = nullptr);

    // The hidden project preset: empty, or the id of the project the new meeting belongs to.
    QLabel* lblProject() const { return m_lblProject; }

    // The dial's captions: minutes ("5" to "55" and "0") or hours ("1" to "12").
    void ShowMinutes();
    void ShowHours();
    void AllHourHandsInvisible();
    void AllMinuteHandsInvisible();

    // The handlers, as the controls call them. n is the dial button 1 to 12.
    void but_Click(int n);
    void duration_Click(int minutes);
    void txtMeetingTitle_Change() override;

private:
    void buildControls();
    void Form_Load();
    // Stores the meeting with its duration; false when it stored nothing (a field was wrong, and the user
    // has been told), so the dialog stays open.
    bool saveMeeting(Integer minutes);
    // Beeps and says which of the typed hour and minute is not a time; false then.
    bool timeIsReadable();

    QLineEdit* m_txtHour = nullptr;
    QLineEdit* m_txtMin = nullptr;
    QGroupBox* m_frameTimeEstimate = nullptr;
    QList<QPushButton*> m_durations;
    QPushButton* m_dial[12] = {};
    LineControl* m_hourHand[12] = {};   // Hour01 .. Hour12
    LineControl* m_minuteHand[12] = {}; // Minute05 .. Minute55, then Minute00: the hand of but01 .. but12
    QLabel* m_lblProject = nullptr;
};
