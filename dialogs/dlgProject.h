#pragma once

#include "platform/Integer.h"
#include "platform/gui/FormWidget.h"

#include <QList>

class DialogPicture;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

// The project dialog: choose a project, make a new one, write its description, see the tasks and meetings
// that belong to it (a click opens one) and add new ones to it. Changes go to the project store at once;
// the OK button writes the projects file, Esc closes without writing it.
class dlgProject : public FormWidget {
    Q_OBJECT
public:
    // Design size, in twips.
    static constexpr double DesignWidth = 5430;
    static constexpr double DesignHeight = 7680;
    // The height of one item row, in twips.
    static constexpr double RowHeight = 285;

    explicit dlgProject(QWidget* parent = nullptr);
    // The one shared instance, loaded when needed.
    static dlgProject* instance();
    // Shows the dialog and brings it to the front.
    static void showDialog();

    // Shows the chosen project: its description, its items and the Task and Meeting buttons.
    void updateItems();
    // Fills the project list from the store; no project is chosen afterwards.
    void refreshList();

    // The id of the chosen project; 0 when none is chosen.
    Integer chosenProject() const;

    void btnAddProject_Click();
    void btnClose_Click();
    void butNewTask_Click();
    void butNewMeeting_Click();
    void cmbProjects_Click();
    void lblItem_Click(int index);
    void txtProjectBody_LostFocus();
    void Form_Activate();

    // One row of the item list: the type pictures, the title (its Tag holds the item's id) and the date.
    struct Row {
        QLabel* lblItem = nullptr;
        QLabel* lblDate = nullptr;
        DialogPicture* imgTask = nullptr;
        DialogPicture* imgMeeting = nullptr;
    };
    // The rows loaded so far, shown or hidden.
    const QList<Row>& rows() const { return m_rows; }
    QScrollArea* itemList() const { return m_itemList; }

protected:
    void formUnload() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadRow(int index);
    void fitRows();

    QLabel* m_Label4 = nullptr;
    QComboBox* m_cmbProjects = nullptr;
    QPushButton* m_btnAddProject = nullptr;
    QPlainTextEdit* m_txtProjectBody = nullptr;
    QGroupBox* m_Frame1 = nullptr;
    QPushButton* m_butNewMeeting = nullptr;
    QPushButton* m_butNewTask = nullptr;
    QPushButton* m_btnClose = nullptr;
    QScrollArea* m_itemList = nullptr;
    QWidget* m_rowsHost = nullptr;
    QList<Row> m_rows;
    int m_shownRows = 0;
    // The project whose description the box holds: what it is stored to when the box loses the focus.
    Integer m_bodyProject{0};
};
