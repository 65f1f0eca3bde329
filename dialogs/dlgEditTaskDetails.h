#pragma once

#include "dialogs/TaskForm.h"
#include "platform/Integer.h"

class QPushButton;
class QToolButton;

// One task, the current item of the store, and what the user can do with it: start, stop, finish (also
// with a follow-up task), move it to another period, change its title, note, day and repeat rule, or
// delete it. The buttons shown follow the task's status, its day and period and the state of the game.
// There is one at a time; every action that changes the task closes it.
class dlgEditTaskDetails : public TaskForm {
    Q_OBJECT
public:
    static constexpr double Width = 7800;
    // The two views, in twips: the window's height and the top of the action frame.
    static constexpr double SimpleHeight = 3060;
    static constexpr double AdvancedHeight = 9360;
    static constexpr double SimpleActionTop = 1260;
    static constexpr double AdvancedActionTop = 7590;

    // Made, loaded from the current item and shown.
    explicit dlgEditTaskDetails(QWidget* parent = nullptr);
    // The one shared instance.
    static dlgEditTaskDetails* instance();

    // Fills the dialog from the current item and sets which buttons show.
    void Load();

    void butStart_Click();
    void butStop_Click();
    void butDone_Click();
    void butDonePlusFollowup_Click();
    void butDelete_Click();
    // Stores the edits and closes; False when nothing was stored (the dialog stays open).
    bool butSave_Click();
    void butAdvanced_Click();
    // Moves the task to period 1 to 4 and stores the edits.
    void butPeriod_Click(int period);

private:
    void buildControls();
    void setActionButtons();
    // The note box and the day, repeat and period controls: shown in the advanced view only.
    void showEditFields(bool shown);
    // Stores the edits, the period too when one is given, and closes the dialog.
    bool saveEdits(const QString& period = QString());
    Integer itemId() const;

    QGroupBox* m_Frame1 = nullptr;
    QToolButton* m_butStart = nullptr;
    QToolButton* m_butStop = nullptr;
    QToolButton* m_butDelete = nullptr;
    QToolButton* m_butSave = nullptr;
    QToolButton* m_butPostpone = nullptr;
    QToolButton* m_butDonePlusFollowup = nullptr;
    QToolButton* m_butDone = nullptr;
    QPushButton* m_butAdvanced = nullptr;
    QPushButton* m_btnClose = nullptr;
    QGroupBox* m_frameSelectPeriod = nullptr;
    // The note and the repeat code as stored, written back as they are while the user leaves them be: a
    // note the box cannot give back exactly and a code the repeat buttons do not know are kept.
    QString m_storedNote;
    QString m_storedRepeat;
    QString m_shownRepeat;
};
