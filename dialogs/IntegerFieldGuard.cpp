#include "IntegerFieldGuard.h"

#include "Globals.h"
#include "NumberText.h"
#include "OrbinWindow.h"
#include "Prompter.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

IntegerFieldGuard::IntegerFieldGuard(QWidget* form) : QObject(form), m_form(form) {
    // Presses and shortcuts of every control of the form pass here before the control sees them.
    qApp->installEventFilter(this);
}

void IntegerFieldGuard::addField(QLineEdit* field, const QString& fieldName) {
    m_fields.append({field, fieldName});
}

void IntegerFieldGuard::letThrough(QWidget* control) {
    m_letThrough.insert(control);
}

bool IntegerFieldGuard::isProperInteger(const QString& text) {
    if (text.contains(u'.') || text.contains(u',')) return false;
    const std::optional<double> number = numtext::parseNumber(text);
    if (!number) return false;
    const double whole = numtext::roundHalfEven(*number);
    if (whole < Integer::Min || whole > Integer::Max) return false;
    return whole == *number && whole > 0;
}

QString IntegerFieldGuard::inputErrorText(const QString& fieldName) {
    return QStringLiteral("Hey! That's not a proper integer value for the %1!\r\n"
                          "(Must be an integer value greater than zero.)")
        .arg(fieldName);
}

bool IntegerFieldGuard::checkAll() {
    for (const auto& [field, name] : m_fields) {
        if (!isProperInteger(field->text())) {
            refuse(field);
            return false;
        }
    }
    return true;
}

QString IntegerFieldGuard::nameOf(const QLineEdit* field) const {
    for (const auto& [f, name] : m_fields)
        if (f == field) return name;
    return {};
}

bool IntegerFieldGuard::inForm(const QObject* object) const {
    const auto* w = qobject_cast<const QWidget*>(object);
    return w && w->window() == m_form;
}

QLineEdit* IntegerFieldGuard::badFocusedField() const {
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!field || nameOf(field).isEmpty() || isProperInteger(field->text())) return nullptr;
    return field;
}

void IntegerFieldGuard::refuse(QLineEdit* field) {
    m_refusing = true;
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    prompter().messageBox(inputErrorText(nameOf(field)), Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                          QStringLiteral("Input error"));
    field->setFocus(Qt::OtherFocusReason);
    m_refusing = false;
}

bool IntegerFieldGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut: {
        if (m_refusing) break;
        auto* field = qobject_cast<QLineEdit*>(watched);
        if (!field || nameOf(field).isEmpty() || isProperInteger(field->text())) break;
        // Only a move to another control of this form is checked: not a switch to another window, a
        // menu, or the box of a refusal.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
        QWidget* next = QApplication::focusWidget();
        if (!next || next == field || !inForm(next) || m_letThrough.contains(next)) break;
        refuse(field);
        if (reason == Qt::MouseFocusReason) {
            // The press that moved the focus arrives next: it must not click.
            m_dropNextPress = true;
            QTimer::singleShot(0, this, [this] { m_dropNextPress = false; });
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (m_dropNextPress && inForm(watched)) {
            m_dropNextPress = false;
            return true;
        }
        break;
    case QEvent::Shortcut: {
        // A shortcut clicks its button without waiting for the focus to move: check first.
        auto* control = qobject_cast<QWidget*>(watched);
        if (!control || !inForm(control) || m_letThrough.contains(control)) break;
        if (QLineEdit* field = badFocusedField(); field && field != control) {
            refuse(field);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}
