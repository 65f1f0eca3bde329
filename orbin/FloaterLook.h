#pragma once

#include <QtGlobal>

class QWidget;

// The look of the orbin's labels and buttons: a colour number is kept as the control's ForeColor or
// BackColor property, as the program reads it back, and shown through the control's palette.
namespace floaterlook {

// The colour of the control's text.
void setForeColor(QWidget* w, qint64 colour);
// The colour behind the control, which then paints its background.
void setBackColor(QWidget* w, qint64 colour);
void setUnderline(QWidget* w, bool on);

} // namespace floaterlook
