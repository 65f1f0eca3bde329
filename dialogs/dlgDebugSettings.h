#pragma once

#include "platform/gui/FormWidget.h"

#include <QList>
#include <array>

class IntegerFieldGuard;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The developer's settings: period length, popup time, hide key, keep on top, error trapping and the
// colour table, and a button that removes every stored setting. "&Use" applies the fields to the running
// program, "&Save" also stores them, "&Cancel" leaves everything as it was.
class dlgDebugSettings : public FormWidget {
    Q_OBJECT
public:
    static constexpr int ColorButtonCount = 12;

    explicit dlgDebugSettings(QWidget* parent = nullptr);
    // The one shared instance.
    static dlgDebugSettings* instance();

    void getSettings();
    void applySettings();
    void saveSettings();

    void btnApply_Click();
    void btnSave_Click();
    void CancelButton_Click();
    void btnRemoveSettings_Click();
    void cmdColor_Click(int index);

    QLineEdit* txtPeriodLength() const { return m_txtPeriodLength; }
    QLineEdit* txtPopupTime() const { return m_txtPopupTime; }
    QCheckBox* chkBossKey() const { return m_chkBossKey; }
    QCheckBox* chkOnTop() const { return m_chkOnTop; }
    QRadioButton* optErrTrapYes() const { return m_optErrTrapYes; }
    QRadioButton* optErrTrapNo() const { return m_optErrTrapNo; }
    QPushButton* cmdColor(int index) const { return m_cmdColor.at(index); }
    // The colour number a colour button is painted in.
    qint64 faceColor(int index) const { return m_faceColor.at(index); }

private:
    void buildControls();
    void paintColorButton(int index, qint64 color);

    QLineEdit* m_txtPeriodLength = nullptr;
    QLineEdit* m_txtPopupTime = nullptr;
    QCheckBox* m_chkBossKey = nullptr;
    QCheckBox* m_chkOnTop = nullptr;
    QGroupBox* m_fraErrorTrapping = nullptr;
    QRadioButton* m_optErrTrapYes = nullptr;
    QRadioButton* m_optErrTrapNo = nullptr;
    QGroupBox* m_fraColor = nullptr;
    std::array<QPushButton*, ColorButtonCount> m_cmdColor = {};
    std::array<qint64, ColorButtonCount> m_faceColor = {};
    QPushButton* m_btnRemoveSettings = nullptr;
    QPushButton* m_btnSave = nullptr;
    QPushButton* m_btnApply = nullptr;
    QPushButton* m_CancelButton = nullptr;
    IntegerFieldGuard* m_guard = nullptr;
};
