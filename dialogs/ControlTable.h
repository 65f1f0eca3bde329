#pragma once

#include <QAbstractButton>
#include <QByteArray>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QList>
#include <cstddef>

class QLineEdit;
class QWidget;

// The controls of a settings form as a table, one entry a control: what it is, the name the form knows it
// by, its caption and tip, the layout and cell it goes in and the handler of its click. make() builds them
// in table order, which is also the order of the tab key where the form sets none.
namespace controltable {

enum class Kind {
    Label,   // a text, as the unit after a box
    Caption, // a caption whose mnemonic and clicks go to the control of the next entry
    Number,  // a box for a whole number: right-aligned, in the number font and the form's number width
    Check,
    Radio, // inside the frame of the nearest entry above it
    Button,
    Frame, // a captioned frame for the radio buttons below it
};

// The layout given as none: the form lays the control out itself.
inline constexpr int Unplaced = -1;

template <class Form> struct Entry {
    Kind kind;
    const char* name;    // nullptr for a label no code reads
    const char* caption; // nullptr for a box
    const char* tip;
    int layout; // index in the form's layouts, or Unplaced
    // The cell in a grid layout; in a row or a column the control goes after the ones before it.
    int row = 0, column = 0, columnSpan = 1;
    void (Form::*click)() = nullptr;
};

// The controls made from a table, by name.
class Controls {
public:
    void add(const char* name, QWidget* control) { m_byName.insert(QByteArray(name), control); }
    template <class T> T* get(const char* name) const {
        return qobject_cast<T*>(m_byName.value(QByteArray(name)));
    }

private:
    QHash<QByteArray, QWidget*> m_byName;
};

// A box for a number or a time of a settings form: in the number font, as wide as given (pixels).
QLineEdit* numberBox(QWidget* parent, const char* name, int width);
// One control of an entry; frame is the parent of a radio button.
QWidget* makeControl(QWidget* form, QWidget* frame, Kind kind, const char* name, const char* caption,
                     const char* tip, int numberWidth);

// Makes the controls of the table in its order, in form (a radio button in the frame above it), each with
// its handler and in its place; a caption's mnemonic goes to the control after it.
template <class Form, std::size_t N>
Controls make(Form* form, const Entry<Form> (&table)[N], const QList<QLayout*>& layouts, int numberWidth) {
    Controls made;
    QWidget* frame = nullptr;
    QLabel* caption = nullptr;
    for (const Entry<Form>& e : table) {
        QWidget* w = makeControl(form, frame, e.kind, e.name, e.caption, e.tip, numberWidth);
        if (e.kind == Kind::Frame) frame = w;
        if (caption) caption->setBuddy(w);
        caption = e.kind == Kind::Caption ? static_cast<QLabel*>(w) : nullptr;
        if (e.name) made.add(e.name, w);
        if (e.click)
            QObject::connect(static_cast<QAbstractButton*>(w), &QAbstractButton::clicked, form, e.click);
        if (e.layout == Unplaced) continue;
        QLayout* layout = layouts.at(e.layout);
        if (auto* grid = qobject_cast<QGridLayout*>(layout))
            grid->addWidget(w, e.row, e.column, 1, e.columnSpan);
        else
            layout->addWidget(w);
    }
    return made;
}

} // namespace controltable
