#include "dialogs/dlgDebugSettings.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "dialogs/ControlTable.h"
#include "dialogs/DialogControls.h"
#include "dialogs/IntegerFieldGuard.h"
#include "dialogs/RunningSettings.h"
#include "dialogs/SettingsNotWritten.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/gui/ColorCodec.h"
#include "platform/gui/WindowProcs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString General = QStringLiteral("General");

// A colour entry as a colour number; nullopt for an empty entry or one that is no 32-bit whole number.
std::optional<qint64> colorNumber(const QString& entry) {
    const std::optional<double> n = numtext::parseNumber(entry);
    if (!n) return std::nullopt;
    const double whole = numtext::roundHalfEven(*n);
    if (whole < -2147483648.0 || whole > 2147483647.0) return std::nullopt;
    return static_cast<qint64>(whole);
}

QString checkText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// The controls in the order of the tab key: the fields with their captions, the switches, the frames, the
// removal of the stored settings and the buttons. The frames' own controls are laid out by the form.
enum Layout { Fields, Column, RemoveRow, ButtonRow };
using enum controltable::Kind;
constexpr controltable::Entry<dlgDebugSettings> Controls[] = {
    {Caption, nullptr, "Period length", nullptr, Fields, 0, 0},
    {Number, "txtPeriodLength", nullptr, "The time for each period, in minutes", Fields, 0, 1},
    {Caption, nullptr, "Popup display time", nullptr, Fields, 1, 0},
    {Number, "txtPopupTime", nullptr, "The time for displaying different popup dialouges, in seconds", Fields,
     1, 1},
    {Check, "chkBossKey", "Global hide key",
     "Check if you want Shift+Esc to allways hide the application to the systray", Column},
    {Check, "chkOnTop", "Keep on top", nullptr, Column},
    {Frame, "fraErrorTrapping", "Error trapping", "Swich on or off error handling (ADVANCED!)", Column},
    {Radio, "optErrTrapYes", "Yes", "Swich on error handling", controltable::Unplaced},
    {Radio, "optErrTrapNo", "No", "Swich off error handling", controltable::Unplaced},
    {Frame, "fraColor", "Colors", nullptr, Column},
    {Label, nullptr, "Remove all registry settings", nullptr, RemoveRow},
    {Button, "btnRemoveSettings", "&Remove", "Remove all registry settings for the application", RemoveRow, 0,
     0, 1, &dlgDebugSettings::btnRemoveSettings_Click},
    {Button, "btnSave", "&Save", "Save settings", ButtonRow, 0, 0, 1, &dlgDebugSettings::btnSave_Click},
    {Button, "btnApply", "&Use", "Apply the settings", ButtonRow, 0, 0, 1, &dlgDebugSettings::btnApply_Click},
    {Button, "CancelButton", "&Cancel", "Exit without save or use the new settings", ButtonRow, 0, 0, 1,
     &dlgDebugSettings::CancelButton_Click},
};

} // namespace

dlgDebugSettings::dlgDebugSettings(QWidget* parent)
    : FormWidget(QStringLiteral("dlgDebugSettings"), parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("QVN! debug settings"));
    buildControls();
    // Opened from the orbin, it must not hide behind it.
    windowprocs::setTopMost(this, true);
    getSettings();
}

dlgDebugSettings* dlgDebugSettings::instance() {
    static QPointer<dlgDebugSettings> form;
    return sharedForm(form);
}

void dlgDebugSettings::buildControls() {
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addLayout(fields);
    auto* remove = new QHBoxLayout;
    QHBoxLayout* buttons = dialogcontrols::buttonRow({}); // the table's buttons go to its right end
    const controltable::Controls made =
        controltable::make(this, Controls, {fields, layout, remove, buttons}, 70);
    m_txtPeriodLength = made.get<QLineEdit>("txtPeriodLength");
    m_txtPopupTime = made.get<QLineEdit>("txtPopupTime");
    m_chkBossKey = made.get<QCheckBox>("chkBossKey");
    m_chkOnTop = made.get<QCheckBox>("chkOnTop");
    m_fraErrorTrapping = made.get<QGroupBox>("fraErrorTrapping");
    m_optErrTrapYes = made.get<QRadioButton>("optErrTrapYes");
    m_optErrTrapNo = made.get<QRadioButton>("optErrTrapNo");
    m_fraColor = made.get<QGroupBox>("fraColor");
    m_btnRemoveSettings = made.get<QPushButton>("btnRemoveSettings");
    m_btnSave = made.get<QPushButton>("btnSave");
    m_btnApply = made.get<QPushButton>("btnApply");
    m_CancelButton = made.get<QPushButton>("CancelButton");

    auto* trapping = new QHBoxLayout(m_fraErrorTrapping);
    trapping->addWidget(m_optErrTrapYes);
    trapping->addWidget(m_optErrTrapNo);
    trapping->addStretch();

    // The colour buttons, two rows of six; the tab key reaches them where their frame stands.
    auto* colors = new QGridLayout(m_fraColor);
    colors->setSpacing(6);
    QWidget* before = m_optErrTrapNo;
    for (int i = 0; i < ColorButtonCount; ++i) {
        auto* button = new QPushButton(QString::number(i), m_fraColor);
        button->setObjectName(QStringLiteral("cmdColor"));
        button->setProperty("Index", i);
        button->setFixedSize(34, 26);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdColor_Click(i); });
        colors->addWidget(button, i / 6, i % 6);
        m_cmdColor[static_cast<size_t>(i)] = button;
        setTabOrder(before, button);
        before = button;
    }
    colors->setColumnStretch(6, 1);

    remove->insertStretch(1);
    layout->addSpacing(4);
    layout->addLayout(remove);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    adjustSize();
    setFixedSize(size());

    dialogcontrols::unloadOnEscape(this);
    m_guard = new IntegerFieldGuard(this);
    m_guard->addField(m_txtPeriodLength, QStringLiteral("period length"));
    m_guard->addField(m_txtPopupTime, QStringLiteral("popup time"));
    m_guard->letThrough(m_CancelButton);
}

void dlgDebugSettings::paintColorButton(int index, qint64 color) {
    m_faceColor[static_cast<size_t>(index)] = color;
    QPushButton* button = m_cmdColor.at(static_cast<size_t>(index));
    const QColor face = colorcodec::toColor(color, palette());
    const QColor text = face.lightnessF() < 0.5 ? Qt::white : Qt::black;
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; border: 1px solid "
                                         "palette(mid); border-radius: 3px; }"
                                         "QPushButton:focus { border: 2px solid palette(highlight); }")
                              .arg(face.name(), text.name()));
}

void dlgDebugSettings::getSettings() {
    trapped(QStringLiteral(" - dlgDebugSettings.getSettings: "), QStringLiteral(" Error"), [&] {
        m_txtPeriodLength->setText(QString::number(gSettings->iPeriodLength().value()));
        m_txtPopupTime->setText(QString::number(gSettings->iDisplayLength().value()));
        m_chkBossKey->setChecked(gSettings->bBossKey());
        m_chkOnTop->setChecked(gSettings->onTop());
        (gSettings->bErrorHandling() ? m_optErrTrapYes : m_optErrTrapNo)->setChecked(true);
        for (int i = 0; i < ColorButtonCount; ++i) {
            // An entry that holds no colour (empty, or not a number) has no button.
            const std::optional<qint64> color = colorNumber(gSettings->Color(i));
            m_cmdColor.at(static_cast<size_t>(i))->setHidden(!color);
            if (color) paintColorButton(i, *color);
        }
    });
}

void dlgDebugSettings::applySettings() {
    const bool hideKeyWasOn = gSettings->bBossKey();
    gSettings->setIPeriodLength(numtext::toInteger(m_txtPeriodLength->text()));
    gSettings->setIDisplayLength(numtext::toInteger(m_txtPopupTime->text()));
    gSettings->setBBossKey(m_chkBossKey->isChecked());
    gSettings->setOnTop(m_chkOnTop->isChecked());
    gSettings->setBErrorHandling(m_optErrTrapYes->isChecked());
    // A hidden button stands for an entry without a colour, which stays as it is.
    for (int i = 0; i < ColorButtonCount; ++i)
        if (!m_cmdColor.at(static_cast<size_t>(i))->isHidden())
            gSettings->setColor(i, QString::number(m_faceColor.at(static_cast<size_t>(i))));
    takeEffectAtOnce(hideKeyWasOn);
}

void dlgDebugSettings::saveSettings() {
    applySettings();
    bool written = true;
    auto put = [&](const char* key, const QString& value) {
        written = gSettings->putMySetting(QString::fromLatin1(key), value, General) && written;
    };
    put("PeriodLength", m_txtPeriodLength->text());
    put("DisplayLength", m_txtPopupTime->text());
    put("ErrorHandling", m_optErrTrapYes->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
    put("BossKey", checkText(m_chkBossKey));
    put("onTop", checkText(m_chkOnTop));
    gSettings->saveColors();
    if (!written && !gSettings->settingsRemoved())
        tellSettingsNotWritten(QStringLiteral("The settings could not be written to the settings file "
                                              "%1.\r\nThey apply until Quorvane ends."));
}

void dlgDebugSettings::btnApply_Click() {
    if (!m_guard->checkAll()) return;
    applySettings();
    unloadForm();
}

void dlgDebugSettings::btnSave_Click() {
    if (!m_guard->checkAll()) return;
    saveSettings();
    unloadForm();
}

void dlgDebugSettings::CancelButton_Click() {
    unloadForm();
}

void dlgDebugSettings::btnRemoveSettings_Click() {
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    const Prompter::Answer answer = prompter().messageBoxWithDefault(
        QStringLiteral("Are you sure you want to remove the registry settings for Quorvane?\r\n"
                       "This will take effect immediately!"),
        Prompter::Buttons::YesNo, Prompter::Icon::Information, QStringLiteral("Confirm"), Prompter::No);
    if (answer == Prompter::Yes) gSettings->removeMySettings();
}

void dlgDebugSettings::cmdColor_Click(int index) {
    if (index < 0 || index >= ColorButtonCount) return;
    const std::optional<qint64> chosen = prompter().chooseColor(m_faceColor.at(static_cast<size_t>(index)));
    if (chosen) paintColorButton(index, *chosen);
}
