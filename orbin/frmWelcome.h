#pragma once

#include "platform/gui/FormWidget.h"

#include <QList>

class QLabel;
class QPushButton;

// The "Getting started" card: it asks whether the user wants to be guided through creating, starting and
// finishing a first task and, on Yes, unfolds the written steps. One shared instance, shown modeless.
class frmWelcome : public FormWidget {
    Q_OBJECT
public:
    explicit frmWelcome(QWidget* parent = nullptr);
    // The one shared instance, loaded on first use.
    static frmWelcome* instance();

    // Heights in twips, title bar and borders included: only the question and the buttons, and the whole
    // guide.
    static constexpr double FoldedHeight = 2220;
    static constexpr double UnfoldedHeight = 7428;
    static constexpr double DesignWidth = 6900;

    void btnYes_Click();
    void btnNo_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void setHeightTwips(double height);

    QPushButton* m_btnYes = nullptr;
    QPushButton* m_btnNo = nullptr;
    QList<QLabel*> m_Label3;  // the headings of the guide
    QList<QLabel*> m_Label4;  // its steps
    QList<QLabel*> m_numbers; // the steps' numbers
};
