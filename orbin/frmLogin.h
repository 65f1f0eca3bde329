#pragma once

#include "platform/gui/FormWidget.h"

class QLineEdit;

// Asks for the start-up password. The right password opens the gate (stopApplication back to False);
// a wrong one, Cancel or Esc leave it shut. One attempt, no message.
class frmLogin : public FormWidget {
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);

    QLineEdit* txtPassword1() const { return m_txtPassword1; }
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_txtPassword1;
};
