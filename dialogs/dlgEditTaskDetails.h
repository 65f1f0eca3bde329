#pragma once

#include "LeastForm.h"

// Edit task (the least: its real form replaces this).
class dlgEditTaskDetails : public LeastForm {
    Q_OBJECT
public:
    explicit dlgEditTaskDetails(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgEditTaskDetails"), QStringLiteral("Edit task"), parent) {}
    // The one shared instance.
    static dlgEditTaskDetails* instance();
};
