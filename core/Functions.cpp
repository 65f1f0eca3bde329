#include "Functions.h"

#include "Clock.h"
#include "ErrorReport.h"
#include "Failure.h"
#include "FormPort.h"
#include "HTMLHelp.h"
#include "Initialize.h"

#include <QLocale>
#include <cmath>
#include <utility>

QDate gChosenDate;

namespace {

const char* const FullNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const ThreeLetter[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const TwoLetter[] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
const char* const OneLetter[] = {"S", "M", "T", "W", "T", "F", "S"};
const char* const MonthAbbreviations[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// 1 Sunday to 7 Saturday (QDate counts 1 Monday to 7 Sunday).
int weekdayOf(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

QString name(const char* const table[], int oneBased) {
    return QString::fromLatin1(table[oneBased - 1]);
}

std::array<QDate, 7> g_calendarDays;
std::array<DayChoice, 8> g_dayChoices;
int g_choicePosition = 1;
QString g_lastWeekdayLabel;

// A form held by its pointer, known to be the same form by its load number.
struct FormRef {
    FormPort* form = nullptr;
    quint64 loadNumber = 0;
    FormRef() = default;
    explicit FormRef(FormPort* f) : form(f), loadNumber(f ? forms::loadNumber(f) : 0) {}
    FormPort* get() const { return form && forms::loadNumber(form) == loadNumber ? form : nullptr; }
};

FormRef g_trayRemembered;
// The forms that going to the tray hid, to be shown again when the orbin comes back.
QList<FormRef> g_hiddenForTray;
std::function<bool()> g_trayLoader;

struct DragRecord {
    bool dragging = false;
    long startX = 0;
    long startY = 0;
};
DragRecord g_drag;

} // namespace

// ---- Day chooser labels ----

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

// ---- Day choices of the item dialogs ----

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
    if (n >= 1 && n <= 7) g_lastWeekdayLabel = name(FullNames, n);
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

// ---- Window procedures ----

void setTopMost(quintptr hWnd) {
    for (FormPort* form : forms::loaded()) {
        if (form->windowHandle() == hWnd) {
            form->setTopMost(true);
            return;
        }
    }
}

void setTrayFormLoader(std::function<bool()> loader) {
    g_trayLoader = std::move(loader);
}

void minimizeToTray(bool restore, FormPort* form) {
    if (!restore) {
        g_trayRemembered = FormRef(form);
        QList<FormRef> hidden;
        for (FormPort* f : forms::loaded()) {
            if (f->isFormVisible()) hidden << FormRef(f);
            f->hideForm();
        }
        // Without a tray icon nothing could bring the windows back: they stay in sight.
        auto showAgain = [&hidden] {
            for (const FormRef& ref : hidden)
                if (FormPort* f = ref.get()) f->showForm();
        };
        bool inTray = false;
        try {
            inTray = g_trayLoader && g_trayLoader();
        } catch (...) {
            showAgain();
            throw;
        }
        if (!inTray) {
            showAgain();
            return;
        }
        // Sent to the tray again while there: the forms hidden the first time still come back.
        g_hiddenForTray << hidden;
        return;
    }
    FormPort* remembered = g_trayRemembered.get();
    if (!remembered) throw Failure(err::ObjectNotSet, Failure::classicDescription(err::ObjectNotSet));
    remembered->showForm();
    // Every form that going to the tray hid comes back with it (an open dialog, the scoreboard, a
    // reminder), and only those.
    const QList<FormRef> hidden = std::exchange(g_hiddenForTray, {});
    for (const FormRef& ref : hidden) {
        FormPort* f = ref.get();
        if (f && f != remembered) f->showForm();
    }
    if (FormPort* tray = forms::find(QStringLiteral("frmSysTray"))) tray->unloadForm();
}

bool isInTray() {
    return isFormLoaded(QStringLiteral("frmSysTray"));
}

void dragWindow(FormPort* form, double x, double y, int button, bool reset) {
    ignoringFailures([&] {
        if (reset) g_drag.dragging = false;
        if (button != 1) return;
        const long ix = std::lround(x);
        const long iy = std::lround(y);
        if (!g_drag.dragging) {
            g_drag.startX = ix;
            g_drag.startY = iy;
            g_drag.dragging = true;
        }
        if (!form) throw Failure(err::ObjectNotSet, Failure::classicDescription(err::ObjectNotSet));
        form->moveBy(static_cast<double>(ix - g_drag.startX), static_cast<double>(iy - g_drag.startY));
        form->redraw();
    });
}

void showHelpTopic() {
    // The help object lives until quit, which closes and releases it.
    HTMLHelp* help = helpObject();
    help->setCHMFile(gHelpFile);
    help->HHDisplayContents(0);
}

bool isFormLoaded(const QString& name) {
    bool found = false;
    ignoringFailures([&] {
        const QString wanted = name.toLower();
        for (FormPort* form : forms::loaded()) {
            if (form->formName().toLower() == wanted) {
                found = true;
                return;
            }
        }
    });
    return found;
}

// ---- The start-up password ----

QString scramblePassword(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            c = QChar(u + 127);
        else if (u >= u'a' && u <= u'z')
            c = QChar(u + 121);
        else if (u >= u'0' && u <= u'9')
            c = QChar(u + 196);
    }
    return out;
}

QString unscramblePassword(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 192 && u <= 217)
            c = QChar(u - 127);
        else if (u >= 218 && u <= 243)
            c = QChar(u - 121);
        else if (u >= 244 && u <= 253)
            c = QChar(u - 196);
    }
    return out;
}

QString firstUnstorablePasswordCharacter(const QString& text) {
    // Only single-byte characters have a stored form, and of those the ones that scrambled letters and
    // digits stand for read back as those letters and digits.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            return text.mid(i, 2);
        if (c.unicode() > 255 || unscramblePassword(scramblePassword(QString(c))) != QString(c))
            return QString(c);
    }
    return {};
}

namespace {

// The white space around a time: the ASCII spaces and line breaks.
bool isSpace(QChar c) {
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

// One or two ASCII digits at at, and no third: their number, at moved past them.
std::optional<int> twoDigits(const QString& text, qsizetype& at) {
    int n = 0;
    qsizetype end = at;
    while (end < text.size() && end - at < 3 && text.at(end) >= QLatin1Char('0') &&
           text.at(end) <= QLatin1Char('9'))
        n = n * 10 + (text.at(end++).unicode() - '0');
    if (end == at || end - at > 2) return std::nullopt;
    at = end;
    return n;
}

} // namespace

// Read by hand rather than by a pattern: a start then loads no pattern engine (half a megabyte of memory).
std::optional<QTime> readMeetingTime(const QString& text) {
    qsizetype at = 0;
    const auto skipSpace = [&] {
        while (at < text.size() && isSpace(text.at(at)))
            ++at;
    };
    const auto colon = [&] {
        if (at >= text.size() || text.at(at) != QLatin1Char(':')) return false;
        ++at;
        return true;
    };
    skipSpace();
    std::optional<int> h = twoDigits(text, at);
    if (!h || !colon()) return std::nullopt;
    const std::optional<int> min = twoDigits(text, at);
    if (!min) return std::nullopt;
    int sec = 0;
    if (colon()) {
        const std::optional<int> s = twoDigits(text, at);
        if (!s) return std::nullopt;
        sec = *s;
    }
    skipSpace();
    // "am" or "pm" in either case.
    std::optional<bool> pm;
    if (text.size() - at >= 2 && text.at(at + 1).toLower() == QLatin1Char('m')) {
        const QChar half = text.at(at).toLower();
        if (half == QLatin1Char('a') || half == QLatin1Char('p')) {
            pm = half == QLatin1Char('p');
            at += 2;
        }
    }
    skipSpace();
    if (at != text.size()) return std::nullopt;
    if (pm) {
        if (*h < 1 || *h > 12) return std::nullopt;
        h = *h % 12 + (*pm ? 12 : 0);
    }
    const QTime t(*h, *min, sec);
    if (!t.isValid()) return std::nullopt;
    return t;
}
