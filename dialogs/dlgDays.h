#pragma once

#include "LeastForm.h"

#include <QDate>

// The day chooser (the least: its real form replaces this). It only remembers the first day of its week.
class dlgDays : public LeastForm {
    Q_OBJECT
public:
    explicit dlgDays(QWidget* parent = nullptr);
    // The one shared instance.
    static dlgDays* instance();
    // Loads the chooser when needed and starts its week at start.
    static void fillWeekDays(const QDate& start);

    void Form_Load() {}
    QDate firstDay() const { return m_firstDay; }

private:
    QDate m_firstDay;
};
