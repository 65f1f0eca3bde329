#include "platform/TextDecoding.h"

#include <cstring>

namespace {

// The characters of windows-1252 at 0x80-0x9F; the five bytes it leaves undefined keep their own code.
constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at i, or 0 when the byte there does not start one.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b = at(i);
    if (b < 0x80) return 1;
    const qsizetype left = bytes.size() - i;
    if (b >= 0xC2 && b <= 0xDF) return left >= 2 && continuation(at(i + 1)) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3 || !continuation(at(i + 1)) || !continuation(at(i + 2))) return 0;
        if (b == 0xE0 && at(i + 1) < 0xA0) return 0; // overlong
        if (b == 0xED && at(i + 1) > 0x9F) return 0; // a surrogate
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4 || !continuation(at(i + 1)) || !continuation(at(i + 2)) || !continuation(at(i + 3)))
            return 0;
        if (b == 0xF0 && at(i + 1) < 0x90) return 0; // overlong
        if (b == 0xF4 && at(i + 1) > 0x8F) return 0; // beyond U+10FFFF
        return 4;
    }
    return 0;
}

void appendCodePoint(QByteArray& out, char16_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

namespace textdecoding {

QByteArray toValidUtf8(QByteArrayView bytes) {
    QByteArray out;
    qsizetype copied = 0; // bytes before this are in out already
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype n = sequenceLength(bytes, i);
        if (n > 0) {
            i += n;
            continue;
        }
        if (out.isEmpty()) out.reserve(bytes.size() + 16);
        out.append(bytes.data() + copied, i - copied);
        const auto b = static_cast<unsigned char>(bytes[i]);
        appendCodePoint(out, b < 0xA0 ? Cp1252High[b - 0x80] : static_cast<char16_t>(b));
        copied = ++i;
    }
    if (copied == 0) return bytes.toByteArray();
    out.append(bytes.data() + copied, bytes.size() - copied);
    return out;
}

bool isValidUtf8(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
        // ASCII, by far the most of any file, eight bytes at a time.
        if (i + 8 <= bytes.size()) {
            quint64 word;
            std::memcpy(&word, bytes.data() + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const qsizetype n = sequenceLength(bytes, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

QString utf8Text(const char* text) {
    QString s = QString::fromUtf8(text);
    if (text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF') s.prepend(QChar(0xFEFF));
    return s;
}

} // namespace textdecoding
