#pragma once

#include "platform/gui/FormWidget.h"

#include <array>

class IntegerFieldGuard;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class TimeSpinners;

// The everyday settings: how long popups stay up, the hide key, keeping the orbin on top, the question
// before closing, the meeting reminder's lead time, the start-up password and the start times of periods
// 2, 3 and 4. "&Use" applies the fields to the running program, "&Save" also stores them, "&Cancel" and
// Esc leave everything as it was (but a password set meanwhile, which the password form stores at once).
class dlgSettings : public FormWidget {
    Q_OBJECT
public:
    static constexpr int RowCount = 3; // the start times of periods 2, 3 and 4

    explicit dlgSettings(QWidget* parent = nullptr);
    // The one shared instance.
    static dlgSettings* instance();

    void getSettings();
    void applySettings();
    void saveSettings();
    // Wraps a start-time row's bars and writes its text from them.
    void updateTime(int row);

    void btnApply_Click();
    void btnSave_Click();
    void btnCancel_Click();
    void chkPassword_Click();

    QLineEdit* txtPopupTime() const { return m_txtPopupTime; }
    QCheckBox* chkBossKey() const { return m_chkBossKey; }
    QCheckBox* chkOnTop() const { return m_chkOnTop; }
    QCheckBox* chkConfirmExit() const { return m_chkConfirmExit; }
    QLineEdit* txtReminder() const { return m_txtReminder; }
    QCheckBox* chkPassword() const { return m_chkPassword; }
    QLineEdit* txtTime(int row) const { return m_txtTime.at(static_cast<size_t>(row)); }
    QScrollBar* scrHour(int row) const { return m_scrHour.at(static_cast<size_t>(row)); }
    QScrollBar* scrMinute(int row) const { return m_scrMinute.at(static_cast<size_t>(row)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void formUnload() override;

private:
    void buildControls();
    // Every field checked before anything is applied: the first bad one gets its box and the focus.
    bool checkFields();
    // The start times rise from period 2 to period 4; else the first that does not is refused.
    bool startTimesRise();

    QLineEdit* m_txtPopupTime = nullptr;
    QCheckBox* m_chkBossKey = nullptr;
    QCheckBox* m_chkOnTop = nullptr;
    QCheckBox* m_chkConfirmExit = nullptr;
    QLineEdit* m_txtReminder = nullptr;
    QCheckBox* m_chkPassword = nullptr;
    std::array<QLineEdit*, RowCount> m_txtTime = {};
    std::array<QScrollBar*, RowCount> m_scrHour = {};
    std::array<QScrollBar*, RowCount> m_scrMinute = {};
    std::array<TimeSpinners*, RowCount> m_rows = {};
    QPushButton* m_btnSave = nullptr;
    QPushButton* m_btnCancel = nullptr;
    QPushButton* m_btnApply = nullptr;
    IntegerFieldGuard* m_guard = nullptr;
};
