#include "dialogs/dlgEditTaskDetails.h"

#include "core/DayChoices.h"
#include "core/ErrorReport.h"
#include "core/Game.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "dialogs/DayChoiceBox.h"
#include "dialogs/DialogControls.h"
#include "dialogs/dlgNewTaskDetails.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

using namespace dialogcontrols;

namespace {

const QString Error = QStringLiteral(" Error");
const QString FollowUp = QStringLiteral("Follow-up");
const QString SaveLocation = QStringLiteral(" - dlgEditTaskDetails.butSave_Click(): ");

constexpr double ActionFrameHeight = 1260;

// The title of the task that follows up a task titled t: "Follow-up: t", then "Follow-up[2]: ...",
// "Follow-up[3]: ..." and so on for a follow-up of a follow-up.
QString followUpTitle(const QString& t) {
    if (!t.startsWith(FollowUp)) return FollowUp + QStringLiteral(": ") + t;
    // Positions count from 1; 0 when absent.
    const qsizetype p = t.indexOf(QLatin1Char('[')) + 1;
    const qsizetype q = t.indexOf(QLatin1Char(']')) + 1;
    if (p == 10 && q > p) {
        const double n = numtext::leadingNumber(t.mid(p));
        const double counter = n >= 2 ? n + 1 : 2;
        return FollowUp + QLatin1Char('[') + numtext::doubleText(counter) + QStringLiteral("]: ") +
               t.mid(q + 2);
    }
    return FollowUp + QStringLiteral("[2]: ") + t.mid(11);
}

} // namespace

dlgEditTaskDetails* dlgEditTaskDetails::instance() {
    static QPointer<dlgEditTaskDetails> form;
    return sharedForm(form);
}

dlgEditTaskDetails::dlgEditTaskDetails(QWidget* parent)
    : TaskForm(QStringLiteral("dlgEditTaskDetails"), QStringLiteral("Edit"), Width, parent) {
    buildControls();
    unloadOnEscape(this);
    setHeightTwips(SimpleHeight);
    Load();
    show();
    raise();
    activateWindow();
    m_txtTaskTitle->setFocus();
}

void dlgEditTaskDetails::buildControls() {
    buildTitle();
    m_butAdvanced = button(this, "butAdvanced", QStringLiteral("Advanced"), Width - 1320, 570, 1200, 330);
    buildNote(570, 4710);
    buildDay("Frame3", 120, 5400, 2880);
    buildRepeat("Frame2", 3120, 5400, Width - 3240, 1035);

    m_frameSelectPeriod =
        frame(this, "frameSelectPeriod", QStringLiteral("Reschedule task"), 120, 6540, Width - 240, 735);
    const QString periods[] = {QStringLiteral("Morning"), QStringLiteral("Mid Day"),
                               QStringLiteral("Afternoon"), QStringLiteral("Evening")};
    for (int p = 1; p <= 4; ++p) {
        const QByteArray name = "butPeriod" + QByteArray::number(p);
        QPushButton* b = button(m_frameSelectPeriod, name.constData(), periods[p - 1], 150 + 1830.0 * (p - 1),
                                285, 1770, 330);
        connect(b, &QPushButton::clicked, this, [this, p] { butPeriod_Click(p); });
    }

    // The action row: Start/Stop, Delete, Save/Re-Schedule, Done +Follow-up, Done!.
    m_Frame1 =
        frame(this, "Frame1", QStringLiteral("Action"), 120, SimpleActionTop, Width - 240, ActionFrameHeight);
    QStyle* style = QApplication::style();
    // Places from the left; the long caption gets the wide place.
    const double left[] = {150, 1470, 2790, 4110, 6150};
    const double width[] = {1260, 1260, 1260, 1980, 1260};
    auto action = [&](const char* name, const QString& caption, QStyle::StandardPixmap icon, int place) {
        auto* b = new QToolButton(m_Frame1);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setIcon(style->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        placeTwips(b, left[place], 285, width[place], 855);
        return b;
    };
    m_butStart = action("butStart", QStringLiteral("Start"), QStyle::SP_MediaPlay, 0);
    m_butStop = action("butStop", QStringLiteral("Stop"), QStyle::SP_MediaStop, 0);
    m_butStop->hide();
    m_butDelete = action("butDelete", QStringLiteral("Delete"), QStyle::SP_TrashIcon, 1);
    m_butSave = action("butSave", QStringLiteral("Save"), QStyle::SP_DialogSaveButton, 2);
    m_butPostpone = action("butPostpone", QStringLiteral("Re-Schedule"), QStyle::SP_BrowserReload, 2);
    m_butPostpone->hide();
    m_butDonePlusFollowup =
        action("butDonePlusFollowup", QStringLiteral("Done +Follow-up"), QStyle::SP_ArrowForward, 3);
    m_butDone = action("butDone", QStringLiteral("Done! "), QStyle::SP_DialogApplyButton, 4);

    m_btnClose = button(this, "btnClose", QStringLiteral("&OK"), Width - 1320, 570, 1200, 330);
    m_btnClose->hide();
    m_txtID = hiddenLabel("txtID", QStringLiteral("0"));

    connect(m_butStart, &QToolButton::clicked, this, &dlgEditTaskDetails::butStart_Click);
    connect(m_butStop, &QToolButton::clicked, this, &dlgEditTaskDetails::butStop_Click);
    connect(m_butDelete, &QToolButton::clicked, this, &dlgEditTaskDetails::butDelete_Click);
    connect(m_butSave, &QToolButton::clicked, this, &dlgEditTaskDetails::butSave_Click);
    connect(m_btnClose, &QPushButton::clicked, this, &dlgEditTaskDetails::butSave_Click);
    connect(m_butDonePlusFollowup, &QToolButton::clicked, this,
            &dlgEditTaskDetails::butDonePlusFollowup_Click);
    connect(m_butDone, &QToolButton::clicked, this, &dlgEditTaskDetails::butDone_Click);
    connect(m_butAdvanced, &QPushButton::clicked, this, &dlgEditTaskDetails::butAdvanced_Click);
    // Enter in the title box stores the edits, where Save is offered.
    connect(m_txtTaskTitle, &QLineEdit::returnPressed, this, [this] {
        if (!m_butSave->isHidden() && m_butSave->isEnabled()) butSave_Click();
    });
}

void dlgEditTaskDetails::Load() {
    trapped(QStringLiteral(" - dlgEditTaskDetails.Load(): "), Error, [&] {
        if (gSettings->onTop()) MakeTopMost(windowHandle());
        gSettings->setColors(this, DesignBackColor, 6);
        placeTwips(m_Frame1, 120, SimpleActionTop, Width - 240, ActionFrameHeight);
        setHeightTwips(SimpleHeight);
        showEditFields(false);

        const Integer id = gItems->currentID();
        m_txtID->setText(QString::number(id.value()));
        if (id < Integer(1)) {
            // No task to act on: the fields stay empty and the actions stay off.
            m_Frame1->setEnabled(false);
            m_frameSelectPeriod->setEnabled(false);
            return;
        }
        const QString title = gItems->Title();
        setWindowTitle(title);
        m_txtTaskTitle->setText(title);
        const QString note = gItems->Note();
        m_storedNote = note;
        m_txtTaskBody->setPlainText(unescapeNote(note));
        setActionButtons();
        if (!note.isEmpty()) butAdvanced_Click();
        m_storedRepeat = gItems->Obj3();
        setRepeatCode(m_storedRepeat);
        m_shownRepeat = repeatCode();
        gChosenDate = appClock().today();
        m_day->fillChoices(appClock().today());
        // The task's own day, so that saving a typo leaves the task where it is. A day that cannot be
        // read leaves the box empty, and stays as stored unless the user gives one.
        const QDate own = gItems->Date_();
        if (own.isValid() && own != Items::zeroDate())
            m_day->showDate(own);
        else
            m_day->showUnreadable();
    });
}

void dlgEditTaskDetails::setActionButtons() {
    const QString status = gItems->getStatus();
    const bool done = gItems->Done().toLower() == QStringLiteral("true");
    const auto period = [] { return numtext::toInteger(numtext::leadingNumber(gItems->Period())); };
    if (status == QStringLiteral("started")) {
        m_butStop->show();
        m_butStart->hide();
        m_butPostpone->hide();
        m_butSave->show();
    } else if (gItems->Date_() != appClock().today() || done ||
               (gGame->PeriodRunning() && period() != gGame->CurrentPeriod())) {
        if (done) {
            m_butDone->hide();
            m_butDonePlusFollowup->hide();
        }
        m_butStop->hide();
        m_butStart->hide();
        m_butPostpone->hide();
    } else {
        // A task of today, not done, of the period in play or with no period running.
        const bool blocked = gGame->TaskRunning() || (!gGame->PeriodRunning() && period() > Integer(1) &&
                                                      period() != gGame->CurrentPeriod() + Integer(1));
        m_butStart->setVisible(!blocked);
        m_butDonePlusFollowup->show();
        m_butStop->hide();
        m_butPostpone->hide();
    }
}

void dlgEditTaskDetails::butAdvanced_Click() {
    setHeightTwips(AdvancedHeight);
    placeTwips(m_Frame1, 120, AdvancedActionTop, Width - 240, ActionFrameHeight);
    showEditFields(true);
    m_butAdvanced->hide();
}

void dlgEditTaskDetails::showEditFields(bool shown) {
    // In the simple view the day, repeat and period controls lie below the window's lower edge. Hidden as
    // well, they take no focus there: Tab from the title goes to the action row, not into a box out of
    // sight.
    for (QWidget* w : {static_cast<QWidget*>(m_txtTaskBody), static_cast<QWidget*>(m_fraDate),
                       static_cast<QWidget*>(m_fraRepeat), static_cast<QWidget*>(m_frameSelectPeriod)})
        w->setVisible(shown);
}

Integer dlgEditTaskDetails::itemId() const {
    return numtext::toInteger(m_txtID->text());
}

// ---- Actions ----

bool dlgEditTaskDetails::butSave_Click() {
    return saveEdits();
}

bool dlgEditTaskDetails::saveEdits(const QString& period) {
    return trapped(SaveLocation, Error, [&] {
        const Integer id = itemId();
        // The day first: one that is no date leaves the task as it was.
        const std::optional<QDate> date = dayToStore();
        if (!period.isEmpty()) gItems->setPeriod(period, id);
        if (date) gItems->setDate(*date, id);
        gItems->setTitle(m_txtTaskTitle->text(), id);
        gItems->setNote(m_txtTaskBody->document()->isModified() ? escapeNote(m_txtTaskBody->toPlainText())
                                                                : m_storedNote,
                        id);
        // The points, the timing bonus and the project stay as they are: a typo fixed in a finished
        // task keeps what it earned, and a task of a project stays in it.
        const QString repeat = repeatCode();
        gItems->setObj3(repeat == m_shownRepeat ? m_storedRepeat : repeat, id);
        gItems->saveItemXML();
        if (gOrbinWindow) gOrbinWindow->updateInfo();
        unloadForm();
    });
}

void dlgEditTaskDetails::butStart_Click() {
    gGame->startTask(itemId());
    unloadForm();
}

void dlgEditTaskDetails::butStop_Click() {
    // The day is read before the task stops: where the edits cannot be stored the task keeps running, so
    // that a second Stop does not stop it again and lose the minutes it had left.
    if (!trapped(SaveLocation, Error, [&] { dayToStore(); })) return;
    gGame->stopTask(itemId());
    saveEdits();
}

void dlgEditTaskDetails::butDone_Click() {
    const Integer id = itemId();
    // A task whose edits could not be stored is not finished either; the dialog stays open.
    if (!saveEdits()) return;
    gGame->doneTask(id);
}

void dlgEditTaskDetails::butPeriod_Click(int period) {
    saveEdits(QString::number(period));
}

void dlgEditTaskDetails::butDonePlusFollowup_Click() {
    const bool ready =
        trapped(QStringLiteral(" - dlgEditTaskDetails.butDonePlusFollowup_Click: "), Error, [&] {
            dayToStore(); // a day that is no date stops here, before the follow-up is made
            const QString title = m_txtTaskTitle->text();
            auto* next = new dlgNewTaskDetails();
            next->txtTaskBody()->setPlainText(QStringLiteral("Follow-up task for: ") + title +
                                              QLatin1Char('\n') + m_txtTaskBody->toPlainText());
            next->txtTaskTitle()->setText(followUpTitle(title));
            next->switchMode();
        });
    if (ready) butDone_Click();
}

void dlgEditTaskDetails::butDelete_Click() {
    trapped(QStringLiteral(" - dlgEditTaskDetails.butDelete_Click: "), Error, [&] {
        if (gOrbinWindow) gOrbinWindow->shrinkFloater();
        if (prompter().messageBox(QStringLiteral("Delete task?"), Prompter::Buttons::YesNo,
                                  Prompter::Icon::None,
                                  QStringLiteral("Quorvane - Confirm")) != Prompter::Yes)
            return;
        const Integer id = itemId();
        if (id > Integer(0) && gItems->getStatus(id) == QStringLiteral("started")) gGame->stopTask(id);
        gItems->removeItem(id);
        if (gOrbinWindow) gOrbinWindow->updateInfo();
        unloadForm();
    });
}
