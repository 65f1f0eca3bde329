#include "platform/NumberText.h"

#include "platform/Failure.h"

#include <cmath>
#include <limits>

namespace numtext {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < base ? d : -1;
}

// Reads "&H..." / "&O..." from position i (at '&'); returns nullopt when no digit follows.
std::optional<double> radixNumber(const QString& s, qsizetype& i) {
    if (i + 1 >= s.size() || s[i] != u'&') return std::nullopt;
    const QChar kind = s[i + 1].toUpper();
    int base = 0;
    if (kind == u'H')
        base = 16;
    else if (kind == u'O')
        base = 8;
    else
        return std::nullopt;
    qsizetype j = i + 2;
    quint64 acc = 0;
    int digits = 0;
    while (j < s.size()) {
        const int d = digitValue(s[j], base);
        if (d < 0) break;
        acc = acc * static_cast<quint64>(base) + static_cast<quint64>(d);
        if (acc > 0xFFFFFFFFull) return std::nullopt;
        ++digits;
        ++j;
    }
    if (digits == 0) return std::nullopt;
    i = j;
    // Up to four hex digits are a 16-bit number, more a 32-bit one; both are signed.
    if (acc <= 0xFFFF && digits <= 4 && base == 16) return static_cast<double>(static_cast<qint16>(acc));
    return static_cast<double>(static_cast<qint32>(static_cast<quint32>(acc)));
}

// Scans a decimal number (sign, digits, point, exponent) from the characters given; returns the text
// taken and the count of characters consumed.
struct Scan {
    QString text;
    qsizetype used = 0;
    bool hasDigits = false;
};

Scan scanDecimal(const QString& s, qsizetype start, bool skipBlanks) {
    Scan r;
    qsizetype i = start;
    auto skip = [&] {
        while (skipBlanks && i < s.size() && isBlank(s[i]))
            ++i;
    };
    skip();
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) r.text += s[i++];
    skip();
    bool point = false;
    while (i < s.size()) {
        skip();
        if (i >= s.size()) break;
        const QChar c = s[i];
        if (c.isDigit() && c.unicode() < 128) {
            r.text += c;
            r.hasDigits = true;
            ++i;
        } else if (c == u'.' && !point) {
            r.text += c;
            point = true;
            ++i;
        } else {
            break;
        }
    }
    if (r.hasDigits && i < s.size() && (s[i].toUpper() == u'E' || s[i].toUpper() == u'D')) {
        qsizetype j = i + 1;
        QString exp = QStringLiteral("e");
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exp += s[j++];
        bool expDigits = false;
        while (j < s.size() && s[j].isDigit() && s[j].unicode() < 128) {
            exp += s[j++];
            expDigits = true;
        }
        if (expDigits) {
            r.text += exp;
            i = j;
        }
    }
    r.used = i - start;
    return r;
}

} // namespace

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i < text.size() && text[i] == u'&') {
        if (auto v = radixNumber(text, i)) return *v;
        return 0.0;
    }
    const Scan s = scanDecimal(text, i, true);
    if (!s.hasDigits) return 0.0;
    bool ok = false;
    const double v = s.text.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

std::optional<double> parseNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    qsizetype i = 0;
    if (t[0] == u'&') {
        auto v = radixNumber(t, i);
        if (v && i == t.size()) return v;
        return std::nullopt;
    }
    const Scan s = scanDecimal(t, 0, false);
    if (!s.hasDigits || s.used != t.size()) return std::nullopt;
    bool ok = false;
    const double v = s.text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

double roundHalfEven(double value) {
    const double floorV = std::floor(value);
    const double diff = value - floorV;
    if (diff < 0.5) return floorV;
    if (diff > 0.5) return floorV + 1.0;
    return std::fmod(floorV, 2.0) == 0.0 ? floorV : floorV + 1.0;
}

double toDouble(const QString& text) {
    if (auto v = parseNumber(text)) return *v;
    throw Failure(err::TypeMismatch);
}

Integer toInteger(double value) {
    if (!std::isfinite(value)) throw Failure(err::Overflow);
    const double r = roundHalfEven(value);
    if (r < Integer::Min || r > Integer::Max) throw Failure(err::Overflow);
    return Integer(static_cast<long long>(r));
}

Integer toInteger(const QString& text) {
    return toInteger(toDouble(text));
}

qint32 toLong(double value) {
    if (!std::isfinite(value)) throw Failure(err::Overflow);
    const double r = roundHalfEven(value);
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
        throw Failure(err::Overflow);
    return static_cast<qint32>(r);
}

qint32 toLong(const QString& text) {
    return toLong(toDouble(text));
}

bool toBoolean(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return false;
    return toDouble(t) != 0.0;
}

QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString singleText(double value) {
    const float f = static_cast<float>(value);
    QString s = QString::number(static_cast<double>(f), 'g', 7);
    if (s.contains(u'e')) s = QString::number(static_cast<double>(f), 'f', 0);
    return s;
}

QString doubleText(double value) {
    QString s = QString::number(value, 'g', 15);
    return s;
}

namespace {
bool isBool(const QVariant& v) {
    return v.typeId() == QMetaType::Bool;
}
bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}
} // namespace

double toDouble(const QVariant& value) {
    if (isBool(value)) return value.toBool() ? -1.0 : 0.0;
    if (isText(value) || !value.isValid()) return toDouble(value.toString());
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok) throw Failure(err::TypeMismatch);
    return d;
}

Integer toInteger(const QVariant& value) {
    return toInteger(toDouble(value));
}

bool toBoolean(const QVariant& value) {
    if (isBool(value)) return value.toBool();
    if (isText(value) || !value.isValid()) return toBoolean(value.toString());
    return toDouble(value) != 0.0;
}

QString toText(const QVariant& value) {
    if (isBool(value)) return booleanText(value.toBool());
    if (isText(value) || !value.isValid()) return value.toString();
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? doubleText(d) : value.toString();
}

} // namespace numtext
