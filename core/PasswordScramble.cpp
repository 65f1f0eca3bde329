#include "core/PasswordScramble.h"

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
