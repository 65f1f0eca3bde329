#include "frmFloater.h"

#include "BenchSwitch.h"
#include "Clock.h"
#include "ColorCodec.h"
#include "ErrorReport.h"
#include "Failure.h"
#include "File.h"
#include "Functions.h"
#include "Game.h"
#include "GameControls.h"
#include "Globals.h"
#include "HTMLHelp.h"
#include "HiddenKeys.h"
#include "Initialize.h"
#include "ItemOpeners.h"
#include "Items.h"
#include "Launcher.h"
#include "MeetingLabel.h"
#include "MessageBoard.h"
#include "NumberText.h"
#include "OrbinDuties.h"
#include "OrbinPicture.h"
#include "OrbinTimers.h"
#include "Prompter.h"
#include "Settings.h"
#include "Twips.h"
#include "WindowProcs.h"
#include "dlgDays.h"
#include "dlgEditMeetingDetails.h"
#include "dlgEditTaskDetails.h"
#include "dlgNewMeetingDetails.h"
#include "dlgNewTaskDetails.h"
#include "dlgProject.h"
#include "dlgSettings.h"
#include "frmAbout.h"
#include "frmReminder.h"
#include "frmScoreboard.h"
#include "frmSearch.h"
#include "frmWelcome.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

const QString frmFloater::WebAddress = QStringLiteral("https://quorvane.example.org/");
const QString frmFloater::NoTitle = QStringLiteral("(no title)");

namespace {

const QString Error = QStringLiteral(" Error");
const QString LowerError = QStringLiteral(" error");

// The companions that follow a drag of the orbin, each only while it is loaded.
const char* const Companions[] = {"dlgDays", "frmReminder", "frmSearch"};

void setForeColor(QWidget* w, qint64 colour) {
    w->setProperty("ForeColor", colour);
    QPalette p = w->palette();
    const QColor c = colorcodec::toColor(colour, QApplication::palette());
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
}

void setBackColor(QWidget* w, qint64 colour) {
    w->setProperty("BackColor", colour);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colorcodec::toColor(colour, QApplication::palette()));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setUnderline(QWidget* w, bool on) {
    QFont f = w->font();
    f.setUnderline(on);
    w->setFont(f);
}

QString todayText() {
    return shortDateText(appClock().today());
}

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

} // namespace

frmFloater::frmFloater(QWidget* parent)
    : FormWidget(QStringLiteral("frmFloater"), parent, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Quorvane"));
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    // The design colour of the form; the colour table gives the real one at load.
    setFormBackColor(255);
    resize(twips::toPixels(DesignWidth), twips::toPixels(DesignHeight));
    buildControls();
    buildMenu();
    m_board = std::make_unique<MessageBoard>(
        m_lblMessageBoard, QList<QWidget*>{m_butStart, m_btnNew, m_btnSearch}, m_timShowTime);
    OrbinTimers::Face face;
    face.colourPeriodButtons = [this](Integer current) {
        OrbinTimers::colourPeriodButtons(m_morning, current);
    };
    face.setScoreText = [this](const QString& text) { m_lblStats->setText(text); };
    face.showReminder = [this](const QString& title) { showReminder(title); };
    face.controlsChanged = [this] { controlsChanged(); };
    m_timers = new OrbinTimers(m_timCheckPeriod, m_TaskCountdown, m_timTimeOut, std::move(face), this);
    m_keys = new HiddenKeys(this);
    m_menuDelay = new QTimer(this);
    m_menuDelay->setSingleShot(true);
    connect(m_menuDelay, &QTimer::timeout, this, &frmFloater::showPopupMenu);
    Form_Load();
    controlsChanged();
}

frmFloater::~frmFloater() = default;

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

void frmFloater::buildMenu() {
    m_mnuPopUp = new QMenu(QStringLiteral("Quorvane"), this);
    m_mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    auto add = [](QMenu* menu, const char* name, const QString& caption, auto&& slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        QObject::connect(a, &QAction::triggered, menu, slot);
        return a;
    };
    auto divider = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    m_mnuNew = m_mnuPopUp->addMenu(QStringLiteral("&New"));
    m_mnuNew->setObjectName(QStringLiteral("mnuNew"));
    m_mnuNew->menuAction()->setObjectName(QStringLiteral("mnuNew"));
    add(m_mnuNew, "mnuTask", QStringLiteral("&Task"), [] { openNewTask(); });
    add(m_mnuNew, "mnuMeting", QStringLiteral("&Meeting"), [] { openNewMeeting(); });
    add(m_mnuNew, "mnuProject", QStringLiteral("&Project"), [] { dlgProject::showDialog(); });
    // Switched off at design and never switched on.
    add(m_mnuPopUp, "mnuShow", QStringLiteral("&Show"), [] {})->setVisible(false);
    add(m_mnuPopUp, "mnuShowProject", QStringLiteral("&Project"), [this] {
        shrinkFloater();
        dlgProject::showDialog();
    });
    m_mnuArticles = m_mnuPopUp->addMenu(QStringLiteral("&Articles"));
    m_mnuArticles->setObjectName(QStringLiteral("mnuArticles"));
    m_mnuArticles->menuAction()->setObjectName(QStringLiteral("mnuArticles"));
    add(m_mnuArticles, "mnuReadArticle", QStringLiteral("Read article &1"), [this] {
        mnuReadArticle_Click(0);
    })->setProperty("Index", 0);
    divider(m_mnuPopUp, "mnuDivider");
    add(m_mnuPopUp, "mnuSettings", QStringLiteral("&Settings"), [this] {
        shrinkFloater();
        dlgSettings::instance()->show();
    });
    divider(m_mnuPopUp, "mnuDivider0");
    QMenu* help = m_mnuPopUp->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelpMenu"));
    help->menuAction()->setObjectName(QStringLiteral("mnuHelpMenu"));
    add(help, "mnuHelp", QStringLiteral("&Help"), [] {
        try {
            showHelpTopic();
        } catch (const std::exception&) {
            // Help is never worth a failure.
        }
    });
    add(help, "mnuIntroduction", QStringLiteral("&Introduction"), [] {
        frmWelcome* card = frmWelcome::instance();
        card->show();
        card->raise();
    })->setVisible(false);
    add(help, "mnuWelcome", QStringLiteral("&Welcome tour"),
        [this] { startProgram(QStringLiteral("Welcome"), true); });
    add(help, "mnuAbout", QStringLiteral("&About"), [] { frmAbout::bringUp(); });
    divider(m_mnuPopUp, "mnuDivider1");
    add(m_mnuPopUp, "mnuMinimize", QStringLiteral("&Minimize"), [this] {
        try {
            minimizeToTray(false, this);
        } catch (const std::exception&) {
            // Errors here are always ignored.
        }
    });
    divider(m_mnuPopUp, "mnuDivider2");
    add(m_mnuPopUp, "mnuExit", QStringLiteral("&Exit"), [] { quitApplication(false); });
}

void frmFloater::Form_Load() {
    trapped(QStringLiteral(" - frmFloater.Form_Load: "), Error, [&] {
        gSettings->positionForm(this, true, false);
        if (gSettings->onTop()) windowprocs::setTopMost(this, true);
        gSettings->setColors(this, 255, 8);
        orbinduties::makeMenu(m_mnuArticles, [this](int index) { mnuReadArticle_Click(index); });
    });
}

void frmFloater::formUnload() {
    m_menuDelay->stop();
    if (gSettings) gSettings->saveFormPosition(this, true, false);
    quitApplication(true);
}

void frmFloater::showWindow() {
    show();
    // The window system puts the window up while start-up ends.
    windowprocs::sendRequestsNow();
    // A window that must be painted while its redraws are held (a box comes up meanwhile) is brought up
    // to date first.
    if (QWindow* window = QWidget::windowHandle()) {
        window->installEventFilter(this);
        if (window->isExposed()) firstPainted();
    }
}

void frmFloater::afterFirstPaint(std::function<void()> work) {
    m_afterPaint.push_back(std::move(work));
    if (!m_afterPaintTimer) {
        m_afterPaintTimer = new QTimer(this);
        m_afterPaintTimer->setSingleShot(true);
        connect(m_afterPaintTimer, &QTimer::timeout, this, [this] {
            const std::vector<std::function<void()>> waiting = std::move(m_afterPaint);
            m_afterPaint.clear();
            for (const std::function<void()>& w : waiting)
                w();
        });
    }
    // A window that is never drawn (the window system does not show it) lets the work wait a second, counted
    // from the first work that waits.
    if (m_painted)
        m_afterPaintTimer->start(0);
    else if (!m_afterPaintTimer->isActive())
        m_afterPaintTimer->start(AfterPaintLongestWait);
}

// The window's first drawing is under way: what waited for it runs once that drawing has been handed on.
void frmFloater::firstPainted() {
    if (m_painted) return;
    m_painted = true;
    if (m_afterPaintTimer && !m_afterPaint.empty()) m_afterPaintTimer->start(0);
}

bool frmFloater::isShrunk() const {
    return twipGeometry().height == ShrunkHeight;
}

void frmFloater::setHeightTwips(double height) {
    resize(width(), twips::toPixels(height));
}

void frmFloater::resizeEvent(QResizeEvent* event) {
    FormWidget::resizeEvent(event);
    if (m_imgArrowUp) m_imgArrowUp->setPointsDown(isShrunk());
}

// ---- Shrink and expand ----

void frmFloater::shrinkFloater() {
    if (!gItems || !gGame) return;
    OrbinRedrawScope scope;
    trapped(QStringLiteral(" - frmFloater.shrinkFloater: "), Error, [&] {
        if (FormPort* days = forms::find(QStringLiteral("dlgDays"))) days->unloadForm();
        if (FormPort* search = forms::find(QStringLiteral("frmSearch"))) search->unloadForm();
        if (m_txtSearch) m_txtSearch->hide();
        if (m_fraCloseSearch) m_fraCloseSearch->hide();
        setHeightTwips(ShrunkHeight);
        gItems->setSelectedPeriod(gGame->CurrentPeriod());
        setTodayCaption();
        updateInfo();
        GameControls::Button& start = gGame->controls().butStart;
        if (start.caption.toLower() == QStringLiteral("&hide tasks"))
            start.caption = QStringLiteral("&Show tasks");
        controlsChanged();
    });
}

void frmFloater::expandFloater() {
    if (!gItems || !gGame) return;
    OrbinRedrawScope scope;
    trapped(QStringLiteral(" - frmFloater.expandFloater: "), Error, [&] {
        gItems->setSelectedPeriod(gGame->CurrentPeriod());
        setTodayCaption();
        updateInfo();
        setHeightTwips(ExpandedHeight);
        GameControls::Button& start = gGame->controls().butStart;
        if (start.caption.toLower() == QStringLiteral("&show tasks"))
            start.caption = QStringLiteral("&Hide tasks");
        controlsChanged();
    });
}

void frmFloater::setTodayCaption() {
    setShownDate(appClock().today());
}

// ---- The date label ----

void frmFloater::setShownDate(const QDate& date) {
    gGame->controls().lblDate = date;
    controlsChanged();
}

QDate frmFloater::shownDate() const {
    const QDate d = gGame ? gGame->controls().lblDate : QDate();
    return d.isValid() ? d : appClock().today();
}

// The window shows what the game holds in its controls.
void frmFloater::controlsChanged() {
    if (!gGame) return;
    const GameControls& c = gGame->controls();
    m_butStart->setText(c.butStart.caption);
    m_butStart->setProperty("Tag", c.butStart.tag);
    m_butStart->setEnabled(c.butStart.enabled);
    m_txtTaskMinutes->setText(c.txtTaskMinutes.caption);
    m_butTimeout->setText(c.butTimeout.caption);
    m_butTimeout->setEnabled(c.butTimeout.enabled);
    m_lblTimeOut->setText(c.lblTimeOut.caption);
    if (m_fraTimeOut->isVisibleTo(this) != c.fraTimeOut.visible) {
        m_fraTimeOut->setVisible(c.fraTimeOut.visible);
        if (c.fraTimeOut.visible) m_fraTimeOut->raise();
    }
    m_txtMinLeftOfPeriod->setText(c.txtMinLeftOfPeriod.caption);
    const std::pair<QTimer*, const GameControls::Timer*> timers[] = {
        {m_TaskCountdown, &c.TaskCountdown},
        {m_timTaskMinutesBlink, &c.timTaskMinutesBlink},
        {m_timTimeOut, &c.timTimeOut}};
    for (const auto& [timer, state] : timers) {
        if (timer->interval() != state->interval) timer->setInterval(state->interval);
        if (timer->isActive() != state->enabled) {
            if (state->enabled)
                timer->start();
            else
                timer->stop();
        }
    }
    const QString date = c.lblDate.isValid() ? shortDateText(c.lblDate) : QStringLiteral("Start");
    if (m_lblDate->text() != date) {
        m_lblDate->setText(date);
        lblDate_Change();
    }
    frmScoreboard::showControls(c);
}

void frmFloater::lblDate_Change() {
    trapped(QStringLiteral(" - frmFloater.lblDate_Change: "), LowerError, [&] {
        if (m_lblDate->text() != todayText()) m_butReturnToPeriodInPlay->setVisible(true);
    });
}

// ---- Buttons and labels ----

void frmFloater::imgArrowUp_Click() {
    if (!isShrunk())
        shrinkFloater();
    else
        expandFloater();
    dlgDays::fillWeekDays(appClock().today());
}

void frmFloater::imgClose_Click() {
    quitApplication(false);
}

void frmFloater::butClose_Click() {
    shrinkFloater();
}

// While it shows "&Show tasks" or "&Hide tasks" the running-task button opens and closes the window.
void frmFloater::butStart_Click() {
    trapped(QStringLiteral(" - frmFloater.butStart_Click: "), Error, [&] {
        GameControls::Button& start = gGame->controls().butStart;
        const QString c = start.caption.toLower();
        if (c != QStringLiteral("&show tasks") && c != QStringLiteral("&hide tasks")) {
            if (gGame->TaskRunning()) {
                // A running task: open it, whichever day or period the orbin shows.
                openEditTask(numtext::toInteger(start.tag));
                return;
            }
            // No task runs ("&Start Task" after a time-out that ended with none): the button shows and
            // hides the tasks as usual.
            start.caption = QStringLiteral("&Show tasks");
            controlsChanged();
        }
        if (!isShrunk()) {
            shrinkFloater();
        } else {
            expandFloater();
            dlgDays::fillWeekDays(appClock().today());
        }
    });
}

void frmFloater::btnNew_Click() {
    m_mnuNew->popup(m_btnNew->mapToGlobal(QPoint(0, m_btnNew->height())));
}

void frmFloater::cmdShowCalendar_Click() {
    dlgDays* days = dlgDays::instance();
    if (!days->isVisible()) {
        days->Form_Load();
        days->show();
    } else {
        days->hide();
    }
}

void frmFloater::Morning_Click(int index) {
    trapped(QStringLiteral(" - frmFloater.imgPeriodOrbin_Click: "), LowerError, [&] {
        gItems->setSelectedPeriod(Integer(index + 1));
        if (gOrbinWindow) gOrbinWindow->updateInfo();
    });
}

void frmFloater::btnEndperiod_Click() {
    trapped(QStringLiteral(" - frmFloater.btnEndperiod_Click: "), Error, [&] { gGame->stopPeriod(); });
}

void frmFloater::butReturnToPeriodInPlay_Click() {
    ignoringFailures([&] { gItems->setSelectedPeriod(gGame->CurrentPeriod()); });
    ignoringFailures([&] { setTodayCaption(); });
    ignoringFailures([&] {
        if (gOrbinWindow) gOrbinWindow->updateInfo();
    });
}

void frmFloater::lblMeeting_Click(int index) {
    if (index < 1 || index >= m_lblMeeting.size()) return;
    openEditMeeting(numtext::toInteger(m_lblMeeting.at(index)->property("Tag")));
}

void frmFloater::lblMessageBoard_Click() {
    hideMessage();
    m_timShowTime->stop();
}

void frmFloater::Label1_Click() {
    launcher().openUrl(WebAddress);
}

void frmFloater::startProgram(const QString& fileName, bool maximized) {
    try {
        launcher().startProgram(gSettings->ArticlePath() + fileName,
                                maximized ? Launcher::WindowState::Maximized : Launcher::WindowState::Normal);
    } catch (const std::exception&) {
        // A reader or tour that cannot start shows nothing.
    }
}

void frmFloater::mnuReadArticle_Click(int index) {
    startProgram(QStringLiteral("Article%1").arg(index + 1), false);
}

void frmFloater::showPopupMenu() {
    m_menuDelay->stop();
    m_mnuPopUp->popup(QCursor::pos());
}

bool frmFloater::menuPending() const {
    return m_menuDelay->isActive();
}

// ---- Mouse ----

void frmFloater::mouseReleaseEvent(QMouseEvent* event) {
    // Only the form's own surface: a release over a control that let it through is not the form's.
    if (childAt(event->position().toPoint()) != nullptr) return;
    if (event->button() == Qt::RightButton) {
        showPopupMenu();
    } else if (windowprocs::isLeftClick(event, rect())) {
        shrinkFloater();
    }
}

bool frmFloater::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Expose && watched == QWidget::windowHandle()) {
        if (m_redrawPending && gItems && gGame) redrawNow();
        if (QWidget::windowHandle()->isExposed()) firstPainted();
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonDblClick)
        return FormWidget::eventFilter(watched, event);
    auto* me = static_cast<QMouseEvent*>(event);
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    const QPointF local = me->position();
    const bool inside = w->rect().contains(local.toPoint());

    if (watched == m_txtSearch) {
        // The box handles its own mouse; a click in it only takes the prompt away first.
        if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton && inside) txtSearch_Click();
        return false;
    }

    if (watched == m_imgDragArrow) {
        // Positions from the pointer's place on the screen, so that a window still on its way to its new
        // place does not make the handle jump.
        const QPointF p = w->mapFromGlobal(me->globalPosition());
        const double x = std::nearbyint(twips::fromPixels(1) * p.x());
        const double y = std::nearbyint(twips::fromPixels(1) * p.y());
        switch (type) {
        case QEvent::MouseButtonPress:
            imgDragArrow_MouseDown(me->button(), x, y);
            break;
        case QEvent::MouseMove:
            imgDragArrow_MouseMove(me->buttons(), x, y);
            break;
        case QEvent::MouseButtonRelease:
            imgDragArrow_MouseUp();
            break;
        default:
            imgDragArrow_DblClick();
            break;
        }
        return true;
    }

    if (type == QEvent::MouseButtonPress) {
        m_pressedOn = me->button() == Qt::LeftButton ? watched : nullptr;
        return watched != m_btnSearch && watched != m_butStart;
    }
    if (type != QEvent::MouseButtonRelease) return false;
    const bool clicked = me->button() == Qt::LeftButton && m_pressedOn == watched && inside;
    m_pressedOn = nullptr;
    // An empty task slot cannot be seen: a right click there is a right click on the face below it.
    const auto* slotLabel = qobject_cast<const QLabel*>(watched);
    const bool emptySlot =
        slotLabel &&
        std::find(std::begin(m_txtTodo), std::end(m_txtTodo), slotLabel) != std::end(m_txtTodo) &&
        slotLabel->text().isEmpty();
    if (me->button() == Qt::RightButton &&
        (watched == m_btnSearch || watched == m_butStart || watched == m_imgArrowUp ||
         watched == m_imgOrbin || watched == m_picSmiley || watched == m_txtTaskMinutes ||
         watched == m_txtMinLeftOfPeriod || emptySlot)) {
        showPopupMenu();
        return true;
    }
    if (watched == m_btnSearch || watched == m_butStart) return false;
    if (!clicked) return true;
    if (watched == m_imgArrowUp) {
        imgArrowUp_Click();
    } else if (watched == m_imgClose) {
        imgClose_Click();
    } else if (watched == m_imgCloseSearch) {
        imgCloseSearch_Click();
    } else if (watched == m_lblMessageBoard) {
        lblMessageBoard_Click();
        // The board stands in for New and Search only a while: a click where one of them stands is meant
        // for it, and goes on to it.
        const QPoint at = m_lblMessageBoard->mapTo(this, local.toPoint());
        if (m_btnSearch->isVisible() && m_btnSearch->geometry().contains(at))
            btnSearch_Click();
        else if (m_btnNew->isVisible() && m_btnNew->geometry().contains(at))
            btnNew_Click();
    } else if (watched == m_Label1) {
        Label1_Click();
    } else if (const int index = m_lblMeeting.indexOf(static_cast<QLabel*>(w)); index > 0) {
        lblMeeting_Click(index);
    } else if (QLabel* const* slot = std::find(std::begin(m_txtTodo), std::end(m_txtTodo), w);
               slot != std::end(m_txtTodo)) {
        txtTodo_Click(static_cast<int>(slot - std::begin(m_txtTodo)) + 1);
    }
    return true;
}

void frmFloater::dragWithCompanions(double x, double y, bool reset) {
    dragWindow(this, x, y, 1, reset);
    // Every loaded form of each name: several reminders can be up, and they keep their places among
    // themselves as they follow the orbin.
    for (const char* name : Companions)
        for (FormPort* companion : forms::loaded())
            if (companion->formName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                dragWindow(companion, x, y, 1, false);
}

void frmFloater::imgDragArrow_MouseDown(Qt::MouseButton button, double x, double y) {
    // A fresh press: whatever an earlier click left (a release that went to a box instead) is over.
    m_systemMove = false;
    m_swallowRelease = false;
    m_dragMoved = false;
    if (button != Qt::LeftButton) return;
    dragWithCompanions(x, y, true);
}

void frmFloater::imgDragArrow_MouseMove(Qt::MouseButtons buttons, double x, double y) {
    if (!(buttons & Qt::LeftButton)) return;
    if (onWayland()) {
        // The desktop does not let a window place itself: let it move the window instead.
        if (QWindow* w = QWidget::windowHandle(); !m_systemMove && w) m_systemMove = w->startSystemMove();
        m_dragMoved = true;
        return;
    }
    dragWithCompanions(x, y, false);
    m_dragMoved = true;
}

void frmFloater::imgDragArrow_MouseUp() {
    if (m_swallowRelease) {
        // The release that ends a double click.
        m_swallowRelease = false;
        m_dragMoved = false;
        return;
    }
    if (!m_dragMoved) m_menuDelay->start(QApplication::doubleClickInterval());
    m_dragMoved = false;
}

void frmFloater::imgDragArrow_DblClick() {
    m_menuDelay->stop();
    m_swallowRelease = true;
    quitApplication(false);
}

// ---- Display ----

void frmFloater::updateInfo() {
    if (!gItems || !gGame) return; // the objects are gone once the program has quit
    if (m_redrawsHeld) {
        m_redrawPending = true;
        return;
    }
    redrawNow();
}

void frmFloater::redrawNow() {
    m_redrawPending = false;
    OrbinRedrawScope scope;
    trapped(QStringLiteral(" - frmFloater.updateInfo: "), Error, [&] { redraw(); });
    if (m_meetingsHeld) {
        m_meetingsHeld = false;
        ignoringFailures([&] { layoutMeetingLabels(); });
    }
}

void frmFloater::holdRedraws(bool hold) {
    m_redrawsHeld = hold;
    if (!hold && m_redrawPending) updateInfo();
}

void frmFloater::redraw() {
    const QDate d = shownDate();
    markSelectedPeriod();
    clearTodoText();
    removeAllMeetingsFromTheorbin();

    const int sel = gItems->SelectedPeriod().value();
    const int cur = gGame->CurrentPeriod().value();
    const bool periodRunning = gGame->PeriodRunning();
    const bool running = gGame->Running();
    const bool inPlay = (sel == cur + 1 && running && !periodRunning) || (sel == cur && periodRunning) ||
                        (!running && sel == 1);
    const qint64 base = d == appClock().today() && inPlay ? OpenTaskColor : GreyColor;

    // An item whose id is no whole number is left off the face (logged once), not the whole redraw.
    auto readId = [this](const QString& text) -> std::optional<Integer> {
        try {
            return numtext::toInteger(text);
        } catch (const std::exception&) {
            if (!m_unreadableIds.contains(text)) {
                m_unreadableIds.insert(text);
                ignoringFailures([&] {
                    gFile->writeToLog(
                        QStringLiteral("Item \"%1\" left off the orbin: its id is no whole number")
                            .arg(text));
                });
            }
            return std::nullopt;
        }
    };

    const QStringList ids = gItems->getMatchingIDs(Integer(sel), d);
    QList<Integer> tasks;
    if (!ids.isEmpty() && !ids.first().isEmpty())
        for (const QString& text : ids)
            if (const std::optional<Integer> id = readId(text)) tasks << *id;
    // More tasks than slots: the last slot counts the rest and lists them on a click, so that no task of the
    // period is out of reach.
    const qsizetype shown = tasks.size() > SlotCount ? SlotCount - 1 : tasks.size();
    for (qsizetype i = 0; i < shown; ++i) {
        const Integer id = tasks.at(i);
        const qint64 colour = gItems->getStatus(id) == QStringLiteral("done") ? GreyColor : base;
        putTodoText(gItems->Title(id), static_cast<int>(i) + 1, id.value(), colour);
    }
    if (shown < tasks.size()) putMoreText(tasks.mid(shown), base);

    const QStringList meetings = gItems->getMatchingMeetingIDs(d);
    // The labels find their places together, once all of them are there (redrawNow).
    m_meetingsHeld = true;
    if (!meetings.isEmpty() && !meetings.first().isEmpty()) {
        for (const QString& text : meetings) {
            const std::optional<Integer> readable = readId(text);
            if (!readable) continue;
            const Integer id = *readable;
            const QString stored = gItems->MeetingTime(id);
            const std::optional<QTime> time = readMeetingTime(stored);
            if (!time) {
                // A time that cannot be read leaves this meeting off the face (logged once), not the redraw.
                const QString key = text + QLatin1Char('|') + stored;
                if (!m_unreadableMeetings.contains(key)) {
                    m_unreadableMeetings.insert(key);
                    ignoringFailures([&] {
                        gFile->writeToLog(
                            QStringLiteral("Meeting %1 left off the orbin: its time \"%2\" cannot be read")
                                .arg(text, stored));
                    });
                }
                continue;
            }
            bool done = false;
            try {
                done = numtext::toBoolean(gItems->Done(id));
            } catch (const std::exception&) {
                done = false; // a flag that is no Boolean counts as not done
            }
            addMeetingToTheOrbin(id.value(), *time, gItems->Title(id), done);
        }
    }

    m_butReturnToPeriodInPlay->setVisible(gGame->PeriodRunning() &&
                                          gItems->SelectedPeriod().value() != gGame->CurrentPeriod().value());
    m_btnEndperiod->setVisible(gGame->PeriodRunning() && !gGame->TaskRunning());

    const QString score = gGame->controls().labTodayScore.caption;
    m_lblStats->setText(numtext::leadingNumber(score) <= 99 ? score + QStringLiteral("  ") : score);
}

void frmFloater::markSelectedPeriod() {
    for (QFrame* line : m_shaCurrentPeriod)
        ignoringFailures([&] { line->hide(); });
    ignoringFailures([&] {
        const int p = gItems->SelectedPeriod().value();
        for (const int index : {2 * (p - 1), 2 * (p - 1) + 1})
            if (index >= 0 && index < m_shaCurrentPeriod.size()) m_shaCurrentPeriod.at(index)->show();
    });
}

void frmFloater::clearTodoText() {
    for (QLabel* slot : m_txtTodo)
        ignoringFailures([&] { slot->setText(QString()); });
    for (QLabel* slot : m_txtTodo)
        ignoringFailures([&] {
            QFont f = slot->font();
            f.setUnderline(false);
            f.setItalic(false);
            slot->setFont(f);
        });
    for (std::optional<int>& item : m_slotItem)
        item.reset();
    m_moreTasks.clear();
}

bool frmFloater::putTodoText(const QString& title, int slot, int id, qint64 colour) {
    if (slot - 1 < 0 || slot - 1 > SlotCount - 1) return false;
    QLabel* label = m_txtTodo[slot - 1];
    m_slotItem[slot - 1] = id;
    ignoringFailures([&] {
        // A task without a title still shows in its slot, and can be clicked.
        QFont f = label->font();
        f.setItalic(title.isEmpty());
        label->setFont(f);
        label->setText(title.isEmpty() ? NoTitle : title);
        label->setProperty("Tag", QString::number(id));
        setForeColor(label, colour);
        if (gItems->Done(Integer(id)) == QStringLiteral("true")) setUnderline(label, true);
    });
    return true;
}

void frmFloater::putMoreText(const QList<Integer>& tasks, qint64 colour) {
    QLabel* label = m_txtTodo[SlotCount - 1];
    m_slotItem[SlotCount - 1].reset();
    m_moreTasks = tasks;
    ignoringFailures([&] {
        QFont f = label->font();
        f.setItalic(true);
        label->setFont(f);
        label->setText(QStringLiteral("+ %1 more\u2026").arg(tasks.size()));
        setForeColor(label, colour);
    });
}

// The tasks the slots have no room for, in the list of the search.
void frmFloater::showMoreTasks() {
    const QList<Integer> tasks = m_moreTasks;
    btnSearch_Click();
    trapped(QStringLiteral(" - frmFloater.txtTodo_16_Click: "), Error, [&] {
        QListWidget* list = frmSearch::instance()->lstSearch();
        list->clear();
        for (const Integer id : tasks)
            addSearchHit(list, id);
    });
}

void frmFloater::txtTodo_Click(int slot) {
    if (slot < 1 || slot > SlotCount) return;
    if (slot == SlotCount && !m_moreTasks.isEmpty()) {
        showMoreTasks();
        return;
    }
    const QString location =
        QStringLiteral(" - frmFloater.txtTodo_%1_Click: ").arg(slot, 2, 10, QLatin1Char('0'));
    trapped(location, Error, [&] {
        // The slot's task, whatever its title: an emptied slot has none.
        if (!m_slotItem[slot - 1]) return;
        if (FormPort* open = forms::find(QStringLiteral("dlgEditTaskDetails"))) open->unloadForm();
        const Integer id(*m_slotItem[slot - 1]);
        gItems->setCurrentID(id);
        const QString title = gItems->Title();
        const QString tt = gSettings->ArticleTaskText();
        if (tt.isEmpty() || !title.startsWith(tt)) {
            openEditTask(id);
            return;
        }
        // The day's article task: its number follows the task text.
        const Integer n = numtext::toInteger(numtext::leadingNumber(title.mid(tt.size()).trimmed()));
        const QString number = QString::number(n.value());
        shrinkFloater();
        if (prompter().messageBox(QStringLiteral("Do you want to read the article now?"),
                                  Prompter::Buttons::YesNo, Prompter::Icon::None,
                                  QStringLiteral("Quorvane article") + number) != Prompter::Yes)
            return;
        if (!launcher().startProgram(gSettings->ArticlePath() + QStringLiteral("Article") + number,
                                     Launcher::WindowState::Normal))
            throw Failure(err::FileNotFound,
                          QStringLiteral("The article reader Article%1 could not be started").arg(number));
        gGame->doneTask(gItems->currentID());
    });
}

void frmFloater::removeAllMeetingsFromTheorbin() {
    m_pendingMeetings.clear();
    const qsizetype n = m_lblMeeting.size();
    // Gone later rather than now: a label may be removed from inside its own click.
    for (qsizetype i = 1; i < n; ++i) {
        ignoringFailures([&] {
            m_lblMeeting.at(i)->hide();
            m_lblMeeting.at(i)->deleteLater();
        });
    }
    m_lblMeeting.resize(1);
}

void frmFloater::addMeetingToTheOrbin(int id, const QTime& time, const QString& title, bool done) {
    // A redraw's meetings get their labels from the layout, which makes only those the face has room for.
    m_pendingMeetings.append({id, time, title, done});
    if (!m_meetingsHeld) layoutMeetingLabels();
}

// A label for the meeting, hidden until the layout has found it a place; none when it cannot be made.
MeetingLabel* frmFloater::makeMeetingLabel(const PendingMeeting& meeting) {
    MeetingLabel* made = nullptr;
    trapped(QStringLiteral(" - frmFloater.addMeetingToTheOrbin: "), Error, [&] {
        const QTime& time = meeting.time;
        const double h = time.hour() % 12 + time.minute() / 60.0;
        const double angle = h / 12 * 360 - 90;
        const QLabel* templ = m_lblMeeting.first();
        auto* label = new MeetingLabel(this);
        label->setObjectName(QStringLiteral("lblMeeting"));
        label->setProperty("Index", static_cast<int>(m_lblMeeting.size()));
        label->setFont(templ->font());
        label->setPalette(templ->palette());
        label->setProperty("ForeColor", templ->property("ForeColor"));
        label->setProperty("BackColor", templ->property("BackColor"));
        label->setAutoFillBackground(templ->autoFillBackground());
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        label->hide();
        m_lblMeeting << label;
        label->setProperty("Tag", QString::number(meeting.id));
        label->setProperty("ClockAngle", angle);
        label->setProperty("MinuteOfDay", time.hour() * 60 + time.minute());
        setUnderline(label, meeting.done);
        label->setMeeting(time, meeting.title, twips::toPixels(MeetingBoxWidth));
        placeMeetingLabel(label, angle, 1);
        made = label;
    });
    return made;
}

// The point of the clock's ellipse (scaled by ring, 1 for the rim itself) at angle, in twips.
QPointF frmFloater::meetingPoint(double angle, double ring) {
    return {std::cos(angle * Pi / 180) * ring * MeetingEllipseWidth / 2 + MeetingCentreX,
            std::sin(angle * Pi / 180) * ring * MeetingEllipseHeight / 2 + MeetingCentreY};
}

// A label at its point of the ellipse: its text hangs right of and below the point on the right half of the
// dial; on the left half it ends where a box of the template's width from the point ends, so that it stands
// outside the face like the hours of a clock.
QRect frmFloater::meetingLabelRect(const MeetingLabel* label, double angle, double ring,
                                   Qt::Alignment* alignment) {
    const QPointF at = meetingPoint(angle, ring);
    // The right half runs from twelve to before six.
    const bool rightHalf = std::fmod(std::fmod(angle + 90, 360) + 360, 360) < 180;
    if (alignment) *alignment = (rightHalf ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop;
    const QSize size = label->textSize();
    const int x =
        rightHalf ? twips::toPixels(at.x()) : twips::toPixels(at.x() + MeetingBoxWidth) - size.width();
    return {QPoint(x, twips::toPixels(at.y())), size};
}

void frmFloater::placeMeetingLabel(MeetingLabel* label, double angle, double ring) {
    Qt::Alignment alignment;
    label->setGeometry(meetingLabelRect(label, angle, ring, &alignment));
    label->setAlignment(alignment);
    const QPointF at = meetingPoint(angle, ring);
    label->setProperty("LeftTwips", at.x());
    label->setProperty("TopTwips", at.y());
}

// No meeting label covers another, the date or a task. The labels are placed in the order of their times,
// the earliest first, each at its hour on the rim. A label whose place is taken moves along the rim to the
// first free place: away from the labels in its way, to the later side of the clock when they stand at
// earlier or the same hours (so that a crowd of meetings keeps the order of the clock) and to the earlier
// side when they stand at later ones; where only the date or a task is in the way, or labels on both
// sides, to the nearer side. Only when the whole rim is full does a label go to a smaller ring inside it,
// and when those are full to the free place nearest its hour. Everything stays inside the window, below
// the period buttons. A day of more meetings than that holds (some fifty: a hand-made or damaged file)
// shows the earliest that fit; the first label that finds no place and every later one are left off the
// face, where Search still finds their meetings.
//
// The work stays bounded however many meetings a day holds: a ring found full for a label is not searched
// again for one no smaller, the search of the window skips past what stands in the way, and once the face
// is full nothing is searched and no label is made. When every label searched the whole window, a redraw
// of a day of 150 meetings tried 4.2 million places and took 0.3 s, one of 1,000 meetings 39 million and
// 2.7 s; now either tries 22,000 and takes 5 ms, and a day of 40 meetings 2 ms instead of 10 (offscreen,
// one after the other on one machine).
void frmFloater::layoutMeetingLabels() {
    // The labels made and the meetings waiting for theirs, by minute of the day, in the order they came.
    struct Entry {
        int minute;
        MeetingLabel* label;
        qsizetype pending; // the meeting's place in m_pendingMeetings, when it has no label yet
    };
    QList<Entry> entries;
    for (QLabel* l : meetingLabels())
        if (auto* m = qobject_cast<MeetingLabel*>(l))
            entries.append({m->property("MinuteOfDay").toInt(), m, -1});
    for (qsizetype i = 0; i < m_pendingMeetings.size(); ++i) {
        const QTime& t = m_pendingMeetings.at(i).time;
        entries.append({t.hour() * 60 + t.minute(), nullptr, i});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.minute < b.minute; });
    const QList<PendingMeeting> pending = std::exchange(m_pendingMeetings, {});
    const QRect area(0, twips::toPixels(MeetingTopLimit), twips::toPixels(DesignWidth),
                     twips::toPixels(ExpandedHeight) - twips::toPixels(MeetingTopLimit));
    // What stands on the face already, with the clock angle of a label's meeting (none for the date, the
    // tasks and the link at the foot of the window, of which only their words count).
    struct Taken {
        QRect rect;
        std::optional<double> angle;
    };
    auto words = [](const QLabel* l) {
        const int width = QFontMetrics(l->font()).horizontalAdvance(l->text());
        const QRect g = l->geometry();
        return l->alignment() & Qt::AlignRight ? QRect(g.right() + 1 - width, g.top(), width, g.height())
                                               : QRect(g.left(), g.top(), width, g.height());
    };
    QList<Taken> taken{{m_lblDate->geometry(), std::nullopt}, {words(m_Label1), std::nullopt}};
    for (const QLabel* slot : m_txtTodo)
        if (!slot->text().isEmpty()) taken.append({words(slot), std::nullopt});
    // A little apart from everything placed, side by side a little more than one above the other.
    constexpr int ApartX = 3, ApartY = 1;
    auto inTheWay = [](const Taken& t, const QRect& r) {
        return t.rect.intersects(r.adjusted(-ApartX, -ApartY, ApartX, ApartY));
    };
    m_meetingPlacesTried = 0;
    // What stands in the way of a place inside the window, or none when it is free.
    auto inTheWayOf = [&](const QRect& r) -> const Taken* {
        ++m_meetingPlacesTried;
        for (const Taken& t : taken)
            if (inTheWay(t, r)) return &t;
        return nullptr;
    };
    auto isFree = [&](const QRect& r) { return area.contains(r) && !inTheWayOf(r); };
    // The rings found full for a label of a size, for hours on whole or on half degrees (a label tries
    // every whole degree from its hour): no larger label finds a place there either.
    struct FullRing {
        double ring;
        bool halfDegree;
        QSize size;
    };
    QList<FullRing> fullRings;
    bool faceFull = false;
    for (const Entry& entry : entries) {
        if (faceFull) {
            // Left off the face; a meeting waiting for its label gets none.
            if (entry.label) entry.label->hide();
            continue;
        }
        MeetingLabel* const label = entry.label ? entry.label : makeMeetingLabel(pending.at(entry.pending));
        if (!label) continue;
        const double own = label->property("ClockAngle").toDouble();
        const bool halfDegree = std::llround(own * 2) % 2 != 0;
        const QSize size = label->textSize();
        // The first free place from the label's hour in whole degrees one way round, or none.
        auto firstFree = [&](double ring, int direction) -> std::optional<int> {
            for (int offset = 1; offset < 360; ++offset)
                if (isFree(meetingLabelRect(label, own + direction * offset, ring, nullptr)))
                    return direction * offset;
            return std::nullopt;
        };
        bool placed = false;
        for (const double ring : MeetingRings) {
            if (std::any_of(fullRings.cbegin(), fullRings.cend(), [&](const FullRing& f) {
                    return f.ring == ring && f.halfDegree == halfDegree && f.size.width() <= size.width() &&
                           f.size.height() <= size.height();
                }))
                continue;
            const QRect home = meetingLabelRect(label, own, ring, nullptr);
            if (isFree(home)) {
                placeMeetingLabel(label, own, ring);
                placed = true;
                break;
            }
            bool earlierInTheWay = false, laterInTheWay = false;
            for (const Taken& t : taken) {
                if (!t.angle || !inTheWay(t, home)) continue;
                // How far round the clock the other label's hour lies, -180 to 180 degrees.
                const double apart = std::remainder(*t.angle - own, 360.0);
                (apart > 0 ? laterInTheWay : earlierInTheWay) = true;
            }
            // Labels on one side only send it the other way; otherwise the nearer free place wins.
            const bool bothWays = earlierInTheWay == laterInTheWay;
            std::optional<int> later = bothWays || earlierInTheWay ? firstFree(ring, 1) : std::nullopt;
            std::optional<int> earlier = bothWays || laterInTheWay ? firstFree(ring, -1) : std::nullopt;
            if (!later && !earlier) {
                // Nothing free that way round: the other way.
                later = firstFree(ring, 1);
                earlier = firstFree(ring, -1);
            }
            std::optional<int> offset = later;
            if (earlier && (!later || -*earlier < *later)) offset = earlier;
            if (!offset) {
                fullRings.append({ring, halfDegree, size});
                continue;
            }
            placeMeetingLabel(label, own + *offset, ring);
            placed = true;
            break;
        }
        // The rings are full: the free place nearest to the label's hour, wherever it is on the window
        // (places two pixels apart; of two as near, the higher, then the one further left).
        if (!placed) {
            const QRect home = meetingLabelRect(label, own, 1, nullptr);
            std::optional<QRect> nearest;
            qint64 best = 0;
            for (int y = area.top(); y + size.height() <= area.bottom() + 1; y += 2)
                for (int x = area.left(); x + size.width() <= area.right() + 1; x += 2) {
                    const QRect r(QPoint(x, y), size);
                    const QPoint d = r.center() - home.center();
                    const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
                    if (nearest && distance >= best) continue;
                    if (const Taken* t = inTheWayOf(r)) {
                        // So is every place of the row up to the far side of it.
                        const int pastIt = t->rect.right() + ApartX + 1;
                        while (x + 2 < pastIt)
                            x += 2;
                        continue;
                    }
                    nearest = r;
                    best = distance;
                }
            if (!nearest) {
                faceFull = true;
                label->hide();
                continue;
            }
            label->setGeometry(*nearest);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setProperty("LeftTwips", twips::fromPixels(nearest->left()));
            label->setProperty("TopTwips", twips::fromPixels(nearest->top()));
        }
        taken.append({label->geometry(), own});
        label->raise();
        label->show();
    }
}

// ---- Clocks, message board, reminders, keys ----

void frmFloater::timCheckPeriod_Timer() {
    m_timers->timCheckPeriod_Timer();
}

void frmFloater::TaskCountdown_Timer() {
    m_timers->TaskCountdown_Timer();
}

void frmFloater::timTimeOut_Timer() {
    m_timers->timTimeOut_Timer();
}

void frmFloater::showMessage(const QString& text) {
    m_board->showMessage(text);
}

void frmFloater::hideMessage() {
    m_board->hideMessage();
}

bool frmFloater::confirmQuit() {
    return orbinduties::confirmQuit();
}

void frmFloater::showReminder(const QString& text) {
    frmReminder::raiseReminder(text);
}

void frmFloater::butTimeout_Click() {
    if (!gGame) return;
    if (gGame->controls().butTimeout.caption == QStringLiteral("T"))
        gGame->startTimeout();
    else
        gGame->stopTimeout();
}

void frmFloater::Form_KeyPress(int code) {
    m_keys->keyPress(code);
}
