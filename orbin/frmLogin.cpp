#include "frmLogin.h"

#include "ErrorReport.h"
#include "Functions.h"
#include "Globals.h"
#include "Settings.h"
#include "WindowProcs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmLogin::frmLogin(QWidget* parent) : FormWidget(QStringLiteral("frmLogin"), parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Password for Quorvane"));
    auto* label = new QLabel(QStringLiteral("Please enter your password"), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_txtPassword1 = new QLineEdit(this);
    m_txtPassword1->setObjectName(QStringLiteral("txtPassword1"));
    m_txtPassword1->setEchoMode(QLineEdit::Password);
    m_txtPassword1->setStyleSheet(
        QStringLiteral("lineedit-password-character: 42")); // a star for each character
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_txtPassword1);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
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
