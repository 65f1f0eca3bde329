#pragma once

#include "LeastForm.h"

// Settings (the least: its real form replaces this).
class dlgSettings : public LeastForm {
    Q_OBJECT
public:
    explicit dlgSettings(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgSettings"), QStringLiteral("Settings"), parent) {}
    // The one shared instance.
    static dlgSettings* instance();
};
