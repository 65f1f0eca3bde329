#include "dialogs/IntegerFieldGuard.h"

#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

IntegerFieldGuard::IntegerFieldGuard(QWidget* form) : QObject(form), m_form(form) {
    // Presses and shortcuts of every control of the form pass here before the control sees them.
    qApp->installEventFilter(this);
}

void IntegerFieldGuard::addField(QLineEdit* field, const QString& fieldName) {
    addField(field, &IntegerFieldGuard::isProperInteger, inputErrorText(fieldName));
}

void IntegerFieldGuard::addField(QLineEdit* field, std::function<bool(const QString&)> isProper,
                                 const QString& message) {
    m_fields.append({field, std::move(isProper), message});
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
    for (const Field& f : m_fields) {
        if (!f.isProper(f.box->text())) {
            refuse(f.box, f.message);
            return false;
        }
    }
    return true;
}

const IntegerFieldGuard::Field* IntegerFieldGuard::fieldOf(const QObject* box) const {
    for (const Field& f : m_fields)
        if (f.box == box) return &f;
    return nullptr;
}

bool IntegerFieldGuard::inForm(const QObject* object) const {
    const auto* w = qobject_cast<const QWidget*>(object);
    return w && w->window() == m_form;
}

const IntegerFieldGuard::Field* IntegerFieldGuard::badFocusedField() const {
    const Field* f = fieldOf(QApplication::focusWidget());
    return f && !f->isProper(f->box->text()) ? f : nullptr;
}

void IntegerFieldGuard::refuse(QLineEdit* field, const QString& message) {
    m_refusing = true;
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    prompter().messageBox(message, Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                          QStringLiteral("Input error"));
    field->setFocus(Qt::OtherFocusReason);
    m_refusing = false;
}

bool IntegerFieldGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut: {
        if (m_refusing) break;
        const Field* f = fieldOf(watched);
        if (!f || f->isProper(f->box->text())) break;
        QLineEdit* field = f->box;
        // Only a move to another control of this form is checked: not a switch to another window, a
        // menu, or the box of a refusal.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
        QWidget* next = QApplication::focusWidget();
        if (!next || next == field || !inForm(next) || m_letThrough.contains(next)) break;
        refuse(field, f->message);
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
        if (const Field* f = badFocusedField(); f && f->box != control) {
            refuse(f->box, f->message);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}
