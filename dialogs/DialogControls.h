#pragma once

#include <QString>
#include <Qt>

#include <initializer_list>

class FormWidget;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls of the item dialogs, made at their design places in twips inside their parent (a form or a
// frame), named as the form names them.
namespace dialogcontrols {

QLabel* label(QWidget* parent, const char* name, const QString& caption, double left, double top,
              double width, double height);
QLineEdit* textBox(QWidget* parent, const char* name, double left, double top, double width, double height);
QPushButton* button(QWidget* parent, const char* name, const QString& caption, double left, double top,
                    double width, double height);
// A frame: its caption on its upper edge, its controls placed from its top-left corner.
QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, double left, double top,
                 double width, double height);

// The colour number a form's background and frames have at design: the application workspace, which the
// colour table replaces when the form loads.
inline constexpr qint64 DesignBackColor = 0x8000000CLL;
// Gives a frame or a form its design background colour.
void setDesignBackColor(QWidget* w);

// A form as it stands at design: its caption, the forms' small font, its design background (the dialogs'
// unless given) and its inside size (twips).
void designForm(FormWidget* form, const QString& caption, double width, double height,
                qint64 backColor = DesignBackColor);

// The title bar and borders, which the outer height of a form in the design includes (twips).
inline constexpr double CaptionAllowance = 405;
// Gives a form the outer height of the design: its inside is that less the title bar and borders. The
// size is fixed there: the user can neither resize nor maximise the form.
void setOuterHeight(QWidget* form, double outerHeight);

// The window of an item dialog: a title bar with a close button, and no maximise button.
inline constexpr Qt::WindowFlags ItemDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// Gives a control the name the form knows it by and, where there is one, its tip.
void named(QWidget* control, const char* name, const char* tip = nullptr);

// A box for a password: each character typed shows as a star.
QLineEdit* passwordBox(QWidget* parent, const char* name);

// Buttons side by side at the right end of a row of their own, in the order given.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

// OK (the default button) and Cancel of a small dialog, named cmdOK and cmdCancel, in a row of their own.
struct OkCancel {
    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* row;
};
OkCancel okCancel(QWidget* parent);

// The form sees key presses before its controls: Esc anywhere in it unloads it, storing nothing.
void unloadOnEscape(FormWidget* form);

} // namespace dialogcontrols
