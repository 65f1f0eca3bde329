#include "dialogs/ControlTable.h"

#include "dialogs/DialogControls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace controltable {

QLineEdit* numberBox(QWidget* parent, const char* name, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(QFont(QStringLiteral("Verdana")));
    box->setFixedWidth(width);
    return box;
}

QWidget* makeControl(QWidget* form, QWidget* frame, Kind kind, const char* name, const char* caption,
                     const char* tip, int numberWidth) {
    const QString text = QString::fromLatin1(caption);
    QWidget* w = nullptr;
    switch (kind) {
    case Kind::Label:
    case Kind::Caption:
        w = new QLabel(text, form);
        break;
    case Kind::Number: {
        QLineEdit* box = numberBox(form, name, numberWidth);
        box->setAlignment(Qt::AlignRight);
        w = box;
        break;
    }
    case Kind::Check:
        w = new QCheckBox(text, form);
        break;
    case Kind::Radio:
        w = new QRadioButton(text, frame);
        break;
    case Kind::Button:
        w = new QPushButton(text, form);
        break;
    case Kind::Frame:
        w = new QGroupBox(text, form);
        break;
    }
    if (name) dialogcontrols::named(w, name, tip);
    return w;
}

} // namespace controltable
