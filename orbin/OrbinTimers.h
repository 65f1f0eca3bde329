#pragma once

#include "core/PeriodClock.h"
#include "platform/Integer.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QPushButton;
class QTimer;

// The clocks of the orbin window: the period clock, the running task's countdown and the time-out
// countdown. The window owns one and lends it its timers and what the clocks change on it.
class OrbinTimers : public QObject {
    Q_OBJECT
public:
    // What the clocks change on the window.
    struct Face {
        std::function<void(Integer current)> colourPeriodButtons;
        std::function<void(const QString& text)> setScoreText; // the score label of the top strip
        std::function<void(const QString& title)> showReminder;
        std::function<void()> controlsChanged; // the game's controls changed: show them again
    };

    // The timers are the window's own (timCheckPeriod, TaskCountdown, timTimeOut).
    OrbinTimers(QTimer* timCheckPeriod, QTimer* taskCountdown, QTimer* timTimeOut, Face face,
                QObject* parent = nullptr);

    // Period clock: the period of the time of day, the period buttons' colours, the new day after midnight,
    // and the reminders of every meeting due since the last tick, the settings' lead before its time (those
    // caught up with after they ended are logged instead). Ticks just after each full minute of the wall
    // clock.
    void timCheckPeriod_Timer();
    // The running task's minute.
    void TaskCountdown_Timer();
    // A minute of time-out.
    void timTimeOut_Timer();

    const PeriodClock& periodClock() const { return m_clock; }

    // The back colours of the period buttons: button face, and the button of the period in play.
    static constexpr qint64 PeriodButtonColor = 0x8000000FLL;
    static constexpr qint64 PeriodInPlayColor = 0x0080C0FFLL;
    static void colourPeriodButtons(const QList<QPushButton*>& buttons, Integer current);

protected:
    struct DueMeeting {
        QTime time;
        QString id; // as the store holds it
    };
    // The meetings of date whose minute lies from from to to: minutes in time order, the meetings of one
    // minute in the order of the store. One lookup in the store; a failing one raises its Failure.
    virtual QList<DueMeeting> meetingsOn(const QDate& date, const QTime& from, const QTime& to) const;

private:
    void periodStep(const QDateTime& now);
    void dayStep(const QDate& today);
    void reminderStep(const QDateTime& now);
    // Whether the meeting of id that begins at start has ended by now (its duration is its estimate).
    static bool hasEnded(const QDateTime& start, Integer id, const QDateTime& now);
    void armPeriodClock();

    QTimer* m_timCheckPeriod;
    QTimer* m_TaskCountdown;
    QTimer* m_timTimeOut;
    Face m_face;
    PeriodClock m_clock;
    QDate m_today; // the day of the last tick
    bool m_inPeriodTick = false;
    bool m_inTimeOutTick = false;
    bool m_inTaskTick = false;
};
