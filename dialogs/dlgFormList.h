#pragma once

#include "LeastForm.h"

// Open forms list (the least: its real form replaces this).
class dlgFormList : public LeastForm {
    Q_OBJECT
public:
    explicit dlgFormList(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgFormList"), QStringLiteral("debug Formlist"), parent) {}
    // The one shared instance.
    static dlgFormList* instance();
};
