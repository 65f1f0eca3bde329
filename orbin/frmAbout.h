#pragma once

#include "LeastForm.h"

// About Quorvane (the least: its real form replaces this).
class frmAbout : public LeastForm {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("frmAbout"), QStringLiteral("About Quorvane"), parent) {}
};
