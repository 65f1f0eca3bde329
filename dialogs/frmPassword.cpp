#include "dialogs/frmPassword.h"

#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "core/PasswordScramble.h"
#include "core/Settings.h"
#include "dialogs/DialogControls.h"
#include "dialogs/SettingsNotWritten.h"
#include "platform/Prompter.h"
#include "platform/gui/WindowProcs.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {
const QString General = QStringLiteral("General");
const QString Password = QStringLiteral("password");
} // namespace

frmPassword::frmPassword(QWidget* owner) : FormWidget(QStringLiteral("frmPassword"), owner, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Quorvane password"));
    auto* label1 = new QLabel(QStringLiteral("Please enter your password"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_txtPassword1 = dialogcontrols::passwordBox(this, "txtPassword1");
    auto* label2 = new QLabel(QStringLiteral("Please re-enter your password"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_txtPassword2 = dialogcontrols::passwordBox(this, "txtPassword2");
    for (QLineEdit* box : {m_txtPassword1, m_txtPassword2}) {
        box->setMinimumWidth(220);
        box->installEventFilter(this);
    }
    label1->setBuddy(m_txtPassword1);
    label2->setBuddy(m_txtPassword2);
    const dialogcontrols::OkCancel buttons = dialogcontrols::okCancel(this);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setVerticalSpacing(4);
    layout->addWidget(label1, 0, 0);
    layout->addWidget(m_txtPassword1, 1, 0);
    layout->addItem(new QSpacerItem(0, 8), 2, 0);
    layout->addWidget(label2, 3, 0);
    layout->addWidget(m_txtPassword2, 4, 0);
    layout->addItem(new QSpacerItem(0, 12), 5, 0);
    layout->addLayout(buttons.row, 6, 0);
    connect(buttons.ok, &QPushButton::clicked, this, &frmPassword::cmdOK_Click);
    connect(buttons.cancel, &QPushButton::clicked, this, &frmPassword::cmdCancel_Click);
    adjustSize();
    setFixedSize(size());
    dialogcontrols::unloadOnEscape(this);

    Form_Load();
}

void frmPassword::Form_Load() {
    // Every step of the load is tried; one that fails is skipped.
    try {
        gSettings->positionForm(this, true, false);
    } catch (const std::exception&) {
    }
    try {
        windowprocs::setTopMost(this, true);
    } catch (const std::exception&) {
    }
    try {
        const QString stored =
            unscramblePassword(gSettings->getMySetting(Password, General, QString()).toString());
        m_txtPassword1->setText(stored);
        m_txtPassword2->setText(stored);
    } catch (const std::exception&) {
    }
}

void frmPassword::showModal(QWidget* owner) {
    QPointer<frmPassword> form = new frmPassword(owner);
    form->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
    form->show();
    loop.exec();
}

void frmPassword::showEvent(QShowEvent* event) {
    FormWidget::showEvent(event);
    m_txtPassword1->setFocus();
    m_txtPassword1->selectAll();
}

bool frmPassword::eventFilter(QObject* watched, QEvent* event) {
    // A box that receives the focus selects all of its text, also after the click that placed the cursor,
    // so that what is typed replaces the password shown.
    if (event->type() == QEvent::FocusIn)
        if (auto* box = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, box, &QLineEdit::selectAll);
    return FormWidget::eventFilter(watched, event);
}

void frmPassword::tell(const QString& text, bool warning) {
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    prompter().messageBox(text, Prompter::Buttons::OK,
                          warning ? Prompter::Icon::Exclamation : Prompter::Icon::None,
                          QStringLiteral("Quorvane"));
}

void frmPassword::cmdOK_Click() {
    const QString text = m_txtPassword1->text();
    if (text != m_txtPassword2->text()) {
        tell(QStringLiteral("Passwords doesn't match!Please retry or cancel."), false);
        return;
    }
    if (!text.isEmpty()) {
        // A password whose stored form would not read back as typed would lock the user out at the
        // next start: it is refused, and nothing is stored.
        const QString bad = firstUnstorablePasswordCharacter(text);
        if (!bad.isEmpty()) {
            tell(QStringLiteral("A password cannot hold the character \"%1\": Quorvane would not "
                                "recognise the password at the next start.\r\nPlease use only the "
                                "letters A to Z and a to z, digits, blanks and punctuation marks.")
                     .arg(bad),
                 true);
            m_txtPassword1->setFocus();
            return;
        }
        if (!gSettings->putMySetting(Password, scramblePassword(text), General) &&
            !gSettings->settingsRemoved())
            tellSettingsNotWritten(QStringLiteral(
                "The password could not be written to the settings file %1, so it has not changed."));
    }
    unloadForm();
}

void frmPassword::cmdCancel_Click() {
    unloadForm();
}

void frmPassword::keyPressEvent(QKeyEvent* event) {
    // OK is the default button.
    if (pressOnEnter(event, [this] { cmdOK_Click(); })) return;
    FormWidget::keyPressEvent(event);
}
