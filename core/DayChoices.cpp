#include "core/DayChoices.h"

#include "core/DateTexts.h"
#include "platform/Clock.h"

QDate gChosenDate;

namespace {

std::array<DayChoice, 8> g_dayChoices;
int g_choicePosition = 1;
QString g_lastWeekdayLabel;

} // namespace

void fillDayChoices(const QDate& start, QStringList& box) {
    const QDate today = appClock().today();
    g_choicePosition = 1;
    for (int position = 1; position <= 7; ++position) {
        const QString label = weekdayLabel(weekdayOf(start.addDays(position)));
        box.append(label);
        g_dayChoices[position] = {label, today.addDays(position).toString(Qt::ISODate)};
        ++g_choicePosition;
    }
}

QString weekdayLabel(int n) {
    if (n >= 1 && n <= 7) g_lastWeekdayLabel = weekdayName(n);
    QString label = g_lastWeekdayLabel;
    if (g_choicePosition == 1) label = QStringLiteral("Tomorrow");
    if (g_choicePosition == 7) label = QStringLiteral("Next ") + label;
    return label;
}

const std::array<DayChoice, 8>& dayChoices() {
    return g_dayChoices;
}

void applyDayChoice(const QString& text) {
    for (int position = 1; position <= 7; ++position) {
        const DayChoice& choice = g_dayChoices[position];
        if (choice.label.isEmpty() || choice.label != text) continue;
        gChosenDate = QDate::fromString(choice.dateText, Qt::ISODate);
    }
}
