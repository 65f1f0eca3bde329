#pragma once

#include "platform/gui/FormWidget.h"

#include <QList>

class QPushButton;

// A developer's aid: one button for every loaded form, in load order and captioned with the form's
// name, and "Refresh" to build the list again. A form's button shows every loaded form of that name,
// hidden ones too. The list is built when the window loads and goes stale until "Refresh".
class dlgFormList : public FormWidget {
    Q_OBJECT
public:
    explicit dlgFormList(QWidget* parent = nullptr);
    // The one shared instance.
    static dlgFormList* instance();

    // Captions the buttons after the loaded forms, adding the buttons that are missing.
    void refreshButtons();
    void Command1_Click();
    void btnForm_Click(int index);

    QPushButton* Command1() const { return m_Command1; }
    const QList<QPushButton*>& btnForm() const { return m_btnForm; }

private:
    // Enters a button of the list; its click shows the forms named by its caption.
    void addButton(QPushButton* button);

    QPushButton* m_Command1;
    QList<QPushButton*> m_btnForm;
};
