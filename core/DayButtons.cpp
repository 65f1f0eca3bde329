#include "core/DayButtons.h"

#include "core/DateTexts.h"

namespace {

std::array<QDate, 7> g_calendarDays;

} // namespace

std::array<DayButtonLook, 7> fillWeekDays(const QDate& start) {
    for (int i = 0; i < 7; ++i)
        g_calendarDays[i] = start.addDays(i);
    std::array<DayButtonLook, 7> looks;
    for (int i = 0; i < 7; ++i) {
        DayButtonLook& look = looks[i];
        const QString label = dayText(g_calendarDays[i]);
        const bool weekend = label == QStringLiteral("Sunday") || label == QStringLiteral("Saturday") ||
                             label.startsWith(QStringLiteral("Sun")) ||
                             label.startsWith(QStringLiteral("Sat"));
        look.backColor = weekend ? WeekendBackColor : TitleBarTextColor;
        look.bold = label == QStringLiteral("Today");
        if (look.bold) look.backColor = TodayBackColor;
        look.caption = label;
    }
    return looks;
}

const std::array<QDate, 7>& calendarDays() {
    return g_calendarDays;
}
