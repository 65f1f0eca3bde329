#pragma once

#include "LeastForm.h"

#include <QLabel>

// New meeting (the least: its real form replaces this).
class dlgNewMeetingDetails : public LeastForm {
    Q_OBJECT
public:
    explicit dlgNewMeetingDetails(QWidget* parent = nullptr)
        : LeastForm(QStringLiteral("dlgNewMeetingDetails"), QStringLiteral("New meeting"), parent),
          m_lblProject(new QLabel(this)) {
        m_lblProject->setObjectName(QStringLiteral("lblProject"));
        m_lblProject->hide();
    }
    // The hidden project preset: empty, or the id of the project the new item belongs to.
    QLabel* lblProject() const { return m_lblProject; }

private:
    QLabel* m_lblProject;
};
