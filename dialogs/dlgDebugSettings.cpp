#include "dlgDebugSettings.h"

#include "ColorCodec.h"
#include "DialogControls.h"
#include "ErrorReport.h"
#include "Globals.h"
#include "IntegerFieldGuard.h"
#include "LeastForm.h"
#include "NumberText.h"
#include "OrbinWindow.h"
#include "Prompter.h"
#include "RunningSettings.h"
#include "Settings.h"
#include "SettingsNotWritten.h"
#include "WindowProcs.h"

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
    using dialogcontrols::named;
    auto numberBox = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setFont(QFont(QStringLiteral("Verdana")));
        box->setFixedWidth(70);
        box->setAlignment(Qt::AlignRight);
        return box;
    };

    m_txtPeriodLength = numberBox("txtPeriodLength");
    m_txtPeriodLength->setToolTip(QStringLiteral("The time for each period, in minutes"));
    m_txtPopupTime = numberBox("txtPopupTime");
    m_txtPopupTime->setToolTip(
        QStringLiteral("The time for displaying different popup dialouges, in seconds"));
    auto* lblPeriodLength = new QLabel(QStringLiteral("Period length"), this);
    lblPeriodLength->setBuddy(m_txtPeriodLength);
    auto* lblPopupTime = new QLabel(QStringLiteral("Popup display time"), this);
    lblPopupTime->setBuddy(m_txtPopupTime);

    m_chkBossKey = new QCheckBox(QStringLiteral("Global hide key"), this);
    named(m_chkBossKey, "chkBossKey",
          "Check if you want Shift+Esc to allways hide the application to the systray");
    m_chkOnTop = new QCheckBox(QStringLiteral("Keep on top"), this);
    named(m_chkOnTop, "chkOnTop");

    m_fraErrorTrapping = new QGroupBox(QStringLiteral("Error trapping"), this);
    named(m_fraErrorTrapping, "fraErrorTrapping", "Swich on or off error handling (ADVANCED!)");
    m_optErrTrapYes = new QRadioButton(QStringLiteral("Yes"), m_fraErrorTrapping);
    named(m_optErrTrapYes, "optErrTrapYes", "Swich on error handling");
    m_optErrTrapNo = new QRadioButton(QStringLiteral("No"), m_fraErrorTrapping);
    named(m_optErrTrapNo, "optErrTrapNo", "Swich off error handling");
    auto* trapping = new QHBoxLayout(m_fraErrorTrapping);
    trapping->addWidget(m_optErrTrapYes);
    trapping->addWidget(m_optErrTrapNo);
    trapping->addStretch();

    m_fraColor = new QGroupBox(QStringLiteral("Colors"), this);
    named(m_fraColor, "fraColor");
    auto* colors = new QGridLayout(m_fraColor);
    colors->setSpacing(6);
    for (int i = 0; i < ColorButtonCount; ++i) {
        auto* button = new QPushButton(QString::number(i), m_fraColor);
        button->setObjectName(QStringLiteral("cmdColor"));
        button->setProperty("Index", i);
        button->setFixedSize(34, 26);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdColor_Click(i); });
        colors->addWidget(button, i / 6, i % 6);
        m_cmdColor[static_cast<size_t>(i)] = button;
    }
    colors->setColumnStretch(6, 1);

    auto* lblRemove = new QLabel(QStringLiteral("Remove all registry settings"), this);
    m_btnRemoveSettings = new QPushButton(QStringLiteral("&Remove"), this);
    named(m_btnRemoveSettings, "btnRemoveSettings", "Remove all registry settings for the application");
    m_btnSave = new QPushButton(QStringLiteral("&Save"), this);
    named(m_btnSave, "btnSave", "Save settings");
    m_btnApply = new QPushButton(QStringLiteral("&Use"), this);
    named(m_btnApply, "btnApply", "Apply the settings");
    m_CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    named(m_CancelButton, "CancelButton", "Exit without save or use the new settings");
    connect(m_btnRemoveSettings, &QPushButton::clicked, this, &dlgDebugSettings::btnRemoveSettings_Click);
    connect(m_btnSave, &QPushButton::clicked, this, &dlgDebugSettings::btnSave_Click);
    connect(m_btnApply, &QPushButton::clicked, this, &dlgDebugSettings::btnApply_Click);
    connect(m_CancelButton, &QPushButton::clicked, this, &dlgDebugSettings::CancelButton_Click);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->addWidget(lblPeriodLength, 0, 0);
    fields->addWidget(m_txtPeriodLength, 0, 1);
    fields->addWidget(lblPopupTime, 1, 0);
    fields->addWidget(m_txtPopupTime, 1, 1);
    fields->setColumnStretch(2, 1);

    auto* remove = new QHBoxLayout;
    remove->addWidget(lblRemove);
    remove->addStretch();
    remove->addWidget(m_btnRemoveSettings);

    QHBoxLayout* buttons = dialogcontrols::buttonRow({m_btnSave, m_btnApply, m_CancelButton});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addLayout(fields);
    layout->addWidget(m_chkBossKey);
    layout->addWidget(m_chkOnTop);
    layout->addWidget(m_fraErrorTrapping);
    layout->addWidget(m_fraColor);
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
