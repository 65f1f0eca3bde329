// The orbin's controls and where they stand: each one made, named and placed in twips as the form's design
// has it, the decoration first so that it lies under the rest, with the window's timers and the clicks of
// its buttons. What the controls then show is frmFloaterFace.cpp's; their mouse is frmFloaterMouse.cpp's.

#include "orbin/frmFloater.h"

#include "orbin/FloaterLook.h"
#include "orbin/MeetingLabel.h"
#include "orbin/OrbinPicture.h"
#include "platform/BenchSwitch.h"
#include "platform/gui/ColorCodec.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

using floaterlook::setBackColor;
using floaterlook::setForeColor;

void frmFloater::buildControls() {
    auto button = [&](const char* name, const QString& caption, double l, double t, double w, double h,
                      const QString& tip = QString()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        if (!tip.isEmpty()) b->setToolTip(tip);
        placeTwips(b, l, t, w, h);
        return b;
    };
    auto label = [&](const char* name, const QString& caption, double l, double t, double w, double h,
                     QWidget* parent = nullptr) {
        auto* lab = new QLabel(caption, parent ? parent : this);
        lab->setTextFormat(Qt::PlainText); // titles are shown as typed, never as markup
        lab->setObjectName(QString::fromLatin1(name));
        lab->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        placeTwips(lab, l, t, w, h);
        return lab;
    };
    auto picture = [this](OrbinPicture::Kind kind, const char* name, double l, double t, double w, double h) {
        return placePicture(kind, name, this, l, t, w, h);
    };

    // Decoration first, so that it lies under everything else.
    auto* shape2 = new QFrame(this);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setFrameShape(QFrame::Box);
    shape2->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeTwips(shape2, 0, 0, 7200, 315);

    m_imgOrbin = picture(OrbinPicture::Kind::Orbin, "imgOrbin", 1215, 1080, 4770, 4830);
    if (!benchLeavesOut("facethread")) m_imgOrbin->prepareFace();

    // Top strip.
    m_imgDragArrow = picture(OrbinPicture::Kind::DragArrow, "imgDragArrow", 15, 15, 300, 255);
    m_imgDragArrow->setToolTip(
        QStringLiteral("Click and drag to move the floater or double click to close application"));
    m_imgDragArrow->setCursor(Qt::SizeAllCursor);
    m_btnNew =
        button("btnNew", QStringLiteral("&New"), 345, 30, 645, 240, QStringLiteral("Create a new item"));
    m_butStart = button("butStart", QStringLiteral("&Show tasks"), 1005, 30, 4650, 240,
                        QStringLiteral("Manage current task"));
    m_imgArrowUp = picture(OrbinPicture::Kind::ArrowUp, "imgArrowUp", 5675, 30, 255, 240);
    m_imgArrowUp->setToolTip(QStringLiteral("Click here to open the main orbin"));
    m_btnSearch =
        button("btnSearch", QStringLiteral("&Search"), 5950, 30, 750, 240, QStringLiteral("Search tasks"));
    m_lblStats = label("lblStats", QString(), 6705, 60, 420, 210);
    m_lblStats->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_lblStats->setToolTip(QStringLiteral("Total score for today"));
    m_imgClose = picture(OrbinPicture::Kind::Close, "imgClose", 7035, 15, 135, 135);
    m_cmdShowCalendar =
        button("cmdShowCalendar", QStringLiteral(">"), 6960, 285, 225, 255, QStringLiteral("Show days"));
    m_lblMessageBoard = label("lblMessageBoard", QString(), 0, 0, 7200, 315);
    m_lblMessageBoard->setAlignment(Qt::AlignCenter);
    m_lblMessageBoard->setAutoFillBackground(true);
    m_lblMessageBoard->installEventFilter(this);
    m_lblMessageBoard->hide();

    // Period buttons and their markers.
    const QString periods[] = {QStringLiteral("Morning"), QStringLiteral("Mid Day"),
                               QStringLiteral("Afternoon"), QStringLiteral("Evening")};
    const QString tips[] = {
        QStringLiteral("First perod of the day"), QStringLiteral("Second perod of the day"),
        QStringLiteral("Third perod of the day"), QStringLiteral("Last perod of the day")};
    for (int i = 0; i < 4; ++i) {
        QPushButton* b = button("Morning", periods[i], 1740.0 * i, 300, 1740, 240, tips[i]);
        b->setProperty("Index", i);
        connect(b, &QPushButton::clicked, this, [this, i] { Morning_Click(i); });
        m_morning << b;
        // Two lines under each button: a long one and a short one centred beneath it.
        for (int k = 0; k < 2; ++k) {
            auto* line = new QFrame(this);
            line->setObjectName(QStringLiteral("shaCurrentPeriod"));
            line->setProperty("Index", 2 * i + k);
            line->setAttribute(Qt::WA_TransparentForMouseEvents);
            line->setAutoFillBackground(true);
            QPalette p = line->palette();
            p.setColor(QPalette::Window, colorcodec::toColor(OpenTaskColor, QApplication::palette()));
            line->setPalette(p);
            if (k == 0)
                placeTwips(line, 1740.0 * i + 90, 555, 1560, 30);
            else
                placeTwips(line, 1740.0 * i + 570, 600, 600, 30);
            line->hide();
            m_shaCurrentPeriod << line;
        }
    }

    m_lblDate = label("lblDate", QStringLiteral("Start"), 2850, 1200, 1410, 210);
    m_lblDate->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont bold = m_lblDate->font();
    bold.setBold(true);
    m_lblDate->setFont(bold);
    label("lblPeriod", QStringLiteral("Period"), 2850, 1470, 1410, 210)->hide();

    // Sixteen task slots, one row each, narrowing with the face towards its top and bottom.
    const double faceCy = 1080 + 4830 / 2.0, faceRx = 4770 / 2.0, faceRy = 4830 / 2.0, slotCx = 3585;
    for (int i = 0; i < SlotCount; ++i) {
        const double top = 1785 + 225.0 * i;
        double left = 0, width = 0;
        if (i == 0) {
            left = 1890, width = 3390;
        } else if (i == SlotCount - 1) {
            left = 2115, width = 2940;
        } else {
            const double dy = std::max(std::fabs(top - faceCy), std::fabs(top + 240 - faceCy));
            const double half = faceRx * std::sqrt(std::max(0.0, 1 - (dy / faceRy) * (dy / faceRy))) - 330;
            width = std::round(2 * half / 15) * 15;
            left = slotCx - width / 2;
        }
        const QString caption = i == 0 ? QStringLiteral("This is as good as it gets my friend")
                                       : QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        QLabel* slot = label("", caption, left, top, width, 240);
        slot->setObjectName(QStringLiteral("txtTodo_%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        QFont sf = slot->font();
        sf.setPixelSize(12);
        slot->setFont(sf);
        setForeColor(slot, OpenTaskColor);
        slot->installEventFilter(this);
        m_txtTodo[i] = slot;
    }

    // The template of the meeting labels.
    auto* meeting = new MeetingLabel(this);
    meeting->setObjectName(QStringLiteral("lblMeeting"));
    meeting->setText(QStringLiteral("09:00 - 12345678901"));
    meeting->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(meeting, 5940, 3285, 1230, 450);
    meeting->setProperty("Index", 0);
    meeting->setWordWrap(true);
    setForeColor(meeting, OpenTaskColor);
    // Opaque on white: meetings at the same or nearby times stand in front of each other, readable.
    setBackColor(meeting, 0xFFFFFFLL);
    meeting->hide();
    m_lblMeeting << meeting;

    m_Label1 = label("Label1", QStringLiteral("quorvane.example.org"), 4560, 6000, 2535, 255);
    m_Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_Label1->setCursor(Qt::PointingHandCursor);
    setForeColor(m_Label1, 0x808080LL);
    m_Label1->installEventFilter(this);

    m_fraTimeOut = new QFrame(this);
    m_fraTimeOut->setObjectName(QStringLiteral("fraTimeOut"));
    m_fraTimeOut->setFrameShape(QFrame::Box);
    m_fraTimeOut->setAutoFillBackground(true);
    placeTwips(m_fraTimeOut, 5160, 3840, 1935, 1695);
    QLabel* label3 = label("Label3", QStringLiteral("Time OUT!"), 120, 240, 1695, 300, m_fraTimeOut);
    label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lblTimeOut = label("lblTimeOut", QStringLiteral("---"), 120, 720, 1695, 600, m_fraTimeOut);
    m_lblTimeOut->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_fraTimeOut->hide();

    // Below the window's lower edge: never seen, but their values are read and written.
    m_btnEndperiod = button("btnEndperiod", QStringLiteral("End period"), 4875, 7245, 1200, 240);
    m_btnEndperiod->hide();
    m_butReturnToPeriodInPlay =
        button("butReturnToPeriodInPlay", QStringLiteral("Return to period in play"), 135, 7215, 2250, 240);
    m_butReturnToPeriodInPlay->hide();
    m_butTimeout = button("butTimeout", QStringLiteral("T"), 6360, 7680, 225, 205);
    m_butTimeout->hide();
    m_butClose = button("butClose", QStringLiteral("Close"), 3090, 7290, 870, 285);
    m_txtTaskMinutes = label("txtTaskMinutes", QString(), 6450, 7185, 270, 255);
    m_txtTaskMinutes->installEventFilter(this);
    m_txtTaskMinutes->hide();
    m_txtMinLeftOfPeriod = label("txtMinLeftOfPeriod", QString(), 4350, 7290, 270, 255);
    m_txtMinLeftOfPeriod->installEventFilter(this);
    m_txtMinLeftOfPeriod->hide();
    m_picSmiley = picture(OrbinPicture::Kind::Smiley, "picSmiley", 5580, 7755, 225, 225);
    m_picSmiley->hide();

    for (const char* name :
         {"timCheckPeriod", "timShowTime", "TaskCountdown", "timTaskMinutesBlink", "timTimeOut"}) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        if (qstrcmp(name, "timCheckPeriod") == 0) m_timCheckPeriod = t;
        if (qstrcmp(name, "timShowTime") == 0) m_timShowTime = t;
        if (qstrcmp(name, "TaskCountdown") == 0) m_TaskCountdown = t;
        if (qstrcmp(name, "timTaskMinutesBlink") == 0) m_timTaskMinutesBlink = t;
        if (qstrcmp(name, "timTimeOut") == 0) m_timTimeOut = t;
    }

    m_btnSearch->installEventFilter(this);
    m_butStart->installEventFilter(this);
    connect(m_btnNew, &QPushButton::clicked, this, &frmFloater::btnNew_Click);
    connect(m_btnSearch, &QPushButton::clicked, this, &frmFloater::btnSearch_Click);
    connect(m_butStart, &QPushButton::clicked, this, &frmFloater::butStart_Click);
    connect(m_butTimeout, &QPushButton::clicked, this, &frmFloater::butTimeout_Click);
    connect(m_cmdShowCalendar, &QPushButton::clicked, this, &frmFloater::cmdShowCalendar_Click);
    connect(m_btnEndperiod, &QPushButton::clicked, this, &frmFloater::btnEndperiod_Click);
    connect(m_butReturnToPeriodInPlay, &QPushButton::clicked, this,
            &frmFloater::butReturnToPeriodInPlay_Click);
    connect(m_butClose, &QPushButton::clicked, this, &frmFloater::butClose_Click);

    // Pictures and labels that sit over the face come before it.
    m_imgOrbin->lower();
    shape2->lower();
}

// A picture of the orbin's, placed in twips inside parent; its clicks come to the orbin.
OrbinPicture* frmFloater::placePicture(OrbinPicture::Kind kind, const char* name, QWidget* parent,
                                       double left, double top, double width, double height) {
    auto* p = new OrbinPicture(kind, QString::fromLatin1(name), parent);
    placeTwips(p, left, top, width, height);
    p->installEventFilter(this);
    return p;
}
