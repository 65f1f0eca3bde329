#include "LeastForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

LeastForm::LeastForm(const QString& name, const QString& title, QWidget* parent)
    : FormWidget(name, parent, Qt::Dialog) {
    setWindowTitle(title);
    auto* text = new QLabel(title + QStringLiteral(" is not available yet."), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, [this] { unloadForm(); });
}

void LeastForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        unloadForm();
        return;
    }
    FormWidget::keyPressEvent(event);
}
