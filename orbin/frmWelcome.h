#pragma once

#include "LeastForm.h"

// Welcome (the least: its real form replaces this).
class frmWelcome : public LeastForm {
    Q_OBJECT
public:
    explicit frmWelcome(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("frmWelcome"), QStringLiteral("Welcome"), parent) {}
};
