#include "dlgFormList.h"

#include "ErrorReport.h"
#include "Globals.h"
#include "LeastForm.h"
#include "OrbinWindow.h"
#include "Prompter.h"
#include "Twips.h"
#include "WindowProcs.h"

#include <QPushButton>

namespace {

QRect twipRect(double left, double top, double width, double height) {
    return {twips::toPixels(left), twips::toPixels(top), twips::toPixels(width), twips::toPixels(height)};
}

} // namespace

dlgFormList::dlgFormList(QWidget* parent) : FormWidget(QStringLiteral("dlgFormList"), parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("debug Formlist"));
    setFixedSize(twips::toPixels(3255), twips::toPixels(6585));
    m_Command1 = new QPushButton(QStringLiteral("Refresh"), this);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    m_Command1->setGeometry(twipRect(2175, 75, 780, 540));
    connect(m_Command1, &QPushButton::clicked, this, &dlgFormList::Command1_Click);

    QPushButton* first = addButton();
    first->setText(QStringLiteral("Command1"));
    first->setGeometry(twipRect(135, 105, 1965, 270));

    // Opened from the orbin, it must not hide behind it.
    windowprocs::setTopMost(this, true);
    refreshButtons();
}

dlgFormList* dlgFormList::instance() {
    static QPointer<dlgFormList> form;
    return sharedForm(form);
}

QPushButton* dlgFormList::addButton() {
    auto* button = new QPushButton(this);
    button->setObjectName(QStringLiteral("btnForm"));
    const int index = static_cast<int>(m_btnForm.size());
    button->setProperty("Index", index);
    connect(button, &QPushButton::clicked, this, [this, index] { btnForm_Click(index); });
    m_btnForm.append(button);
    return button;
}

void dlgFormList::refreshButtons() {
    // Each step is tried; the list is never left half built, and the last failure is told at the end.
    QString lastFailure;
    auto step = [&](auto&& body) {
        try {
            body();
        } catch (const std::exception& e) {
            lastFailure = asFailure(&e).description();
        }
    };
    int i = 0;
    for (FormPort* form : forms::loaded()) {
        step([&] {
            if (i > m_btnForm.size() - 1) {
                QPushButton* above = m_btnForm.at(i - 1);
                QPushButton* button = addButton();
                button->setGeometry(above->x(), above->y() + above->height(), above->width(),
                                    above->height());
                button->setVisible(true);
            }
        });
        step([&] {
            if (i < m_btnForm.size()) m_btnForm.at(i)->setText(form->formName());
        });
        ++i;
    }
    step([&] {
        if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    });
    if (!lastFailure.isEmpty())
        prompter().messageBox(QStringLiteral("Error: ") + lastFailure, Prompter::Buttons::OK,
                              Prompter::Icon::None, QStringLiteral("Quorvane"));
}

void dlgFormList::Command1_Click() {
    while (m_btnForm.size() > 1)
        delete m_btnForm.takeLast();
    // Opened from the orbin, it must not hide behind it.
    windowprocs::setTopMost(this, true);
    refreshButtons();
}

void dlgFormList::btnForm_Click(int index) {
    if (index < 0 || index >= m_btnForm.size()) return;
    const QString name = m_btnForm.at(index)->text();
    for (FormPort* form : forms::loaded()) {
        try {
            if (form->formName() == name) form->showForm();
        } catch (const std::exception&) {
        }
    }
}
