#pragma once

#include "LeastForm.h"

// New task (the least: its real form replaces this).
class dlgNewTaskDetails : public LeastForm {
    Q_OBJECT
public:
    explicit dlgNewTaskDetails(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgNewTaskDetails"), QStringLiteral("New task"), parent) {}
};
