#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

// The whole-number fields of a settings form, and other fields with a check of their own. A field is
// checked when the focus leaves it for another control of the form: a text that is not a whole number
// above zero that fits the program's Integer (or fails the field's own check) is refused with the "Input
// error" box, the focus stays in the field, and the click or shortcut that would have moved it away does
// nothing. Controls let through (a Cancel button) take the focus unchecked.
class IntegerFieldGuard : public QObject {
    Q_OBJECT
public:
    explicit IntegerFieldGuard(QWidget* form);

    // fieldName completes "Hey! That's not a proper integer value for the ...!".
    void addField(QLineEdit* field, const QString& fieldName);
    // A field whose text passes isProper, refused with message.
    void addField(QLineEdit* field, std::function<bool(const QString&)> isProper, const QString& message);
    void letThrough(QWidget* control);

    // Checks every field in the order added; the first bad one gets its box and the focus, and False
    // is returned.
    bool checkAll();
    // Refuses a field for a reason found beyond its own text: the box with message, and the focus.
    void refuse(QLineEdit* field, const QString& message);

    // No "." or ",", a whole number from 1 to 32767 (blanks around it and leading zeros allowed).
    static bool isProperInteger(const QString& text);
    static QString inputErrorText(const QString& fieldName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QLineEdit* box;
        std::function<bool(const QString&)> isProper;
        QString message;
    };
    // The field guarded in box, or nullptr.
    const Field* fieldOf(const QObject* box) const;
    // The field the focus is in, when it is one of ours and its text is bad.
    const Field* badFocusedField() const;
    bool inForm(const QObject* object) const;

    QWidget* m_form;
    QList<Field> m_fields;
    QSet<const QWidget*> m_letThrough;
    bool m_refusing = false;
    bool m_dropNextPress = false;
};
