#include "Functions.h"

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
