#pragma once

#include "dialogs/MeetingForm.h"

class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class QToolButton;
class TimeSpinners;

// One meeting for editing: its title, first objective, time and day, and its note when it has one. Save
// stores the edits, Delete removes the meeting after asking, Done marks it done. One shared instance; an
// opener unloads it, loads it anew, puts the meeting's id in its Tag, calls Populate and shows it.
class dlgEditMeetingDetails : public MeetingForm {
    Q_OBJECT
public:
    static constexpr double FormWidth = 8100;
    // The two views: the form's height and the top of the button row (twips).
    static constexpr double SimpleHeight = 4245;
    static constexpr double SimpleButtonTop = 3015;
    static constexpr double AdvancedHeight = 9015;
    static constexpr double AdvancedButtonTop = 7425;

    explicit dlgEditMeetingDetails(QWidget* parent = nullptr);
    // The one shared instance.
    static dlgEditMeetingDetails* instance();

    // Fills the dialog from the meeting whose id is in the Tag property.
    void Populate();
    // The advanced view shows the note as well.
    void showDetails(bool advanced);
    void moveButtonRow(Integer top);

    // The handlers, as the controls call them.
    void butSave_Click();
    void butDelete_Click();
    void butDone_Click();
    void txtMeetingTitle_Change() override;

    TimeSpinners* time() const { return m_time; }

private:
    void buildControls();
    void Form_Load();
    // The Tag as a whole number.
    Integer tagId() const;

    QLineEdit* m_txtTime = nullptr;
    QScrollBar* m_scrHour = nullptr;
    QScrollBar* m_scrMinute = nullptr;
    QToolButton* m_butSave = nullptr;
    QToolButton* m_butDelete = nullptr;
    QToolButton* m_butDone = nullptr;
    QPlainTextEdit* m_txtMeetingBody = nullptr;
    QLineEdit* m_txtEstimate = nullptr;
    TimeSpinners* m_time = nullptr;
    // Whether txtEstimate holds the stored duration; Save writes it back only then.
    bool m_estimateRead = false;
};
