#include "orbin/frmLogin.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/PasswordScramble.h"
#include "core/Settings.h"
#include "dialogs/DialogControls.h"
#include "platform/gui/WindowProcs.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmLogin::frmLogin(QWidget* parent) : FormWidget(QStringLiteral("frmLogin"), parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Password for Quorvane"));
    auto* label = new QLabel(QStringLiteral("Please enter your password"), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_txtPassword1 = dialogcontrols::passwordBox(this, "txtPassword1");
    const dialogcontrols::OkCancel buttons = dialogcontrols::okCancel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_txtPassword1);
    layout->addLayout(buttons.row);
    connect(buttons.ok, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(buttons.cancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    // Wide enough for the title bar to show the whole caption.
    setMinimumWidth(windowprocs::titleWidth(this, windowTitle()));
    adjustSize();

    ignoringFailures([&] {
        gSettings->positionForm(this, true, false);
        windowprocs::setTopMost(this, true);
    });
}

void frmLogin::showEvent(QShowEvent* event) {
    FormWidget::showEvent(event);
    m_txtPassword1->setFocus();
    m_txtPassword1->selectAll();
}

void frmLogin::cmdOK_Click() {
    ignoringFailures([&] {
        const QString stored = unscramblePassword(
            gSettings->getMySetting(QStringLiteral("password"), QStringLiteral("General"), QString())
                .toString());
        if (stored == m_txtPassword1->text()) gSettings->setStopApplication(false);
    });
    unloadForm();
}

void frmLogin::cmdCancel_Click() {
    gSettings->setStopApplication(true);
    unloadForm();
}

void frmLogin::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        unloadForm();
        return;
    }
    // OK is the default button.
    if (pressOnEnter(event, [this] { cmdOK_Click(); })) return;
    FormWidget::keyPressEvent(event);
}
