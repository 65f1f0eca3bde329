#include "orbin/frmReminder.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "orbin/frmFloater.h"
#include "platform/RaisedFlag.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

frmReminder::frmReminder(QWidget* parent)
    : FormWidget(QStringLiteral("frmReminder"), parent, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Meeting"));
    // The design colour of the form; the colour table gives the real one at load.
    setFormBackColor(255);
    resize(twips::toPixels(3600), twips::toPixels(1350));

    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::Box);
    shape1->setLineWidth(2);
    shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeTwips(shape1, 0, 0, 3600, 1350);

    m_lblReminder = new QLabel(QStringLiteral("MEETING"), this);

    m_lblReminder->setTextFormat(Qt::PlainText);
    m_lblReminder->setObjectName(QStringLiteral("lblReminder"));
    m_lblReminder->setAlignment(Qt::AlignCenter);
    m_lblReminder->setWordWrap(true);
    QFont bold = m_lblReminder->font();
    bold.setBold(true);
    m_lblReminder->setFont(bold);
    placeTwips(m_lblReminder, 120, 90, 3360, 675);

    m_btnOK = new QPushButton(QStringLiteral("OK"), this);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setToolTip(QStringLiteral("Close and dismiss this reminder"));
    placeTwips(m_btnOK, 480, 840, 1200, 360);
    m_btnSnooze = new QPushButton(QStringLiteral("Snooze 5"), this);
    m_btnSnooze->setObjectName(QStringLiteral("btnSnooze"));
    m_btnSnooze->setToolTip(QStringLiteral("Remind me again i five minutes"));
    placeTwips(m_btnSnooze, 1920, 840, 1200, 360);
    connect(m_btnOK, &QPushButton::clicked, this, &frmReminder::btnOK_Click);
    connect(m_btnSnooze, &QPushButton::clicked, this, &frmReminder::btnSnooze_Click);

    // Interval 0 at design: it does not fire until Snooze sets it.
    m_timSnooze = new QTimer(this);
    m_timSnooze->setObjectName(QStringLiteral("timSnooze"));
    connect(m_timSnooze, &QTimer::timeout, this, &frmReminder::timSnooze_Timer);

    Form_Load();
}

frmReminder* frmReminder::raiseReminder(const QString& title) {
    auto* reminder = new frmReminder();
    // Whatever fails, the reminder is still there.
    ignoringFailures([&] { reminder->setReminderText(title); });
    ignoringFailures([&] {
        if (gFile) gFile->writeToLog(QStringLiteral("Meeting Reminder: ") + title);
    });
    ignoringFailures([&] { windowprocs::showWithoutActivating(reminder); });
    return reminder;
}

void frmReminder::raiseShown() {
    for (FormPort* form : forms::loaded())
        if (auto* reminder = dynamic_cast<frmReminder*>(form); reminder && reminder->isVisible())
            reminder->raise();
}

void frmReminder::Form_Load() {
    trapped(QStringLiteral(" - frmReminder.Form_Load: "), QStringLiteral(" Error"), [&] {
        if (gOrbinWindow)
            if (FormPort* orbin = gOrbinWindow->form()) placeAt(orbin->twipGeometry());
        windowprocs::setTopMost(this, true);
        if (gSettings) gSettings->setColors(this, 255, 8);
    });
}

// At the orbin's left edge, just below its top row (its handle, New and the running task's button stay
// free to click), or just above the orbin where the screen has no room below; where another reminder
// stands, at the nearest free place further down (or up) or beside it, so that none hides another.
void frmReminder::placeAt(const Rect& orbin) {
    const Rect own = twipGeometry();
    const double screenWidth = screenWidthTwips(), screenHeight = screenHeightTwips();
    const double below = orbin.top + frmFloater::ShrunkHeight;
    const bool roomBelow = below + own.height <= screenHeight || orbin.top - own.height < 0;
    const double top = roomBelow ? below : orbin.top - own.height;
    const double step = roomBelow ? own.height : -own.height;
    // The places of the other reminders on the screen now (a snoozed one is away and takes none).
    QList<Rect> taken;
    for (FormPort* form : forms::loaded())
        if (auto* other = dynamic_cast<frmReminder*>(form); other && other != this && other->isVisible())
            taken << other->twipGeometry();
    auto isFree = [&](double l, double t) {
        for (const Rect& r : taken)
            if (l < r.left + r.width && r.left < l + own.width && t < r.top + r.height &&
                r.top < t + own.height)
                return false;
        return true;
    };
    const int rows =
        std::max(1, static_cast<int>((roomBelow ? screenHeight - top : top + own.height) / own.height));
    const int columns = std::max(1, static_cast<int>(screenWidth / own.width));
    for (int pass = 0; pass < 2 * columns; ++pass) {
        const int column = pass % 2 == 0 ? pass / 2 : -(pass + 1) / 2; // 0, -1, 1, -2, 2...
        const double l = orbin.left + column * own.width;
        if (column != 0 && (l < 0 || l + own.width > screenWidth)) continue;
        for (int row = 0; row < rows; ++row) {
            const double t = top + row * step;
            if (isFree(l, t)) {
                moveTwips(l, t, own.width, own.height);
                return;
            }
        }
    }
    // The screen is full of reminders: the first place.
    moveTwips(orbin.left, top, own.width, own.height);
}

void frmReminder::setReminderText(const QString& text) {
    m_lblReminder->setText(text);
}

QString frmReminder::reminderText() const {
    return m_lblReminder->text();
}

void frmReminder::btnOK_Click() {
    unloadForm();
}

void frmReminder::btnSnooze_Click() {
    m_timSnooze->setInterval(SnoozeTickMs);
    m_timSnooze->start();
    hide();
}

void frmReminder::timSnooze_Timer() {
    // The timer stays armed while an error report of a tick is open: its ticks meanwhile are skipped, so
    // that reports cannot pile up.
    if (m_inSnoozeTick) return;
    const RaisedFlag ticking(m_inSnoozeTick);
    m_count = m_count + Integer(1);
    if (m_count.value() >= ComeBackTick) {
        // Back at the orbin's present place, again without taking the focus.
        windowprocs::showWithoutActivating(this);
        Form_Load();
        m_count = Integer(0);
    }
}
