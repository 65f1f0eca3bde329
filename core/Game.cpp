#include "core/Game.h"

#include "core/File.h"

#include "core/ErrorReport.h"
#include "core/GameStatus.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/PeriodClock.h"
#include "core/Settings.h"
#include "core/TaskScore.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QFile>

namespace {

const QString ErrorTitle = QStringLiteral(" Error");
const QString ShowTasks = QStringLiteral("&Show tasks");
const QString TaskType = QStringLiteral("Task");
// The most of the status file that is read; anything longer is not a status file.
constexpr qint64 MaxStatusFileSize = 4096;

// The window is told about changed controls before anything of it runs, so that it always works on what
// the game has set.
void controlsChanged() {
    if (gOrbinWindow) gOrbinWindow->controlsChanged();
}
void shrinkFloater() {
    controlsChanged();
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
}
void expandFloater() {
    controlsChanged();
    if (gOrbinWindow) gOrbinWindow->expandFloater();
}
void updateInfo() {
    controlsChanged();
    if (gOrbinWindow) gOrbinWindow->updateInfo();
}
void showMessage(const QString& text) {
    controlsChanged();
    if (gOrbinWindow) gOrbinWindow->showMessage(text);
}

QString number(Integer v) {
    return QString::number(v.value());
}

// A caption read as a whole number: its leading numeric part ("-" and "---" read as 0), rounded half to
// even. A number beyond the 16-bit range fails with 6 "Overflow".
Integer captionNumber(const QString& caption) {
    return numtext::toInteger(numtext::leadingNumber(caption));
}

// The minutes a task starts with: what was left when it was stopped, else its estimate.
Integer startingMinutes(Integer id) {
    const Integer estimate = gItems->Estimate(id);
    const QString status = gItems->getStatus(id);
    const QString text = (status == QStringLiteral("started") || status == QStringLiteral("stopped"))
                             ? gItems->TimeLeft(id)
                             : number(estimate);
    if (text.isEmpty()) return estimate;
    return numtext::toInteger(text);
}

// Whether id names an item of the store that is a task.
bool isTask(Integer id) {
    try {
        return gItems && gItems->Type_(id) == TaskType;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

Game::Game() {
    trapped(QStringLiteral(" - Game.Initialize: "), ErrorTitle, [this] {
        if (gSettings) m_periodLength = gSettings->iPeriodLength();
    });
}

Integer Game::CurrentPeriod() const {
    if (m_currentPeriod >= Integer(1) && m_currentPeriod <= Integer(4)) return m_currentPeriod;
    return Integer(1);
}

void Game::setCurrentPeriod(Integer v) {
    m_currentPeriod = (v >= Integer(1) && v <= Integer(4)) ? v : Integer(1);
}

QString Game::currentPeriodOrdinal() const {
    switch (CurrentPeriod().value()) {
    case 1:
        return QStringLiteral("1st");
    case 2:
        return QStringLiteral("2nd");
    case 3:
        return QStringLiteral("3rd");
    case 4:
        return QStringLiteral("4th");
    default:
        return number(CurrentPeriod());
    }
}

// --- Time-out ---------------------------------------------------------------------------------------

void Game::startTimeout() {
    ignoringFailures([this] {
        if (!m_controls.timPeriodCounter.enabled) {
            shrinkFloater();
            prompter().messageBox(QStringLiteral("The Period must be on before you call for a Time Out!"),
                                  Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                                  QStringLiteral("Time Out!"));
            return;
        }
        enterTimeout();
    });
}

void Game::enterTimeout() {
    m_controls.butStart.caption = QStringLiteral("**** Timeout! ****");
    m_controls.butStart.enabled = false;
    m_controls.butTimeout.caption = QStringLiteral("R");
    m_controls.lblTimeOut.caption = number(m_timeoutMinutesLeft);
    m_controls.fraTimeOut.visible = true;
    m_controls.timPeriodCounter.enabled = false; // the period countdown pauses
    m_controls.timTimeOut.enabled = true;
    m_isTimeOut = true;
    controlsChanged();
}

void Game::stopTimeout() {
    Integer id{0};
    ignoringFailures([&] {
        const QString tag = m_controls.butStart.tag;
        id = tag.isEmpty() ? Integer(0) : numtext::toInteger(tag);
    });
    ignoringFailures([&] {
        if (id > Integer(0))
            m_controls.butStart.caption = taskCaption(gItems->Title(id), number(startingMinutes(id)));
        else
            m_controls.butStart.caption = QStringLiteral("&Start Task");
    });
    m_controls.butStart.enabled = true;
    m_controls.butTimeout.caption = QStringLiteral("T");
    if (m_timeoutMinutesLeft < Integer(1)) m_controls.butTimeout.enabled = false; // today's budget is spent
    // The period countdown goes on, unless the period ended while the time-out ran.
    m_controls.timPeriodCounter.enabled = m_periodRunning;
    m_controls.timTimeOut.enabled = false;
    m_controls.fraTimeOut.visible = false;
    m_isTimeOut = false;
    ignoringFailures([] { controlsChanged(); });
}

void Game::decreaseTimeoutMinutesLeft() {
    ignoringFailures([this] { m_timeoutMinutesLeft = m_timeoutMinutesLeft - Integer(1); });
}

// --- Tasks ------------------------------------------------------------------------------------------

void Game::startTask(Integer id, std::optional<Integer> period) {
    trapped(QStringLiteral(" - Game.startTask: "), ErrorTitle, [&] {
        // Read all that can fail first, so that a bad item leaves the game as it was.
        const QString title = gItems->Title(id);
        const Integer estimate = gItems->Estimate(id);
        const Integer minutes = startingMinutes(id);

        shrinkFloater();
        showMessage(QStringLiteral("Starting task ") + title.left(34) + QStringLiteral(". Estimated time: ") +
                    number(estimate) + QStringLiteral(" minutes"));
        m_runningItemID = id;
        gItems->setStatus(QStringLiteral("started"), id);
        m_controls.butStart.caption = taskCaption(title, number(minutes));
        m_controls.butStart.tag = number(id);
        m_controls.txtTaskMinutes.caption = number(minutes);
        m_controls.TaskCountdown.enabled = true;
        m_controls.timTaskMinutesBlink.enabled = true;
        if (!m_periodRunning) startPeriod(period);
        updateInfo();
    });
}

void Game::stopTask(Integer id) {
    trapped(QStringLiteral(" - Game.stopTask: "), ErrorTitle, [&] {
        const Integer minutesLeft = captionNumber(m_controls.txtTaskMinutes.caption);
        const QString title = gItems->Title(id);

        m_runningItemID = 0;
        expandFloater();
        showMessage(QStringLiteral("Task ") + title.left(58) + QStringLiteral(" stopped"));
        gItems->setStatus(QStringLiteral("stopped"), id);
        gItems->setTimeLeft(minutesLeft, id);
        m_controls.butStart.caption = ShowTasks;
        m_controls.butStart.tag.clear();
        m_controls.txtTaskMinutes.caption = QStringLiteral("-");
        m_controls.TaskCountdown.enabled = false;
        m_controls.timTaskMinutesBlink.enabled = false;
        // The orbin stands expanded since the first step: expanding it once more redraws it and lets its
        // button offer to hide the tasks, not to show what is already shown (as finishing a task does).
        expandFloater();
    });
}

void Game::pauseTask(Integer id) {
    setTaskCounting(id, QStringLiteral(" - Game.pauseTask: "), QStringLiteral("paused"), false);
}

void Game::resumeTask(Integer id) {
    setTaskCounting(id, QStringLiteral(" - Game.resumeTask: "), QStringLiteral("started"), true);
}

void Game::setTaskCounting(Integer id, const QString& location, const QString& status, bool counting) {
    trapped(location, ErrorTitle, [&] {
        gItems->setStatus(status, id);
        m_controls.TaskCountdown.enabled = counting;
        m_controls.timTaskMinutesBlink.enabled = counting;
        updateInfo();
    });
}

void Game::doneTask(Integer id) {
    trapped(QStringLiteral(" - Game.doneTask: "), ErrorTitle, [&] {
        const bool wasRunning = m_runningItemID == id;

        // The whole reckoning comes before any change: a number out of range leaves the task, the item and
        // the score as they were.
        const Integer est = gItems->Estimate(id);
        double taken = 0.0;
        if (wasRunning) {
            taken = est.value() - numtext::leadingNumber(m_controls.txtTaskMinutes.caption);
        } else {
            const QString timeLeft = gItems->TimeLeft(id);
            if (!timeLeft.isEmpty()) taken = est.value() - numtext::leadingNumber(timeLeft);
        }
        const Integer actual = numtext::toInteger(taken);
        const TaskScore score = TaskScore::of(est, actual);
        const Integer todayScore =
            captionNumber(m_controls.labTodayScore.caption) + score.points + score.bonus;

        if (wasRunning) m_runningItemID = 0;
        expandFloater();
        // The next occurrence is made from the item as it stands, before it is marked done.
        const QString repeat = gItems->Obj3(id);
        if (repeat == QStringLiteral("W") || repeat == QStringLiteral("D") || repeat == QStringLiteral("M"))
            gItems->CloneRepetitiveTask(id);

        gItems->setPoints(score.points, id);
        gItems->setStatus(QStringLiteral("done"), id);
        gItems->setDoneTime(number(actual), id);
        gItems->setDone(QStringLiteral("true"), id);
        gItems->setDoneDate(appClock().today().toString(Qt::ISODate), id);
        gItems->setDonePeriod(number(CurrentPeriod()), id);
        gItems->setTimingBonus(score.bonus, id);

        showMessage(QStringLiteral("Task done! Est. / actual time: ") + number(est) + QStringLiteral(" / ") +
                    number(actual) + QStringLiteral(" min. Points: ") + number(score.points) +
                    QStringLiteral(". Timing bonus: ") + number(score.bonus));
        if (wasRunning) {
            m_controls.butStart.caption = ShowTasks;
            m_controls.butStart.tag.clear();
            m_controls.TaskCountdown.enabled = false;
            m_controls.timTaskMinutesBlink.enabled = false;
        }
        m_controls.labTodayScore.caption = number(todayScore);
        expandFloater();
        updateInfo();
    });
}

// --- Periods ----------------------------------------------------------------------------------------

bool Game::startPeriod(std::optional<Integer> period) {
    trapped(QStringLiteral(" - Game.startPeriod: "), ErrorTitle, [&] {
        Integer next{1};
        if (period)
            next = *period;
        else if (m_running)
            next = CurrentPeriod() + Integer(1);
        setCurrentPeriod(next); // after period 4 comes period 1
        m_running = true;
        m_periodRunning = true;
        m_periodDay = appClock().today();
        gItems->moveUndoneItems(m_periodDay, CurrentPeriod(), TaskType);

        m_controls.lblRemainingOfPeriod.caption = number(m_periodLength);
        // Worked out in full width: a display time of half a minute or more must not overflow.
        const int displaySeconds = gSettings ? gSettings->iDisplayLength().value() : 5;
        m_controls.timDisplayCounter.interval = displaySeconds * 1000 + 1;
        m_controls.timDisplayCounter.enabled = true;
        m_controls.timPeriodCounter.enabled = true;
        updateInfo();
    });
    return true;
}

bool Game::periodAhead(const QDate& day, Integer period) const {
    if (!m_running || !m_periodDay.isValid()) return false;
    return m_periodDay > day || (m_periodDay == day && CurrentPeriod() > period);
}

bool Game::waitsForClock(const QDateTime& now) const {
    if (!m_periodDay.isValid() || !gSettings) return false;
    QTime start(0, 0); // the first period begins with the day
    switch (CurrentPeriod().value()) {
    case 2:
        start = PeriodClock::readTimeOfDay(gSettings->StartTimePeriod2());
        break;
    case 3:
        start = PeriodClock::readTimeOfDay(gSettings->StartTimePeriod3());
        break;
    case 4:
        start = PeriodClock::readTimeOfDay(gSettings->StartTimePeriod4());
        break;
    default:
        break;
    }
    // Minutes on the wall clock, as the reminders count them.
    const qint64 before =
        PeriodClock::indexOf(m_periodDay, start) - PeriodClock::indexOf(now.date(), now.time());
    return before >= 0 && before <= PeriodClock::MaxWaitedBackMinutes;
}

bool Game::stopPeriod() {
    trapped(QStringLiteral(" - Game.stopPeriod: "), ErrorTitle, [&] {
        const Integer p = CurrentPeriod();
        if (p >= Integer(1) && p <= Integer(3))
            gItems->moveUndoneItems(appClock().today(), m_running ? p + Integer(1) : p, TaskType);
        if (p == Integer(4)) {
            m_running = false;
            showMessage(QStringLiteral("The game and day have ended! Your total score for today: ") +
                        m_controls.labTodayScore.caption);
            m_controls.labTodayScore.caption = QStringLiteral("0");
        }
        m_periodRunning = false;
        m_controls.timPeriodCounter.enabled = false;
        updateInfo();
    });
    return true;
}

// --- The state of the day ---------------------------------------------------------------------------

QString Game::taskCaption(const QString& title, const QString& minutes) {
    return title.left(41).replace(u'&', QStringLiteral("&&")) + QStringLiteral(" (") + minutes +
           QStringLiteral(")");
}

QString Game::statusFilePath() {
    return (gSettings ? gSettings->sDataDir() : QString()) + QStringLiteral("status.ini");
}

QString Game::versionText() {
    // major.minor of the application's version; the build's own when none is set.
    const QStringList parts = QCoreApplication::applicationVersion().split(u'.');
    if (parts.size() >= 2 && !parts[0].isEmpty()) return parts[0] + u'.' + parts[1];
    if (parts.size() == 1 && !parts[0].isEmpty()) return parts[0] + QStringLiteral(".0");
    return QStringLiteral("1.0");
}

bool Game::saveStatus() {
    // Before the day's state was restored there is nothing of this run to keep (a refused password ends the
    // program before that): the state stored earlier stays as it is.
    if (!m_dayRestored) return false;
    try {
        GameStatus s;
        s.version = versionText();
        s.date = appClock().today();
        s.currentPeriod = CurrentPeriod();
        s.running = m_running;
        s.periodMinutesLeft = captionNumber(m_controls.lblRemainingOfPeriod.caption);
        s.periodRunning = m_periodRunning;
        s.isTimeOut = m_isTimeOut;
        s.timeoutMinutesLeft = m_timeoutMinutesLeft;
        s.runningItemID = m_runningItemID;
        s.taskMinutesLeft = captionNumber(m_controls.txtTaskMinutes.caption);
        if (s.runningItemID > Integer(0)) stopTask(s.runningItemID);
        s.todayScore = captionNumber(m_controls.labTodayScore.caption);
        atomicfile::write(statusFilePath(), s.toLine());
        return true;
    } catch (const std::exception& e) {
        // Saved quietly or not at all; the file that was there stays whole. The log keeps why.
        logLine(errorReportText(asFailure(&e), QStringLiteral(" - Game.saveStatus: ")));
        return false;
    }
}

void Game::getStatus() {
    m_dayRestored = true;
    const QDate today = appClock().today();
    std::optional<GameStatus> saved;
    bool unreadable = false;
    try {
        QFile file(statusFilePath());
        if (file.open(QIODevice::ReadOnly)) {
            if (file.size() <= MaxStatusFileSize)
                saved = GameStatus::fromText(file.read(MaxStatusFileSize + 1));
            unreadable = !saved;
        }
    } catch (const std::exception&) {
        saved.reset();
        unreadable = true;
    }
    // A file that does not read as a whole is kept aside (and logged) before the quit writes a new one, so
    // that what it held can still be looked at.
    if (unreadable) {
        ignoringFailures([&] {
            const QString aside = statusFilePath() + QStringLiteral(".damaged-") +
                                  appClock().now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
            if (QFile::rename(statusFilePath(), aside) && gFile)
                gFile->writeToLog(QStringLiteral("The saved day could not be read; it is kept as ") + aside);
        });
    }
    // Only the state of this same day comes back; a file of another day, or one that does not read as a
    // whole, leaves the day to start afresh.
    if (saved && saved->date == today) {
        try {
            restore(*saved);
        } catch (const std::exception&) {
        }
    }
    carryOverToToday(CurrentPeriod());
}

void Game::restore(const GameStatus& s) {
    m_controls.txtMinLeftOfPeriod.caption = number(s.periodMinutesLeft);
    m_controls.lblRemainingOfPeriod.caption = number(s.periodMinutesLeft);
    m_isTimeOut = s.isTimeOut;
    m_running = s.running;
    m_periodDay = s.date; // only a state saved today is restored
    m_periodRunning = s.periodRunning;
    if (m_running && !m_isTimeOut) m_controls.timPeriodCounter.enabled = true;
    m_timeoutMinutesLeft = s.timeoutMinutesLeft;
    // The running task comes back only when it is still a task of the store: an id of an item since removed
    // (or of a meeting) would run a countdown for nothing and be written back at every quit. startTask sets
    // the running id itself once the task runs, so a task that cannot be started leaves none behind, and the
    // rest of the day is restored all the same.
    m_runningItemID = 0;
    if (s.runningItemID <= Integer(0)) {
        m_controls.txtTaskMinutes.caption = number(s.taskMinutesLeft);
    } else if (isTask(s.runningItemID)) {
        // startTask takes the minutes left from the item, where the save put them.
        try {
            startTask(s.runningItemID, s.currentPeriod);
        } catch (const std::exception&) {
        }
    }
    m_controls.labTodayScore.caption = number(s.todayScore);
    setCurrentPeriod(s.currentPeriod);
    // A time-out that ran at quit goes on, with its panel and its minute timer; otherwise nothing could end
    // it and the task and period countdowns would stand still for the rest of the day.
    if (m_isTimeOut) enterTimeout();
    controlsChanged();
}

void Game::carryOverToToday(Integer period) {
    // Each step runs even when one before it failed.
    const QDate today = appClock().today();
    ignoringFailures([&] { gItems->moveUndoneItems(today, period, TaskType); });
    ignoringFailures([&] { gItems->setSelectedPeriod(CurrentPeriod()); });
    m_controls.lblDate = today;
    ignoringFailures([] { controlsChanged(); });
    ignoringFailures([] {
        if (gOrbinWindow) gOrbinWindow->timCheckPeriod_Timer();
    });
    ignoringFailures([] { expandFloater(); });
}
