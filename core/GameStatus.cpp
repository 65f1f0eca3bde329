#include "core/GameStatus.h"

#include <QList>

namespace {

QByteArray boolText(bool v) {
    return v ? QByteArrayLiteral("#TRUE#") : QByteArrayLiteral("#FALSE#");
}
QByteArray number(Integer v) {
    return QByteArray::number(v.value());
}

// Splits the line at the commas between values; a comma inside double quotes belongs to the text.
// nullopt when a quote is left open.
std::optional<QList<QByteArray>> splitValues(const QByteArray& line) {
    QList<QByteArray> values;
    QByteArray current;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            values << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (quoted) return std::nullopt;
    values << current;
    return values;
}

std::optional<QString> readText(const QByteArray& v) {
    if (v.size() < 2 || !v.startsWith('"') || !v.endsWith('"')) return std::nullopt;
    const QByteArray inner = v.mid(1, v.size() - 2);
    if (inner.contains('"')) return std::nullopt;
    return QString::fromUtf8(inner);
}

// Whether v holds only ASCII digits from from to to (not included).
bool digitsIn(const QByteArray& v, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to; ++i)
        if (v.at(i) < '0' || v.at(i) > '9') return false;
    return true;
}

// "#yyyy-mm-dd#".
std::optional<QDate> readDate(const QByteArray& v) {
    if (v.size() != 12 || v.at(0) != '#' || v.at(5) != '-' || v.at(8) != '-' || v.at(11) != '#' ||
        !digitsIn(v, 1, 5) || !digitsIn(v, 6, 8) || !digitsIn(v, 9, 11))
        return std::nullopt;
    const QDate d = QDate::fromString(QString::fromLatin1(v.mid(1, 10)), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid()) return std::nullopt;
    return d;
}

std::optional<bool> readBool(const QByteArray& v) {
    if (v == "#TRUE#") return true;
    if (v == "#FALSE#") return false;
    return std::nullopt;
}

// Up to five digits, a minus before them or not.
std::optional<Integer> readInteger(const QByteArray& v) {
    const qsizetype sign = v.startsWith('-') ? 1 : 0;
    if (v.size() - sign < 1 || v.size() - sign > 5 || !digitsIn(v, sign, v.size())) return std::nullopt;
    const long long n = v.toLongLong();
    if (n < Integer::Min || n > Integer::Max) return std::nullopt;
    return Integer(n);
}

} // namespace

QByteArray GameStatus::toLine() const {
    QByteArray line;
    line += '"' + version.toUtf8() + '"';
    line += ",#" + date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '#';
    line += ',' + number(currentPeriod);
    line += ',' + boolText(running);
    line += ',' + number(periodMinutesLeft);
    line += ',' + boolText(periodRunning);
    line += ',' + boolText(isTimeOut);
    line += ',' + number(timeoutMinutesLeft);
    line += ',' + number(runningItemID);
    line += ',' + number(taskMinutesLeft);
    line += ',' + number(todayScore);
    line += "\r\n";
    return line;
}

std::optional<GameStatus> GameStatus::fromText(const QByteArray& text) {
    // Exactly one line, ended by CR LF (or a bare LF, as an editor may leave it); a file cut short has no
    // line end.
    QByteArray line;
    if (text.endsWith("\r\n"))
        line = text.left(text.size() - 2);
    else if (text.endsWith('\n'))
        line = text.left(text.size() - 1);
    else
        return std::nullopt;
    if (line.contains('\n') || line.contains('\r')) return std::nullopt;

    const auto values = splitValues(line);
    if (!values || values->size() != 11) return std::nullopt;
    const QList<QByteArray>& v = *values;

    const auto version = readText(v[0]);
    const auto date = readDate(v[1]);
    const auto period = readInteger(v[2]);
    const auto running = readBool(v[3]);
    const auto periodMinutes = readInteger(v[4]);
    const auto periodRunning = readBool(v[5]);
    const auto timeOut = readBool(v[6]);
    const auto timeoutMinutes = readInteger(v[7]);
    const auto itemID = readInteger(v[8]);
    const auto taskMinutes = readInteger(v[9]);
    const auto score = readInteger(v[10]);
    if (!version || !date || !period || !running || !periodMinutes || !periodRunning || !timeOut ||
        !timeoutMinutes || !itemID || !taskMinutes || !score)
        return std::nullopt;
    if (*period < Integer(1) || *period > Integer(4) || *itemID < Integer(0)) return std::nullopt;

    GameStatus s;
    s.version = *version;
    s.date = *date;
    s.currentPeriod = *period;
    s.running = *running;
    s.periodMinutesLeft = *periodMinutes;
    s.periodRunning = *periodRunning;
    s.isTimeOut = *timeOut;
    s.timeoutMinutesLeft = *timeoutMinutes;
    s.runningItemID = *itemID;
    s.taskMinutesLeft = *taskMinutes;
    s.todayScore = *score;
    return s;
}
