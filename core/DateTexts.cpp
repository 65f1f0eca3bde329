#include "core/DateTexts.h"

#include "platform/Clock.h"

#include <QLocale>

namespace {

const char* const FullNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const ThreeLetter[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const TwoLetter[] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
const char* const OneLetter[] = {"S", "M", "T", "W", "T", "F", "S"};
const char* const MonthAbbreviations[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString name(const char* const table[], int oneBased) {
    return QString::fromLatin1(table[oneBased - 1]);
}

} // namespace

int weekdayOf(const QDate& d) {
    // QDate counts 1 Monday to 7 Sunday.
    return d.dayOfWeek() % 7 + 1;
}

QString weekdayName(int n) {
    return name(FullNames, n);
}

QString dayText(const QDate& d) {
    const QDate today = appClock().today();
    const int wd = weekdayOf(d);
    QString text = name(FullNames, wd);
    if (d == today.addDays(1)) text = QStringLiteral("Tomorrow");
    if (d == today) text = QStringLiteral("Today");
    if (d > today.addDays(6) || d < today.addDays(-1))
        text = name(ThreeLetter, wd) + QLatin1Char(' ') + QString::number(d.day());
    if (d.month() != today.month())
        text = name(TwoLetter, wd) + QLatin1Char(' ') + QString::number(d.day()) + QLatin1Char(' ') +
               name(MonthAbbreviations, d.month());
    if (d.year() != today.year())
        text = name(OneLetter, wd) + QLatin1Char(' ') + QString::number(d.day()) + QLatin1Char('/') +
               QString::number(d.month()) + QLatin1Char('/') + QString::number(d.year()).right(2);
    return text;
}

QString shortDateText(const QDate& d) {
    return QLocale().toString(d, QLocale::ShortFormat);
}

std::optional<QDate> readDateText(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) return std::nullopt;
    const QLocale locale;
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    QString fullYear = shortFormat;
    if (!fullYear.contains(QStringLiteral("yyyy")))
        fullYear.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    const QString formats[] = {fullYear, shortFormat, locale.dateFormat(QLocale::LongFormat),
                               QStringLiteral("yyyy-MM-dd")};
    for (const QString& format : formats) {
        QDate d = locale.toDate(text, format);
        if (!d.isValid()) continue;
        if (format == shortFormat && format != fullYear) {
            // Two digits name the year nearest to today's.
            const int thisYear = appClock().today().year();
            while (d.year() < thisYear - 50)
                d = d.addYears(100);
            while (d.year() > thisYear + 49)
                d = d.addYears(-100);
        }
        return d;
    }
    return std::nullopt;
}
