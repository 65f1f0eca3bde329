#include "dialogs/dlgDays.h"

#include "core/DayButtons.h"
#include "core/ErrorReport.h"
#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "dialogs/DialogControls.h"
#include "dialogs/DialogPicture.h"
#include "platform/Clock.h"
#include "platform/gui/WindowProcs.h"

#include <QFrame>
#include <QPushButton>

namespace {

// Design colours: Back, Forward and the weekend red 224, green 221, blue 158; the first day a shade darker.
constexpr qint64 PagingBackColor = 0x9EDDE0;
constexpr qint64 FirstDayBackColor = 0x98CED1;
// The window background, as the orbin's face has it.
constexpr qint64 WindowBackColor = 0x80000005;

constexpr double ButtonLeft = 60, ButtonWidth = 1170, ButtonHeight = 300, ButtonPitch = 330, FirstTop = 225;

} // namespace

dlgDays::dlgDays(QWidget* parent)
    : FormWidget(QStringLiteral("dlgDays"), parent, Qt::Tool | Qt::FramelessWindowHint) {
    dialogcontrols::designForm(this, QStringLiteral("Days"), DesignWidth, DesignHeight, WindowBackColor);
    move(0, 0); // its design position, until it is placed beside the orbin

    auto* border = new QFrame(this);
    border->setObjectName(QStringLiteral("Shape1"));
    border->setFrameShape(QFrame::Box);
    border->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeTwips(border, 0, 0, DesignWidth, DesignHeight);

    m_fraCloseSearch = new QFrame(this);
    m_fraCloseSearch->setObjectName(QStringLiteral("fraCloseSearch"));
    placeTwips(m_fraCloseSearch, DesignWidth - 210, 45, 150, 150);
    auto* close =
        new DialogPicture(DialogPicture::Kind::Close, QStringLiteral("imgCloseSearch"), m_fraCloseSearch);
    placeTwips(close, 0, 0, 150, 150);
    close->setCursor(Qt::PointingHandCursor);
    connect(close, &DialogPicture::clicked, this, &dlgDays::imgCloseSearch_Click);

    auto button = [&](const QString& name, const QString& caption, int row, qint64 back) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);
        placeTwips(b, ButtonLeft, FirstTop + ButtonPitch * row, ButtonWidth, ButtonHeight);
        paintBackColor(b, back);
        return b;
    };
    m_butCalPreviousWeek =
        button(QStringLiteral("butCalPreviousWeek"), QStringLiteral("Back"), 0, PagingBackColor);
    const QString design[] = {QStringLiteral("Today"),     QStringLiteral("Tuesday"),
                              QStringLiteral("Wednesday"), QStringLiteral("Thursday"),
                              QStringLiteral("Friday"),    QStringLiteral("Saturday"),
                              QStringLiteral("Sunday")};
    for (int i = 0; i < 7; ++i) {
        const qint64 back = i == 0 ? FirstDayBackColor : i >= 5 ? PagingBackColor : TitleBarTextColor;
        QPushButton* day = button(QStringLiteral("butCalDay"), design[i], i + 1, back);
        day->setProperty("Index", i);
        connect(day, &QPushButton::clicked, this, [this, i] { butCalDay_Click(i); });
        m_butCalDay << day;
    }
    m_butCalNextWeek =
        button(QStringLiteral("butCalNextWeek"), QStringLiteral("Forward"), 8, PagingBackColor);
    connect(m_butCalPreviousWeek, &QPushButton::clicked, this, &dlgDays::butCalPreviousWeek_Click);
    connect(m_butCalNextWeek, &QPushButton::clicked, this, &dlgDays::butCalNextWeek_Click);

    // Beside an orbin that stays above other windows, the chooser does too.
    if (gSettings && gSettings->onTop()) windowprocs::setTopMost(this, true);
    Form_Load();
}

dlgDays* dlgDays::instance() {
    static QPointer<dlgDays> form;
    return sharedForm(form);
}

void dlgDays::fillWeekDays(const QDate& start) {
    instance()->showWeek(start);
}

void dlgDays::Form_Load() {
    // A failure ends the load without a message.
    ignoringFailures([&] {
        if (gOrbinWindow)
            if (FormPort* orbin = gOrbinWindow->form()) {
                const Rect at = orbin->twipGeometry();
                const Rect own = twipGeometry();
                moveTwips(at.left + at.width, at.top + BelowOrbinTop, own.width, own.height);
            }
        showWeek(appClock().today());
        m_butCalDay.at(0)->setText(QStringLiteral("Today"));
    });
}

void dlgDays::showWeek(const QDate& start) {
    m_firstDay = start;
    const std::array<DayButtonLook, 7> looks = ::fillWeekDays(start);
    for (int i = 0; i < 7; ++i) {
        QPushButton* day = m_butCalDay.at(i);
        paintBackColor(day, looks[i].backColor);
        QFont f = day->font();
        f.setBold(looks[i].bold);
        day->setFont(f);
        day->setText(looks[i].caption);
    }
}

void dlgDays::butCalPreviousWeek_Click() {
    showWeek(m_firstDay.addDays(-7));
}

void dlgDays::butCalNextWeek_Click() {
    showWeek(m_firstDay.addDays(7));
}

void dlgDays::butCalDay_Click(int index) {
    if (!gGame || !gOrbinWindow) return;
    gGame->controls().lblDate = calendarDays().at(static_cast<size_t>(index));
    gOrbinWindow->controlsChanged();
    gOrbinWindow->updateInfo();
}

void dlgDays::imgCloseSearch_Click() {
    hide();
}
