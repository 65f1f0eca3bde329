#include "dialogs/dlgFormList.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "dialogs/DialogControls.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// A form name too long for its button is written in smaller letters rather than cut off at both ends.
void fitCaption(QPushButton* button) {
    QFont font = button->parentWidget()->font();
    QStyleOptionButton option;
    option.initFrom(button);
    const int room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() - 2;
    for (int size = QFontInfo(font).pixelSize();
         size > 7 && QFontMetrics(font).horizontalAdvance(button->text()) > room; --size)
        font.setPixelSize(size - 1);
    button->setFont(font);
}

} // namespace

dlgFormList::dlgFormList(QWidget* parent) : FormWidget(QStringLiteral("dlgFormList"), parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("debug Formlist"));
    setFixedSize(twips::toPixels(3255), twips::toPixels(6585));
    m_Command1 = dialogcontrols::button(this, "Command1", QStringLiteral("Refresh"), 2175, 75, 780, 540);
    connect(m_Command1, &QPushButton::clicked, this, &dlgFormList::Command1_Click);
    addButton(dialogcontrols::button(this, "btnForm", QStringLiteral("Command1"), 135, 105, 1965, 270));

    // Opened from the orbin, it must not hide behind it.
    windowprocs::setTopMost(this, true);
    refreshButtons();
}

dlgFormList* dlgFormList::instance() {
    static QPointer<dlgFormList> form;
    return sharedForm(form);
}

void dlgFormList::addButton(QPushButton* button) {
    const int index = static_cast<int>(m_btnForm.size());
    button->setProperty("Index", index);
    connect(button, &QPushButton::clicked, this, [this, index] { btnForm_Click(index); });
    m_btnForm.append(button);
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
                // A copy of the first, directly under the one before it.
                const QPushButton* above = m_btnForm.at(i - 1);
                auto* button = new QPushButton(this);
                button->setObjectName(QStringLiteral("btnForm"));
                button->setAutoDefault(false);
                button->setGeometry(above->x(), above->y() + above->height(), above->width(),
                                    above->height());
                button->setVisible(true);
                addButton(button);
            }
        });
        step([&] {
            if (i < m_btnForm.size()) {
                m_btnForm.at(i)->setText(form->formName());
                fitCaption(m_btnForm.at(i));
            }
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
