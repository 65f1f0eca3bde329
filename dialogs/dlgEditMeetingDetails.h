#pragma once

#include "LeastForm.h"

// Edit meeting (the least: its real form replaces this).
class dlgEditMeetingDetails : public LeastForm {
    Q_OBJECT
public:
    explicit dlgEditMeetingDetails(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgEditMeetingDetails"), QStringLiteral("Edit meeting"), parent) {}
    // The one shared instance.
    static dlgEditMeetingDetails* instance();
    // Fills the dialog from the meeting whose id is in the Tag property.
    void Populate() {}
};
