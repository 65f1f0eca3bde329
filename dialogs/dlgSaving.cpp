#include "dialogs/dlgSaving.h"

#include "platform/gui/WindowProcs.h"

#include <QLabel>
#include <QVBoxLayout>

dlgSaving::dlgSaving(QWidget* parent) : FormWidget(QStringLiteral("dlgSaving"), parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("Quorvane"));
    auto* label = new QLabel(QStringLiteral("Saving data to disk..."), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setFont(QFont(QStringLiteral("Verdana")));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    windowprocs::setTopMost(this, true);
}
