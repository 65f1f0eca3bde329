#include "orbin/OrbinTimers.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Game.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/RaisedFlag.h"
#include "platform/gui/ColorCodec.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <utility>

namespace {

const QString LowerError = QStringLiteral(" error");

// Runs each step even when one before it failed; the first failure is passed on at the end.
class Steps {
public:
    template <class Body> void run(Body&& body) {
        try {
            body();
        } catch (...) {
            if (!m_failure) m_failure = std::current_exception();
        }
    }
    void fail(std::exception_ptr failure) {
        if (!m_failure) m_failure = std::move(failure);
    }
    void finish() {
        if (m_failure) std::rethrow_exception(m_failure);
    }

private:
    std::exception_ptr m_failure;
};

} // namespace

OrbinTimers::OrbinTimers(QTimer* timCheckPeriod, QTimer* taskCountdown, QTimer* timTimeOut, Face face,
                         QObject* parent)
    : QObject(parent), m_timCheckPeriod(timCheckPeriod), m_TaskCountdown(taskCountdown),
      m_timTimeOut(timTimeOut), m_face(std::move(face)), m_today(appClock().today()) {
    // The period clock follows the wall clock: a single shot, armed again after every tick for just after
    // the next full minute, so that it neither drifts nor skips a minute.
    m_timCheckPeriod->setSingleShot(true);
    m_timCheckPeriod->setTimerType(Qt::PreciseTimer);
    connect(m_timCheckPeriod, &QTimer::timeout, this, &OrbinTimers::timCheckPeriod_Timer);
    connect(m_TaskCountdown, &QTimer::timeout, this, &OrbinTimers::TaskCountdown_Timer);
    connect(m_timTimeOut, &QTimer::timeout, this, &OrbinTimers::timTimeOut_Timer);
    armPeriodClock();
}

void OrbinTimers::armPeriodClock() {
    m_timCheckPeriod->start(PeriodClock::msToNextTick(appClock().now()));
}

// ---- Period clock ----

void OrbinTimers::timCheckPeriod_Timer() {
    // A tick that comes round again while one runs (a box of the game open inside it) waits for the next.
    if (m_inPeriodTick) return;
    m_inPeriodTick = true;
    struct Rearm {
        OrbinTimers* timers;
        ~Rearm() {
            timers->m_inPeriodTick = false;
            timers->armPeriodClock();
        }
    } rearm{this};

    trapped(QStringLiteral(" - frmFloater.timCheckPeriod_Timer: "), LowerError, [&] {
        const QDateTime now = appClock().now(); // one reading for the whole tick
        // A failing period step does not cost the meetings their reminders.
        Steps steps;
        steps.run([&] { periodStep(now); });
        steps.run([&] { dayStep(now.date()); });
        steps.run([&] { reminderStep(now); });
        steps.finish();
    });
}

void OrbinTimers::periodStep(const QDateTime& now) {
    if (!gSettings || !gGame) return;
    const Integer period =
        PeriodClock::periodAt(now.time(), gSettings->StartTimePeriod2(), gSettings->StartTimePeriod3(),
                              gSettings->StartTimePeriod4());
    if (gGame->periodAhead(now.date(), period)) {
        // A clock put back across a period start (by hand, or summer time ending where a period starts in
        // the hour that comes round again) finds an earlier period than the one in play. Ending that period
        // would carry every undone task of the day forward, so it is not ended: put back a little, the game
        // stays in it until the clock has caught up; put back further, it takes the clock's period and day.
        if (!gGame->waitsForClock(now)) gGame->startPeriod(period);
    } else if (!gGame->Running() || gGame->CurrentPeriod() != period) {
        gGame->stopPeriod();
        gGame->startPeriod(period);
    }
    if (m_face.colourPeriodButtons) m_face.colourPeriodButtons(gGame->CurrentPeriod());
}

void OrbinTimers::dayStep(const QDate& today) {
    const QDate before = std::exchange(m_today, today);
    if (!gGame || !gItems || today == before) return;
    // A new day while the program runs: the orbin follows it, at the period in play, unless the user is
    // looking at another day of their own choice.
    GameControls& c = gGame->controls();
    if (!c.lblDate.isValid() || c.lblDate == before) {
        c.lblDate = today;
        gItems->setSelectedPeriod(gGame->CurrentPeriod());
    }
    if (m_face.controlsChanged) m_face.controlsChanged();
    if (gOrbinWindow) gOrbinWindow->updateInfo();
}

void OrbinTimers::reminderStep(const QDateTime& now) {
    if (!gItems) return;
    // A reminder comes the settings' lead before its meeting ("Remind me N minutes before a meeting"): the
    // meetings due are those up to the lead after the present minute, the next day's too before midnight.
    const qint64 lead = gSettings ? std::max(0, gSettings->MeetingReminderMinutes().value()) : 0;
    const std::optional<PeriodClock::Span> due = m_clock.dueSpan(now, lead);
    if (!due) return;
    const PeriodClock::Minute present{now.date(), QTime(now.time().hour(), now.time().minute())};
    // The meetings of each day of the span are looked up once, however many of its minutes are due: a
    // machine that slept for a month catches up in one tick without a lookup for every minute.
    Steps steps;
    for (QDate date = due->first.date; date <= due->last.date; date = date.addDays(1)) {
        const QTime from = date == due->first.date ? due->first.time : QTime(0, 0);
        const QTime to = date == due->last.date ? due->last.time : QTime(23, 59);
        QList<DueMeeting> meetings;
        try {
            meetings = meetingsOn(date, from, to);
        } catch (...) {
            // The meetings of this day and after stay due and are looked up again on the next tick; the
            // failure is reported once for the tick.
            steps.fail(std::current_exception());
            break;
        }
        m_clock.markHandled({date, to}, now);
        for (const DueMeeting& meeting : meetings)
            steps.run([&] {
                const Integer id = numtext::toInteger(meeting.id);
                const QString title = gItems->Title(id);
                // A reminder due this minute comes up. One caught up with after its meeting ended (the
                // machine slept through it) would only be in the way, so the log keeps it.
                const PeriodClock::Minute at{date, meeting.time};
                if (PeriodClock::shifted(at, -lead) != present &&
                    hasEnded(QDateTime(date, meeting.time), id, now)) {
                    if (gFile)
                        gFile->writeToLog(QStringLiteral("Meeting Reminder: ") + title +
                                          QStringLiteral(" (ended before it could be shown)"));
                    return;
                }
                if (m_face.showReminder) m_face.showReminder(title);
            });
    }
    steps.finish();
}

bool OrbinTimers::hasEnded(const QDateTime& start, Integer id, const QDateTime& now) {
    qint64 minutes = 0;
    try {
        minutes = std::max(0, gItems->Estimate(id).value());
    } catch (const std::exception&) {
        minutes = 0; // no readable duration: it lasts its own minute
    }
    return start.addSecs(60 * std::max<qint64>(minutes, 1)) <= now;
}

QList<OrbinTimers::DueMeeting> OrbinTimers::meetingsOn(const QDate& date, const QTime& from,
                                                       const QTime& to) const {
    QList<DueMeeting> due;
    for (const Items::MeetingTime_& m : gItems->meetingTimesOn(date))
        if (m.time >= from && m.time <= to) due << DueMeeting{m.time, m.id};
    // Minute by minute; within a minute in the order of the store.
    std::stable_sort(due.begin(), due.end(),
                     [](const DueMeeting& a, const DueMeeting& b) { return a.time < b.time; });
    return due;
}

void OrbinTimers::colourPeriodButtons(const QList<QPushButton*>& buttons, Integer current) {
    // Each button gets its colour once: one coloured as it was is not drawn again, so that the clock's
    // tick draws nothing while the period stays the same.
    auto colour = [](QPushButton* b, qint64 number) {
        b->setProperty("BackColor", number);
        QPalette p = b->palette();
        p.setColor(QPalette::Button, colorcodec::toColor(number, QApplication::palette()));
        b->setPalette(p);
    };
    const int index = current.value() - 1;
    const bool known = index >= 0 && index < buttons.size();
    for (int i = 0; i < buttons.size(); ++i)
        colour(buttons.at(i), known && i == index ? PeriodInPlayColor : PeriodButtonColor);
    if (!known) throw Failure(err::SubscriptOutOfRange);
}

// ---- The running task's countdown ----

void OrbinTimers::TaskCountdown_Timer() {
    // The timer stays armed while an error report of a tick is open: its ticks meanwhile are skipped, so
    // that reports cannot pile up.
    if (m_inTaskTick) return;
    const RaisedFlag ticking(m_inTaskTick);
    trapped(QStringLiteral(" - frmFloater.TaskCountdown_Timer: "), LowerError, [&] {
        if (!gGame) return;
        GameControls& c = gGame->controls();
        if (!gGame->isTimeOut()) {
            if (const std::optional<double> minutes = numtext::parseNumber(c.txtTaskMinutes.caption)) {
                // No lower bound: a task that overruns its estimate shows how far.
                const QString left = numtext::doubleText(*minutes - 1);
                const Integer id = numtext::toInteger(numtext::toDouble(c.butStart.tag));
                const QString title = gItems->Title(id);
                c.txtTaskMinutes.caption = left;
                c.butStart.caption = Game::taskCaption(title, left);
                if (m_face.controlsChanged) m_face.controlsChanged();
            }
        }
        if (m_face.colourPeriodButtons) m_face.colourPeriodButtons(gGame->CurrentPeriod());
        const QString score = c.labTodayScore.caption;
        if (m_face.setScoreText)
            m_face.setScoreText(numtext::leadingNumber(score) <= 99 ? score + QStringLiteral(" ") : score);
    });
}

// ---- Time-out ----

void OrbinTimers::timTimeOut_Timer() {
    if (!gGame || m_inTimeOutTick) return;
    const RaisedFlag ticking(m_inTimeOutTick);

    if (gGame->timeoutMinutesLeft() < Integer(1)) {
        gGame->setTimeoutMinutesLeft(Integer(0));
        // The time-out ends, and its timer with it, before the box: a box left open cannot have more
        // boxes pile up behind it, and the task and the period count on meanwhile.
        m_timTimeOut->stop();
        gGame->stopTimeout();
        if (m_face.controlsChanged) m_face.controlsChanged();
        prompter().messageBox(QStringLiteral("Your timeout have ended!"), Prompter::Buttons::OK,
                              Prompter::Icon::Information,
                              QCoreApplication::applicationName() + QStringLiteral("Time out"));
        return;
    }
    gGame->decreaseTimeoutMinutesLeft();
    gGame->controls().lblTimeOut.caption = QString::number(gGame->timeoutMinutesLeft().value());
    if (m_face.controlsChanged) m_face.controlsChanged();
}
