#pragma once

#include "platform/gui/FormWidget.h"

#include <QPointer>

struct GameControls;
class QCheckBox;
class QFrame;
class QLabel;
class QTimer;

// The scoreboard: the minutes left in the period, counted down by its own minute timer, and today's
// score. One shared instance, made hidden when the game first needs it and loaded until quit. Its values
// are the game's controls; it shows them and writes its countdown back to them.
class frmScoreboard : public FormWidget {
    Q_OBJECT
public:
    explicit frmScoreboard(QWidget* parent = nullptr);

    // The one shared instance, made (hidden) on first use.
    static frmScoreboard* instance();
    // The instance when it exists, without making one.
    static frmScoreboard* existing();
    // Shows the game's values and runs the timers as the game has set them; makes the scoreboard only once
    // the game has given it something to show or count.
    static void showControls(const GameControls& controls);
    void syncFrom(const GameControls& controls);

    // Called when the period countdown has reached 0; the period itself ends by the clock.
    void endOfPeriod();

    void timPeriodCounter_Timer();
    void timDisplayCounter_Timer();
    void fraScoreBoard_Click();

    bool keepOpen() const;
    // Each time the scoreboard becomes the active window: the keep-open box as stored.
    void Form_Activate();
    QTimer* timPeriodCounter() const { return m_timPeriodCounter; }
    QTimer* timDisplayCounter() const { return m_timDisplayCounter; }

protected:
    void formUnload() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void syncDisplayCounter(const GameControls& controls);

    QFrame* m_fraScoreBoard = nullptr;
    QLabel* m_lblRemainingOfPeriod = nullptr;
    QLabel* m_labTodayScore = nullptr;
    QCheckBox* m_chkKeepOpen = nullptr;
    QTimer* m_timPeriodCounter = nullptr;
    QTimer* m_timDisplayCounter = nullptr;
    bool m_inPeriodTick = false;
};
