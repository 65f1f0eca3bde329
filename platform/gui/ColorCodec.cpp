#include "platform/gui/ColorCodec.h"

#include <QGuiApplication>

namespace colorcodec {

bool isSystemColor(qint64 code) {
    return (static_cast<quint32>(code) & SystemFlag) != 0;
}

QPalette::ColorRole systemRole(int index) {
    switch (index) {
    case 0:
        return QPalette::Button; // scroll bars
    case 1:
        return QPalette::Dark; // desktop
    case 2:
        return QPalette::Highlight; // active title bar
    case 3:
        return QPalette::Mid; // inactive title bar
    case 4:
        return QPalette::Window; // menu bar
    case 5:
        return QPalette::Base; // window background
    case 6:
        return QPalette::Shadow; // window frame
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::Text; // window text
    case 9:
        return QPalette::HighlightedText; // active title bar text
    case 10:
        return QPalette::Midlight; // active border
    case 11:
        return QPalette::Mid; // inactive border
    case 12:
        return QPalette::Dark; // application workspace
    case 13:
        return QPalette::Highlight; // highlight
    case 14:
        return QPalette::HighlightedText; // highlighted text
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Dark; // button shadow
    case 17:
        return QPalette::PlaceholderText; // grey text
    case 18:
        return QPalette::ButtonText; // button text
    case 19:
        return QPalette::PlaceholderText; // inactive title bar text
    case 20:
        return QPalette::Light; // button highlight
    case 21:
        return QPalette::Shadow; // 3D dark shadow
    case 22:
        return QPalette::Midlight; // 3D light
    case 23:
        return QPalette::ToolTipText; // tool tip text
    case 24:
        return QPalette::ToolTipBase; // tool tip background
    default:
        return QPalette::Window;
    }
}

QColor toColor(qint64 code, const QPalette& palette) {
    const quint32 n = static_cast<quint32>(code);
    if (n & SystemFlag) return palette.color(QPalette::Active, systemRole(static_cast<int>(n & 0xFFu)));
    return QColor(static_cast<int>(n & 0xFFu), static_cast<int>((n >> 8) & 0xFFu),
                  static_cast<int>((n >> 16) & 0xFFu));
}

qint64 fromColor(const QColor& color) {
    const QColor c = color.toRgb();
    return static_cast<qint64>(c.blue()) * 65536 + static_cast<qint64>(c.green()) * 256 + c.red();
}

} // namespace colorcodec
