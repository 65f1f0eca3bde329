#include "core/MeetingTimes.h"

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
