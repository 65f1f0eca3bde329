#include "frmFloater.h"

#include "ErrorReport.h"
#include "Globals.h"
#include "Initialize.h"
#include "Settings.h"
#include "WindowProcs.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmFloater::frmFloater(QWidget* parent) : FormWidget(QStringLiteral("frmFloater"), parent) {
    setWindowTitle(QStringLiteral("Quorvane"));
    auto* label = new QLabel(QStringLiteral("Quorvane"), this);
    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("mnuExit"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(exit);
    connect(exit, &QPushButton::clicked, this, &frmFloater::mnuExit_Click);
    resize(240, 120);
    ignoringFailures([&] {
        gSettings->positionForm(this, true, false);
        windowprocs::setTopMost(this, gSettings->onTop());
    });
}

void frmFloater::mnuExit_Click() {
    quitApplication(false);
}

void frmFloater::formUnload() {
    // The window's own closing stores its place, then ends the program without a question.
    if (gSettings) gSettings->saveFormPosition(this, true, false);
    quitApplication(true);
}
