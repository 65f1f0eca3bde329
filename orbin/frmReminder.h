#pragma once

#include "platform/Integer.h"
#include "platform/gui/FormWidget.h"

class QLabel;
class QPushButton;
class QTimer;

// A meeting's reminder: a small window at the orbin's left edge below its top row, above all others, with
// the meeting's title. OK dismisses it; Snooze hides it and brings it back every fifth minute until OK.
class frmReminder : public FormWidget {
    Q_OBJECT
public:
    explicit frmReminder(QWidget* parent = nullptr);

    // Opens a further reminder window for title, logged, without taking the focus.
    static frmReminder* raiseReminder(const QString& title);
    // Brings this window to the front, as for any widget.
    using QWidget::raise;
    // Brings every reminder on the screen to the front again, without taking the focus.
    static void raiseShown();

    void setReminderText(const QString& text);
    QString reminderText() const;

    void btnOK_Click();
    void btnSnooze_Click();
    void timSnooze_Timer();

    QTimer* timSnooze() const { return m_timSnooze; }
    static constexpr int SnoozeTickMs = 60000;
    // The tick on which a snoozed reminder comes back.
    static constexpr int ComeBackTick = 5;

private:
    void Form_Load();
    // Places the reminder by the orbin's place on the screen (twips), clear of its top row and of the
    // other reminders.
    void placeAt(const Rect& orbin);

    QLabel* m_lblReminder = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnSnooze = nullptr;
    QTimer* m_timSnooze = nullptr;
    Integer m_count{0};
    bool m_inSnoozeTick = false;
};
