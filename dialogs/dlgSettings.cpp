#include "dialogs/dlgSettings.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "dialogs/ControlTable.h"
#include "dialogs/DialogControls.h"
#include "dialogs/IntegerFieldGuard.h"
#include "dialogs/RunningSettings.h"
#include "dialogs/SettingsNotWritten.h"
#include "dialogs/TimeSpinners.h"
#include "dialogs/frmPassword.h"
#include "platform/NumberText.h"
#include "platform/gui/WindowProcs.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString General = QStringLiteral("General");
const QString Period = QStringLiteral("Period");
const QString Password = QStringLiteral("password");
const QString Error = QStringLiteral(" Error");

QString checkText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

QString startTimeName(int row) {
    return QStringLiteral("StartTimePeriod%1").arg(row + 2);
}

QString startTimeError(int row, const char* rule) {
    return QStringLiteral("Hey! That's not a proper start time for period %1!\r\n(%2)")
        .arg(row + 2)
        .arg(QString::fromLatin1(rule));
}

// The controls above the start times, in the order of the layout: the fields with their captions and
// units, then the buttons.
enum Layout { Fields, ButtonRow };
using enum controltable::Kind;
constexpr controltable::Entry<dlgSettings> Controls[] = {
    {Caption, nullptr, "Popup display time", nullptr, Fields, 0, 0},
    {Number, "txtPopupTime", nullptr, "The time for displaying different popup dialouges, in seconds", Fields,
     0, 1},
    {Label, nullptr, "seconds", nullptr, Fields, 0, 2},
    {Check, "chkBossKey", "Global hide key",
     "Check if you want Shift+Esc to allways hide the application to the systray", Fields, 1, 0, 4},
    {Check, "chkOnTop", "Keep on top", "Keep Quorvane on top of all windows", Fields, 2, 0, 4},
    {Check, "chkConfirmExit", "Show confirm dialouge when closing application",
     "Check to have the program ask if you want to close down the application before shutting down", Fields,
     3, 0, 4},
    {Caption, nullptr, "Remind me", nullptr, Fields, 4, 0},
    {Number, "txtReminder", nullptr, "Minutes before a specified meeting a reminder will be shown", Fields, 4,
     1},
    {Label, nullptr, "minutes before a meeting", nullptr, Fields, 4, 2},
    {Check, "chkPassword", "Password protect Quorvane", nullptr, Fields, 5, 0, 4,
     &dlgSettings::chkPassword_Click},
    {Button, "btnSave", "&Save", "Save settings", ButtonRow, 0, 0, 1, &dlgSettings::btnSave_Click},
    {Button, "btnCancel", "&Cancel", "Exit without save or use the new settings", ButtonRow, 0, 0, 1,
     &dlgSettings::btnCancel_Click},
    {Button, "btnApply", "&Use", "Apply the settings", ButtonRow, 0, 0, 1, &dlgSettings::btnApply_Click},
};

} // namespace

dlgSettings::dlgSettings(QWidget* parent) : FormWidget(QStringLiteral("dlgSettings"), parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Quorvane - Settings"));
    buildControls();
    gSettings->positionForm(this, true, false);
    // Opened from the orbin, it must not hide behind it.
    windowprocs::setTopMost(this, true);
    getSettings();
}

dlgSettings* dlgSettings::instance() {
    static QPointer<dlgSettings> form;
    return sharedForm(form);
}

void dlgSettings::buildControls() {
    auto* general = new QGridLayout;
    general->setHorizontalSpacing(8);
    general->setVerticalSpacing(8);
    general->setColumnStretch(3, 1);
    QHBoxLayout* buttons = dialogcontrols::buttonRow({}); // the table's buttons go to its right end
    const controltable::Controls made = controltable::make(this, Controls, {general, buttons}, 56);
    m_txtPopupTime = made.get<QLineEdit>("txtPopupTime");
    m_chkBossKey = made.get<QCheckBox>("chkBossKey");
    m_chkOnTop = made.get<QCheckBox>("chkOnTop");
    m_chkConfirmExit = made.get<QCheckBox>("chkConfirmExit");
    m_txtReminder = made.get<QLineEdit>("txtReminder");
    m_chkPassword = made.get<QCheckBox>("chkPassword");
    m_btnSave = made.get<QPushButton>("btnSave");
    m_btnCancel = made.get<QPushButton>("btnCancel");
    m_btnApply = made.get<QPushButton>("btnApply");

    // The start-time rows: the time, then its hour and minute bars.
    auto* periods = new QGridLayout;
    periods->setHorizontalSpacing(6);
    periods->setVerticalSpacing(6);
    const char* rowLabels[RowCount][2] = {{"Period 2 starts at:", "lblPer2Start"},
                                          {"Period 3 starts at:", "lblPer3"},
                                          {"Period 4 starts at:", "lblPer4"}};
    for (int i = 0; i < RowCount; ++i) {
        const auto row = static_cast<size_t>(i);
        QLineEdit* time = controltable::numberBox(this, "txtTime", 62);
        time->setProperty("Index", i);
        time->setAlignment(Qt::AlignCenter);
        auto bar = [&](const char* name) {
            auto* b = new QScrollBar(Qt::Vertical, this);
            b->setObjectName(QString::fromLatin1(name));
            b->setProperty("Index", i);
            b->setFixedSize(16, time->sizeHint().height() + 6);
            return b;
        };
        QScrollBar* hour = bar("scrHour");
        QScrollBar* minute = bar("scrMinute");
        m_txtTime[row] = time;
        m_scrHour[row] = hour;
        m_scrMinute[row] = minute;
        m_rows[row] = new TimeSpinners(time, hour, minute, this);
        // A start time is a time of day: 24:00 is not taken as the midnight that begins the day.
        m_rows[row]->setDayOnly(true);
        // A click on a bar takes the focus (a time being typed is taken before the step), but the tab key
        // passes the bars by.
        hour->setFocusPolicy(Qt::ClickFocus);
        minute->setFocusPolicy(Qt::ClickFocus);
        time->installEventFilter(this);
        auto* caption = new QLabel(QString::fromLatin1(rowLabels[i][0]), this);
        caption->setObjectName(QString::fromLatin1(rowLabels[i][1]));
        caption->setBuddy(time);
        periods->addWidget(caption, i, 0);
        periods->addWidget(time, i, 1);
        periods->addItem(new QSpacerItem(6, 0), i, 2);
        periods->addWidget(hour, i, 3);
        periods->addWidget(new QLabel(QStringLiteral("H"), this), i, 4);
        periods->addItem(new QSpacerItem(4, 0), i, 5);
        periods->addWidget(minute, i, 6);
        periods->addWidget(new QLabel(QStringLiteral("M"), this), i, 7);
    }
    periods->setColumnStretch(8, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    layout->addLayout(general);
    layout->addSpacing(10);
    layout->addLayout(periods);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    adjustSize();
    setFixedSize(size());

    // Popup time, hide key, keep on top, confirm exit, reminder, the start times, Save, Cancel, Use, and
    // the password box last.
    const QList<QWidget*> order = {m_txtPopupTime, m_chkBossKey, m_chkOnTop,   m_chkConfirmExit,
                                   m_txtReminder,  m_txtTime[0], m_txtTime[1], m_txtTime[2],
                                   m_btnSave,      m_btnCancel,  m_btnApply,   m_chkPassword};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    dialogcontrols::unloadOnEscape(this);
    m_guard = new IntegerFieldGuard(this);
    m_guard->addField(m_txtPopupTime, QStringLiteral("popup time"));
    m_guard->addField(m_txtReminder, QStringLiteral("meeting reminder"));
    for (int i = 0; i < RowCount; ++i) {
        // Only a time past the day's ends is refused here; one that is no time at all the row puts back.
        TimeSpinners* row = m_rows.at(static_cast<size_t>(i));
        m_guard->addField(
            m_txtTime.at(static_cast<size_t>(i)),
            [row](const QString& text) {
                const std::optional<TimeSpinners::HourMinute> t = TimeSpinners::readTime(text);
                return row->keepsStored() || !t || TimeSpinners::isTimeOfDay(*t);
            },
            startTimeError(i, "Must be a time of day from 00:00 to 23:59."));
    }
    m_guard->letThrough(m_btnCancel);
}

void dlgSettings::getSettings() {
    trapped(QStringLiteral(" - dlgSettings.getSettings: "), Error, [&] {
        m_txtPopupTime->setText(QString::number(gSettings->iDisplayLength().value()));
        m_chkBossKey->setChecked(gSettings->bBossKey());
        m_chkOnTop->setChecked(gSettings->onTop());
        m_chkConfirmExit->setChecked(gSettings->confirmExit());
        m_txtReminder->setText(QString::number(gSettings->MeetingReminderMinutes().value()));
        // Showing the state runs no password handling.
        m_chkPassword->setChecked(
            !gSettings->getMySetting(Password, General, QString()).toString().isEmpty());
        const QString stored[RowCount] = {gSettings->StartTimePeriod2(), gSettings->StartTimePeriod3(),
                                          gSettings->StartTimePeriod4()};
        for (int i = 0; i < RowCount; ++i) {
            TimeSpinners* row = m_rows.at(static_cast<size_t>(i));
            const std::optional<TimeSpinners::HourMinute> t = TimeSpinners::readTime(stored[i]);
            if (t && TimeSpinners::isTimeOfDay(*t)) {
                row->setTime(t->hour, t->minute);
                continue;
            }
            // A stored time the bars cannot hold shows as it stands, and goes back so unless the user
            // changes it; the bars start from the period's built-in start.
            const TimeSpinners::HourMinute standard =
                *TimeSpinners::readTime(Settings::defaultStartTime(i + 2));
            row->setTime(standard.hour, standard.minute);
            row->showStored(stored[i]);
        }
    });
}

void dlgSettings::updateTime(int row) {
    if (row >= 0 && row < RowCount) m_rows.at(static_cast<size_t>(row))->updateTime();
}

void dlgSettings::applySettings() {
    trapped(QStringLiteral(" - dlgSettings.applySettings: "), Error, [&] {
        const bool hideKeyWasOn = gSettings->bBossKey();
        gSettings->setIDisplayLength(numtext::toInteger(m_txtPopupTime->text()));
        gSettings->setBBossKey(m_chkBossKey->isChecked());
        gSettings->setOnTop(m_chkOnTop->isChecked());
        gSettings->setMeetingReminderMinutes(numtext::toInteger(m_txtReminder->text()));
        gSettings->setConfirmExit(m_chkConfirmExit->isChecked());
        // The period clock reads the start times at its next minute.
        gSettings->setStartTimePeriod2(m_txtTime[0]->text());
        gSettings->setStartTimePeriod3(m_txtTime[1]->text());
        gSettings->setStartTimePeriod4(m_txtTime[2]->text());
        takeEffectAtOnce(hideKeyWasOn);
    });
}

void dlgSettings::saveSettings() {
    trapped(QStringLiteral(" - dlgSettings.saveSettings: "), Error, [&] {
        applySettings();
        bool written = true;
        auto put = [&](const QString& key, const QString& value, const QString& section) {
            written = gSettings->putMySetting(key, value, section) && written;
        };
        put(QStringLiteral("DisplayLength"), m_txtPopupTime->text(), General);
        put(QStringLiteral("BossKey"), checkText(m_chkBossKey), General);
        put(QStringLiteral("onTop"), checkText(m_chkOnTop), General);
        put(QStringLiteral("meetingReminderAdvance"), m_txtReminder->text(), General);
        put(QStringLiteral("ConfirmExit"), checkText(m_chkConfirmExit), General);
        for (int i = 0; i < RowCount; ++i)
            put(startTimeName(i), m_txtTime.at(static_cast<size_t>(i))->text(), Period);
        if (!m_chkPassword->isChecked()) put(Password, QString(), General);
        if (!written && !gSettings->settingsRemoved())
            tellSettingsNotWritten(QStringLiteral("The settings could not be written to the settings file "
                                                  "%1.\r\nThey apply until Quorvane ends."));
    });
}

bool dlgSettings::checkFields() {
    // A start time typed but not yet taken (the focus never left it) is taken, or put back, first.
    for (int i = 0; i < RowCount; ++i) {
        TimeSpinners* row = m_rows.at(static_cast<size_t>(i));
        if (m_txtTime.at(static_cast<size_t>(i))->text() !=
            TimeSpinners::timeText(row->hour(), row->minute()))
            row->txtTime_LostFocus();
    }
    return m_guard->checkAll() && startTimesRise();
}

bool dlgSettings::startTimesRise() {
    // Periods out of order leave the day without the ones between: each start comes after the one before.
    // A stored time kept as it stands has no place in the order.
    std::optional<int> before;
    for (int i = 0; i < RowCount; ++i) {
        const TimeSpinners* row = m_rows.at(static_cast<size_t>(i));
        if (row->keepsStored()) continue;
        const int minutes = row->hour() * 60 + row->minute();
        if (before && minutes <= *before) {
            m_guard->refuse(m_txtTime.at(static_cast<size_t>(i)),
                            startTimeError(i, "Each period must start later than the one before it."));
            return false;
        }
        before = minutes;
    }
    return true;
}

void dlgSettings::btnApply_Click() {
    if (!checkFields()) return;
    applySettings();
    unloadForm();
}

void dlgSettings::btnSave_Click() {
    if (!checkFields()) return;
    saveSettings();
    unloadForm();
}

void dlgSettings::btnCancel_Click() {
    unloadForm();
}

void dlgSettings::chkPassword_Click() {
    // Unchecking clears nothing yet: only Save stores the empty password.
    if (!m_chkPassword->isChecked()) return;
    const QPointer<dlgSettings> self(this);
    frmPassword::showModal(this);
    if (!self || !gSettings) return; // the program ended while the form was up
    if (gSettings->getMySetting(Password, General, QString()).toString().isEmpty())
        m_chkPassword->setChecked(false);
}

bool dlgSettings::eventFilter(QObject* watched, QEvent* event) {
    // A start time that gets the focus is selected whole, also after the click that placed the cursor.
    if (event->type() == QEvent::FocusIn)
        if (auto* time = qobject_cast<QLineEdit*>(watched);
            time && std::find(m_txtTime.begin(), m_txtTime.end(), time) != m_txtTime.end())
            QTimer::singleShot(0, time, &QLineEdit::selectAll);
    return FormWidget::eventFilter(watched, event);
}

void dlgSettings::formUnload() {
    if (gSettings) gSettings->saveFormPosition(this, true, false);
}
