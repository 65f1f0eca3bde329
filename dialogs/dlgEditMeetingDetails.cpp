#include "dialogs/dlgEditMeetingDetails.h"

#include "core/DayChoices.h"
#include "core/ErrorReport.h"
#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "dialogs/DayChoiceBox.h"
#include "dialogs/DialogControls.h"
#include "dialogs/TimeSpinners.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

using namespace dialogcontrols;

namespace {

// Where the dialog has the controls it shares with the new-meeting dialog. The date box as wide as the
// list above it, so that a whole date shows.
constexpr MeetingForm::Places Shared = {
    .titleLabel = {30, 225, 400, 365},
    .titleAlignment = Qt::AlignLeft | Qt::AlignVCenter,
    .titleBox = {450, 225, 6990, 365},
    .objectiveFrame = {450, 675, 6990, 690},
    .objectiveBox = {150, 270, 6690, 285},
    .dayFrame = {2715, 1590, 2445, 975},
    .dayList = {150, 270, 2145, 315},
    .dateBox = {150, 615, 2145, 285},
};

// A meeting whose type says it comes again.
bool isRepeating(const QString& type) {
    return type == QStringLiteral("EveryDayRecuringMeeting") || type.startsWith(QLatin1Char('w')) ||
           type.startsWith(QLatin1Char('d'));
}

} // namespace

dlgEditMeetingDetails::dlgEditMeetingDetails(QWidget* parent)
    : MeetingForm(QStringLiteral("dlgEditMeetingDetails"), QStringLiteral("Edit"), FormWidth,
                  SimpleHeight - CaptionAllowance, QStringLiteral(" - dlgEditMeetingDetails.cmbDate_Click: "),
                  parent) {
    setOuterHeight(this, SimpleHeight);
    buildControls();
    unloadOnEscape(this);
    Form_Load();
}

dlgEditMeetingDetails* dlgEditMeetingDetails::instance() {
    static QPointer<dlgEditMeetingDetails> form;
    return sharedForm(form);
}

void dlgEditMeetingDetails::buildControls() {
    buildTitle(Shared);

    QGroupBox* time = frame(this, "frameTime", QStringLiteral("Time:"), 450, 1605, 2130, 915);
    m_txtTime = textBox(time, "txtTime", 255, 375, 810, 285);
    m_txtTime->setProperty("Index", 0);
    m_txtTime->setAlignment(Qt::AlignCenter);
    label(time, "Label6", QStringLiteral("H"), 1110, 405, 165, 240);
    m_scrHour = new QScrollBar(Qt::Vertical, time);
    m_scrHour->setObjectName(QStringLiteral("scrHour"));
    m_scrHour->setProperty("Index", 0);
    placeTwips(m_scrHour, 1275, 330, 240, 330);
    label(time, "Label7", QStringLiteral("M"), 1545, 405, 165, 240);
    m_scrMinute = new QScrollBar(Qt::Vertical, time);
    m_scrMinute->setObjectName(QStringLiteral("scrMinute"));
    m_scrMinute->setProperty("Index", 0);
    placeTwips(m_scrMinute, 1710, 330, 240, 330);
    m_time = new TimeSpinners(m_txtTime, m_scrHour, m_scrMinute, this);

    buildDay(Shared);

    auto pictureButton = [&](const char* name, const QString& caption, const QString& tip,
                             QStyle::StandardPixmap icon, double left, double width) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolTip(tip);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(20, 20));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        // A click takes the focus, so that a time being typed is taken before the click counts.
        b->setFocusPolicy(Qt::StrongFocus);
        placeTwips(b, left, SimpleButtonTop, width, 690);
        return b;
    };
    m_butSave = pictureButton("butSave", QStringLiteral("Save"), QStringLiteral("Save meeting details"),
                              QStyle::SP_DialogSaveButton, 450, 1305);
    m_butDelete = pictureButton("butDelete", QStringLiteral("Delete"), QStringLiteral("Delete the meeting"),
                                QStyle::SP_TrashIcon, 2250, 1365);
    m_butDone = pictureButton("butDone", QStringLiteral("Done! "), QStringLiteral("Mark the meeting as done"),
                              QStyle::SP_DialogApplyButton, 5865, 1365);
    connect(m_butSave, &QToolButton::clicked, this, [this] { butSave_Click(); });
    connect(m_butDelete, &QToolButton::clicked, this, [this] { butDelete_Click(); });
    connect(m_butDone, &QToolButton::clicked, this, [this] { butDone_Click(); });

    m_txtMeetingBody = new QPlainTextEdit(this);
    m_txtMeetingBody->setObjectName(QStringLiteral("txtMeetingBody"));
    m_txtMeetingBody->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    placeTwips(m_txtMeetingBody, 420, 3150, 7440, 4065);
    m_txtMeetingBody->hide();

    // The duration rides along unchanged; it is never shown.
    QGroupBox* estimate = frame(this, "frameTimeEstimate", QString(), 0, 0, 15, 15);
    m_txtEstimate = textBox(estimate, "txtEstimate", 0, 0, 15, 15);
    estimate->hide();

    txtMeetingTitle_Change();
}

void dlgEditMeetingDetails::Form_Load() {
    trapped(QStringLiteral(" - delEditMeetingDetails.Form_Load: "), LowerError, [&] {
        gSettings->setColors(this, DesignBackColor, 6);
        gChosenDate = appClock().today();
        m_day->fillChoices(appClock().today());
        m_day->showOrbinDay();
        showForTitle();
    });
}

Integer dlgEditMeetingDetails::tagId() const {
    return numtext::toInteger(property("Tag").toString());
}

void dlgEditMeetingDetails::Populate() {
    trapped(QStringLiteral(" - delEditMeetingDetails.Populate: "), LowerError, [&] {
        if (gSettings->onTop()) setTopMost(windowHandle());
        gSettings->setColors(this, DesignBackColor, 6);
        if (property("Tag").toString().isEmpty()) return;
        const Integer id = tagId();
        if (id.value() < 1) return;
        setWindowTitle(gItems->Title(id));
        const QString note = gItems->Note(id);
        m_txtMeetingBody->setPlainText(note);
        m_txtMeetingBody->setProperty("Stored", note);
        m_txtMeetingTitle->setText(gItems->Title(id));
        m_txtObjective1->setText(gItems->Obj1(id));
        const QString stored = gItems->MeetingTime(id);
        // As stored until the spinners take it: a time that is none stays so, also when the box is left.
        m_time->showStored(stored);
        // The duration rides along unseen; one too large to read is not written back, so it stays as stored.
        m_estimateRead = false;
        m_txtEstimate->clear();
        try {
            m_txtEstimate->setText(QString::number(gItems->Estimate(id).value()));
            m_estimateRead = true;
        } catch (const Failure&) {
        }
        // The meeting's own day, so that saving it leaves it where it is. A day that cannot be read leaves
        // the box empty, and stays as stored unless the user gives one.
        const QDate day = gItems->Date_(id);
        if (day != Items::zeroDate()) {
            m_day->showDate(day);
            gChosenDate = day;
        } else {
            m_day->showUnreadable();
        }
        showDetails(!m_txtMeetingBody->toPlainText().isEmpty());
        // Filled last: a stored time that is not one is reported and leaves the rest of the meeting shown.
        const std::optional<TimeSpinners::HourMinute> at = TimeSpinners::readTime(stored);
        if (!at) throw Failure(err::TypeMismatch);
        m_txtTime->setText(QStringLiteral("%1:%2").arg(at->hour).arg(at->minute));
        m_time->setTime(at->hour, at->minute);
    });
}

void dlgEditMeetingDetails::showDetails(bool advanced) {
    if (advanced) {
        setOuterHeight(this, AdvancedHeight);
        moveButtonRow(Integer(static_cast<int>(AdvancedButtonTop)));
        m_txtMeetingBody->show();
    } else {
        m_txtMeetingBody->hide();
        moveButtonRow(Integer(static_cast<int>(SimpleButtonTop)));
        setOuterHeight(this, SimpleHeight);
    }
}

void dlgEditMeetingDetails::moveButtonRow(Integer top) {
    for (QToolButton* b : {m_butSave, m_butDelete, m_butDone})
        b->move(b->x(), twips::toPixels(top.value()));
}

void dlgEditMeetingDetails::txtMeetingTitle_Change() {
    m_butSave->setEnabled(!m_txtMeetingTitle->text().isEmpty());
}

void dlgEditMeetingDetails::butSave_Click() {
    trapped(QStringLiteral(" - dlgEditMeetingDetails.butSave_Click: "), LowerError, [&] {
        const Integer id = tagId();
        if (id.value() < 1) return;
        // The day is read before anything is written, so that a day that is none leaves the meeting as it
        // was.
        std::optional<QDate> day;
        if (!m_day->keepsStored()) {
            day = m_day->dateOrComplain();
            if (!day) return;
        }
        // A note left as it was goes back exactly as stored.
        const QString note = m_txtMeetingBody->document()->isModified()
                                 ? m_txtMeetingBody->toPlainText()
                                 : m_txtMeetingBody->property("Stored").toString();
        gItems->setNote(note, id);
        storeTexts(id, m_txtTime->text());
        if (m_estimateRead) gItems->setEstimate(m_txtEstimate->text(), id);
        if (day) gItems->setDate(*day, id);
        writeItems();
        unloadForm();
    });
}

void dlgEditMeetingDetails::butDelete_Click() {
    trapped(QStringLiteral(" - dlgEditMeetingDetails.butDelete_Click: "), LowerError, [&] {
        if (gOrbinWindow) gOrbinWindow->shrinkFloater();
        const Prompter::Answer answer = prompter().messageBoxWithDefault(
            QStringLiteral("Are you sure you want to delete this meeting \"") + m_txtMeetingTitle->text() +
                QStringLiteral("\"?"),
            Prompter::Buttons::YesNo, Prompter::Icon::Information, QStringLiteral("Delete meeting"),
            Prompter::No);
        if (answer != Prompter::Yes) return;
        gItems->removeItem(tagId());
        if (gOrbinWindow) gOrbinWindow->updateInfo();
        unloadForm();
    });
}

void dlgEditMeetingDetails::butDone_Click() {
    trapped(QStringLiteral(" - dlgEditMeetingDetails.butDone_Click: "), LowerError, [&] {
        const Integer id = tagId();
        const QString objective = m_txtObjective1->text();
        if (!objective.trimmed().isEmpty()) {
            if (gOrbinWindow) gOrbinWindow->shrinkFloater();
            // Either answer goes on the same way.
            prompter().messageBox(QStringLiteral("Did you achieve the first objective:\r\n\r\n'") +
                                      objective + QStringLiteral("'"),
                                  Prompter::Buttons::YesNo, Prompter::Icon::Question,
                                  QStringLiteral("Meeting Objective 1!"));
        }
        // The next one of a repeating meeting is made before this one is marked, so it is not born done.
        if (isRepeating(gItems->Type_(id))) gItems->CloneRepetitiveTask(id);
        gItems->setDone(QStringLiteral("True"), id);
        gItems->setDoneDate(appClock().today().toString(Qt::ISODate), id);
        gItems->setDonePeriod(QString::number(gGame->CurrentPeriod().value()), id);
        gItems->setDoneTime(gGame->controls().lblRemainingOfPeriod.caption, id);
        if (gOrbinWindow) gOrbinWindow->updateInfo();
        unloadForm();
    });
}
