#pragma once

#include "platform/gui/FormWidget.h"

// The saving notice: one line of text, shown while the program writes its files at quit.
class dlgSaving : public FormWidget {
    Q_OBJECT
public:
    explicit dlgSaving(QWidget* parent = nullptr);
};
