#pragma once

#include "platform/gui/FormWidget.h"

class QLineEdit;

// Sets the start-up password: the password twice, stored (scrambled) only when both agree. Both boxes
// open with the current password; agreeing empty boxes leave a stored password as it is.
class frmPassword : public FormWidget {
    Q_OBJECT
public:
    explicit frmPassword(QWidget* owner = nullptr);

    // Shows a new password form modally over owner and returns once it is unloaded.
    static void showModal(QWidget* owner);

    QLineEdit* txtPassword1() const { return m_txtPassword1; }
    QLineEdit* txtPassword2() const { return m_txtPassword2; }
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    // Shrinks the orbin and shows a box under the program's name.
    static void tell(const QString& text, bool warning);

    QLineEdit* m_txtPassword1;
    QLineEdit* m_txtPassword2;
};
