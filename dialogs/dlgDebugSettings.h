#pragma once

#include "LeastForm.h"

// Developer settings (the least: its real form replaces this).
class dlgDebugSettings : public LeastForm {
    Q_OBJECT
public:
    explicit dlgDebugSettings(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgDebugSettings"), QStringLiteral("QVN! debug settings"), parent) {}
    // The one shared instance.
    static dlgDebugSettings* instance();
};
