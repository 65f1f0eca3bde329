#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>

class QLineEdit;
class QWidget;

// The whole-number fields of a settings form. A field is checked when the focus leaves it for another
// control of the form: a text that is not a whole number above zero that fits the program's Integer is
// refused with the "Input error" box, the focus stays in the field, and the click or shortcut that
// would have moved it away does nothing. Controls let through (a Cancel button) take the focus unchecked.
class IntegerFieldGuard : public QObject {
    Q_OBJECT
public:
    explicit IntegerFieldGuard(QWidget* form);

    // fieldName completes "Hey! That's not a proper integer value for the ...!".
    void addField(QLineEdit* field, const QString& fieldName);
    void letThrough(QWidget* control);

    // Checks every field in the order added; the first bad one gets its box and the focus, and False
    // is returned.
    bool checkAll();

    // No "." or ",", a whole number from 1 to 32767 (blanks around it and leading zeros allowed).
    static bool isProperInteger(const QString& text);
    static QString inputErrorText(const QString& fieldName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuse(QLineEdit* field);
    // The field the focus is in, when it is one of ours and its text is bad.
    QLineEdit* badFocusedField() const;
    QString nameOf(const QLineEdit* field) const;
    bool inForm(const QObject* object) const;

    QWidget* m_form;
    QList<QPair<QLineEdit*, QString>> m_fields;
    QSet<const QWidget*> m_letThrough;
    bool m_refusing = false;
    bool m_dropNextPress = false;
};
