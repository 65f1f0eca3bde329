#pragma once

#include "core/GameControls.h"
#include "platform/Integer.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

struct GameStatus;

// The day's game: whether it runs, which of the four periods is current and whether it runs, which task
// runs, and the time-out. The one place that starts and stops periods and tasks. It drives the orbin and
// the scoreboard through the values in controls(); the state of the day survives a restart on the same day
// in "status.ini" in the data folder.
class Game {
public:
    Game();

    bool Running() const { return m_running; }
    bool PeriodRunning() const { return m_periodRunning; }
    // A task runs (its id is 1 or more).
    bool TaskRunning() const { return m_runningItemID >= Integer(1); }
    // 1 to 4; anything else, the state before the first period included, reads as 1.
    Integer CurrentPeriod() const;
    // "1st", "2nd", "3rd" or "4th".
    QString currentPeriodOrdinal() const;
    Integer timeoutMinutesLeft() const { return m_timeoutMinutesLeft; }
    void setTimeoutMinutesLeft(Integer v) { m_timeoutMinutesLeft = v; }
    bool isTimeOut() const { return m_isTimeOut; }
    Integer RunningItemID() const { return m_runningItemID; }

    // Starts a time-out; refused with a message while the period countdown is off.
    void startTimeout();
    void stopTimeout();
    // One minute of the time-out used.
    void decreaseTimeoutMinutesLeft();

    // Makes the task run, starting a period when none runs (period: the one to start; none = the next).
    void startTask(Integer id, std::optional<Integer> period = std::nullopt);
    // Finishes the task and scores it.
    void doneTask(Integer id);
    // Stops the running task; its minutes left go into the item.
    void stopTask(Integer id);
    void pauseTask(Integer id);
    void resumeTask(Integer id);

    // Writes the state of the day to the status file. Does nothing before getStatus has run, so that a run
    // that never got as far as the day's state leaves the stored one alone.
    bool saveStatus();
    // Restores the state saved earlier the same day, or starts the day afresh; then carries undone tasks
    // over and brings the orbin up to date.
    void getStatus();

    // For the orbin's own use (the period clock and the end-period button).
    void setRunning(bool v) { m_running = v; }
    void setPeriodRunning(bool v) { m_periodRunning = v; }
    // Values outside 1 to 4 are stored as 1.
    void setCurrentPeriod(Integer v);
    // Starts the period given, or the one after the current (the first when the game does not run).
    bool startPeriod(std::optional<Integer> period = std::nullopt);
    bool stopPeriod();
    // Whether the game runs a period the clock has not reached at period of day: a later period of that
    // day, or one of a later day. So it stands when the clock is put back across a period start.
    bool periodAhead(const QDate& day, Integer period) const;
    // Whether the clock at now stands so little before the start of the period in play, on the wall clock,
    // that the game waits in that period for the clock to catch up: no more than a clock put back by hand
    // a little, or summer time ending, leaves it behind (PeriodClock::MaxWaitedBackMinutes).
    bool waitsForClock(const QDateTime& now) const;

    // The controls the game drives; the windows mirror them.
    GameControls& controls() { return m_controls; }
    const GameControls& controls() const { return m_controls; }

    static QString statusFilePath();
    // The running-task button's caption: the first 41 characters of the title, " (", the minutes left and
    // ")". A title's own "&" stays a character on the button instead of marking a shortcut key.
    static QString taskCaption(const QString& title, const QString& minutes);

private:
    // Pause and resume: the item's status, and the task countdown with its blink on or off.
    void setTaskCounting(Integer id, const QString& location, const QString& status, bool counting);
    void enterTimeout();
    void restore(const GameStatus& s);
    void carryOverToToday(Integer period);
    static QString versionText();

    bool m_running = false;
    bool m_periodRunning = false;
    bool m_isTimeOut = false;
    Integer m_periodLength{45};
    Integer m_currentPeriod{0};
    Integer m_timeoutMinutesLeft{20};
    Integer m_runningItemID{0};
    QDate m_periodDay; // the day of the period last started
    bool m_dayRestored = false;
    GameControls m_controls;
};
