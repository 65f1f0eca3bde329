#include "orbin/HiddenKeys.h"

#include "core/Tray.h"
#include "dialogs/dlgDebugSettings.h"
#include "dialogs/dlgFormList.h"
#include "platform/gui/FormWidget.h"

#include <QApplication>
#include <QKeyEvent>

HiddenKeys::HiddenKeys(FormWidget* form) : QObject(form), m_form(form) {
    // The window sees its keys before its controls do.
    qApp->installEventFilter(this);
}

int HiddenKeys::characterCode(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers m = modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (key == Qt::Key_Escape && m == Qt::NoModifier) return 27;
    if (m == Qt::ControlModifier) {
        if (key == Qt::Key_L) return 12;
        if (key == Qt::Key_S) return 19;
    }
    return 0;
}

bool HiddenKeys::keyPress(int code) {
    switch (code) {
    case 12:
        dlgFormList::instance()->show();
        return true;
    case 19:
        dlgDebugSettings::instance()->show();
        return true;
    case 27:
        if (m_inTray) {
            minimizeToTray(true);
            m_inTray = false;
        } else {
            minimizeToTray(false, m_form);
            m_inTray = true;
        }
        return true;
    default:
        return false;
    }
}

bool HiddenKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != m_form) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int code = characterCode(key->key(), key->modifiers());
    if (code == 0) return false;
    // Taken here, so that it does not reach the window a second time on its way up.
    keyPress(code);
    return true;
}
