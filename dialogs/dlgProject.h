#pragma once

#include "LeastForm.h"

// Projects (the least: its real form replaces this).
class dlgProject : public LeastForm {
    Q_OBJECT
public:
    explicit dlgProject(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgProject"), QStringLiteral("Projects"), parent) {}
    // The one shared instance.
    static dlgProject* instance();
};
