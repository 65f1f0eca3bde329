#include "orbin/frmScoreboard.h"

#include "core/ErrorReport.h"
#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "platform/NumberText.h"
#include "platform/RaisedFlag.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace {

const QString Section = QStringLiteral("ScoreBoard");
const QString KeepOpenKey = QStringLiteral("KeepOpen");

QPointer<frmScoreboard>& sharedSlot() {
    static QPointer<frmScoreboard> form;
    return form;
}

void syncTimer(QTimer* timer, const GameControls::Timer& state) {
    if (timer->interval() != state.interval) timer->setInterval(state.interval);
    if (timer->isActive() == state.enabled) return;
    if (state.enabled)
        timer->start();
    else
        timer->stop();
}

} // namespace

frmScoreboard::frmScoreboard(QWidget* parent)
    : FormWidget(QStringLiteral("frmScoreboard"), parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Score board"));
    resize(twips::toPixels(2895), twips::toPixels(1995));

    m_fraScoreBoard = new QFrame(this);
    m_fraScoreBoard->setObjectName(QStringLiteral("fraScoreBoard"));
    m_fraScoreBoard->setFrameShape(QFrame::Box);
    m_fraScoreBoard->installEventFilter(this);
    placeTwips(m_fraScoreBoard, 60, 60, 2775, 1875);
    auto label = [&](const char* name, const QString& caption, double l, double t, double w) {
        auto* lab = new QLabel(caption, m_fraScoreBoard);
        lab->setTextFormat(Qt::PlainText);
        lab->setObjectName(QString::fromLatin1(name));
        lab->setAttribute(Qt::WA_TransparentForMouseEvents); // a click goes to the frame
        placeTwips(lab, l, t, w, 255);
        return lab;
    };
    label("fraScoreBoardCaption", QStringLiteral("Score Board"), 120, 30, 2500);
    label("Label7", QStringLiteral("Minutes left in period"), 120, 360, 1935);
    m_lblRemainingOfPeriod = label("lblRemainingOfPeriod", QStringLiteral("---"), 2100, 360, 600);
    label("Label8", QStringLiteral("Today"), 120, 690, 1935);
    m_labTodayScore = label("labTodayScore", QStringLiteral("0"), 2100, 690, 600);
    label("lblPastDay", QStringLiteral("Average"), 120, 1020, 1935);
    label("LabPastDayScore", QStringLiteral("0"), 2100, 1020, 600);
    label("labPeriodNumber", QStringLiteral("---"), 2100, 30, 600);
    m_chkKeepOpen = new QCheckBox(QStringLiteral("Keep me open!"), m_fraScoreBoard);
    m_chkKeepOpen->setObjectName(QStringLiteral("chkKeepOpen"));
    placeTwips(m_chkKeepOpen, 120, 1380, 2500, 315);

    m_timPeriodCounter = new QTimer(this);
    m_timPeriodCounter->setObjectName(QStringLiteral("timPeriodCounter"));
    m_timPeriodCounter->setInterval(60000);
    connect(m_timPeriodCounter, &QTimer::timeout, this, &frmScoreboard::timPeriodCounter_Timer);
    m_timDisplayCounter = new QTimer(this);
    m_timDisplayCounter->setObjectName(QStringLiteral("timDisplayCounter"));
    m_timDisplayCounter->setInterval(1000);
    connect(m_timDisplayCounter, &QTimer::timeout, this, &frmScoreboard::timDisplayCounter_Timer);
}

frmScoreboard* frmScoreboard::instance() {
    return sharedForm(sharedSlot());
}

frmScoreboard* frmScoreboard::existing() {
    QPointer<frmScoreboard>& slot = sharedSlot();
    return slot && !slot->isUnloaded() ? slot.data() : nullptr;
}

void frmScoreboard::showControls(const GameControls& c) {
    frmScoreboard* board = existing();
    if (!board) {
        // Not made afresh while the program closes: it would outlive the quit.
        if (gQuitting) return;
        const GameControls design;
        if (!c.timPeriodCounter.enabled && !c.timDisplayCounter.enabled &&
            c.lblRemainingOfPeriod.caption == design.lblRemainingOfPeriod.caption &&
            c.labTodayScore.caption == design.labTodayScore.caption)
            return;
        board = instance();
    }
    board->syncFrom(c);
}

void frmScoreboard::syncFrom(const GameControls& c) {
    m_lblRemainingOfPeriod->setText(c.lblRemainingOfPeriod.caption);
    m_labTodayScore->setText(c.labTodayScore.caption);
    syncTimer(m_timPeriodCounter, c.timPeriodCounter);
    syncDisplayCounter(c);
}

// The timer that hides the scoreboard has nothing to do while it is hidden (which it is unless shown from
// outside): it runs only while the scoreboard is up, and a scoreboard shown is hidden one interval later.
// Running all the time it would wake the program every few seconds for nothing.
void frmScoreboard::syncDisplayCounter(const GameControls& c) {
    syncTimer(m_timDisplayCounter,
              {c.timDisplayCounter.enabled && isVisible(), c.timDisplayCounter.interval});
}

void frmScoreboard::showEvent(QShowEvent* event) {
    FormWidget::showEvent(event);
    if (gGame) syncDisplayCounter(gGame->controls());
}

void frmScoreboard::hideEvent(QHideEvent* event) {
    FormWidget::hideEvent(event);
    m_timDisplayCounter->stop();
}

bool frmScoreboard::keepOpen() const {
    return m_chkKeepOpen->isChecked();
}

void frmScoreboard::Form_Activate() {
    if (!gSettings) return;
    m_chkKeepOpen->setChecked(numtext::toInteger(gSettings->getMySetting(KeepOpenKey, Section, 0)) ==
                              Integer(1));
}

void frmScoreboard::changeEvent(QEvent* event) {
    FormWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void frmScoreboard::formUnload() {
    m_timPeriodCounter->stop();
    m_timDisplayCounter->stop();
    if (gSettings)
        gSettings->putMySetting(
            KeepOpenKey, m_chkKeepOpen->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), Section);
}

bool frmScoreboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fraScoreBoard && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        fraScoreBoard_Click();
        return true;
    }
    return FormWidget::eventFilter(watched, event);
}

void frmScoreboard::fraScoreBoard_Click() {
    hide();
}

void frmScoreboard::timDisplayCounter_Timer() {
    if (!m_chkKeepOpen->isChecked()) hide();
}

void frmScoreboard::timPeriodCounter_Timer() {
    // A tick while the error report of the one before is open is skipped: reports do not pile up.
    if (m_inPeriodTick) return;
    const RaisedFlag ticking(m_inPeriodTick);
    trapped(QStringLiteral(" - frmScoreboard.timPeriodCounter_Timer: "), QStringLiteral(" Error"), [&] {
        if (!gGame) return;
        GameControls& c = gGame->controls();
        const double n = numtext::leadingNumber(c.lblRemainingOfPeriod.caption);
        if (n <= 0) {
            // The countdown stops at 0; the period ends by the clock.
            endOfPeriod();
            return;
        }
        const QString left = numtext::doubleText(n - 1);
        c.lblRemainingOfPeriod.caption = left;
        c.txtMinLeftOfPeriod.caption = left;
        if (gOrbinWindow)
            gOrbinWindow->controlsChanged();
        else
            syncFrom(c);
    });
}

void frmScoreboard::endOfPeriod() {
    trapped(QStringLiteral(" - frmScoreboard.endOfPeriod: "), QStringLiteral(" Error"), [] {});
}
