#pragma once

#include "LeastForm.h"

// New meeting (the least: its real form replaces this).
class dlgNewMeetingDetails : public LeastForm {
    Q_OBJECT
public:
    explicit dlgNewMeetingDetails(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgNewMeetingDetails"), QStringLiteral("New meeting"), parent) {}
};
