#pragma once

#include "platform/gui/FormWidget.h"

#include <QDate>
#include <QList>

class QPushButton;
class QFrame;

// The day chooser: a narrow column beside the orbin with a week of day buttons between Back and Forward.
// A day button makes the orbin show that day; the chooser stays open until its close picture hides it.
// There is one of it, loaded on first use and then only hidden and shown again.
class dlgDays : public FormWidget {
    Q_OBJECT
public:
    // Design size, in twips.
    static constexpr double DesignWidth = 1290;
    static constexpr double DesignHeight = 3255;
    // How far below the orbin's top the chooser sits.
    static constexpr double BelowOrbinTop = 315;

    explicit dlgDays(QWidget* parent = nullptr);
    // The one shared instance, loaded when needed.
    static dlgDays* instance();
    // Loads the chooser when needed and shows the week that starts with start on its day buttons.
    static void fillWeekDays(const QDate& start);

    // Places the chooser at the orbin's right edge and shows the current week, "Today" first. The orbin
    // calls it each time before it shows the chooser.
    void Form_Load();
    // The first day of the week shown.
    QDate firstDay() const { return m_firstDay; }

    void butCalPreviousWeek_Click();
    void butCalNextWeek_Click();
    void butCalDay_Click(int index);
    void imgCloseSearch_Click();

    QPushButton* butCalDay(int index) const { return m_butCalDay.at(index); }

private:
    void showWeek(const QDate& start);

    QDate m_firstDay;
    QPushButton* m_butCalPreviousWeek = nullptr;
    QPushButton* m_butCalNextWeek = nullptr;
    QList<QPushButton*> m_butCalDay;
    QFrame* m_fraCloseSearch = nullptr;
};
