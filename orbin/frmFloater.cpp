// The orbin window itself: made and loaded, shrunk and expanded, the date it shows, the popup menu, the
// handlers of its buttons and labels, and the work that waits for its first drawing. Its other jobs stand in
// files of their own: frmFloaterControls.cpp places the controls, frmFloaterFace.cpp draws the slots and the
// meetings round the rim, frmFloaterMouse.cpp takes the mouse and the drag, frmFloaterSearch.cpp the search.

#include "orbin/frmFloater.h"

#include "core/DateTexts.h"
#include "core/ErrorReport.h"
#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Globals.h"
#include "core/HTMLHelp.h"
#include "core/Initialize.h"
#include "core/Items.h"
#include "core/Settings.h"
#include "core/Tray.h"
#include "dialogs/DialogControls.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/dlgDays.h"
#include "dialogs/dlgProject.h"
#include "dialogs/dlgSettings.h"
#include "orbin/HiddenKeys.h"
#include "orbin/MessageBoard.h"
#include "orbin/OrbinDuties.h"
#include "orbin/OrbinPicture.h"
#include "orbin/OrbinTimers.h"
#include "orbin/frmAbout.h"
#include "orbin/frmReminder.h"
#include "orbin/frmScoreboard.h"
#include "orbin/frmSearch.h"
#include "orbin/frmWelcome.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/Launcher.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

const QString frmFloater::WebAddress = QStringLiteral("https://quorvane.example.org/");
const QString frmFloater::NoTitle = QStringLiteral("(no title)");

namespace {

const QString Error = QStringLiteral(" Error");
const QString LowerError = QStringLiteral(" error");

QString todayText() {
    return shortDateText(appClock().today());
}

} // namespace

frmFloater::frmFloater(QWidget* parent)
    : FormWidget(QStringLiteral("frmFloater"), parent, Qt::Window | Qt::FramelessWindowHint) {
    // The design colour of the form is 255; the colour table gives the real one at load.
    dialogcontrols::designForm(this, QStringLiteral("Quorvane"), DesignWidth, DesignHeight, 255);
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

// ---- Showing, and the work that waits for the first drawing ----

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
    // The reminders of meetings within the lead when the program starts come up while the day is restored,
    // before the orbin: the window system stacks the orbin, shown last, above them although they stay on
    // top as well. They are brought back above it; the focus stays where it is.
    frmReminder::raiseShown();
    if (m_afterPaintTimer && !m_afterPaint.empty()) m_afterPaintTimer->start(0);
}

// The window's drawing is under way, or a redraw waited for the window to be in sight; the mouse of the
// controls goes to frmFloaterMouse.cpp.
bool frmFloater::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Expose && watched == QWidget::windowHandle()) {
        if (m_redrawPending && gItems && gGame) redrawNow();
        if (QWidget::windowHandle()->isExposed()) firstPainted();
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ||
        type == QEvent::MouseButtonDblClick)
        return controlMouseEvent(watched, static_cast<QMouseEvent*>(event));
    return FormWidget::eventFilter(watched, event);
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
