#include "help/TextPopup.h"

#include "platform/gui/ColorCodec.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int DefaultMargin = 8;
constexpr int MostWidth = 360;
} // namespace

QFont TextPopup::fontOf(const QString& description) {
    const QStringList parts = description.split(u',');
    QFont font(parts.value(0).trimmed().isEmpty() ? QStringLiteral("Arial") : parts.value(0).trimmed());
    bool ok = false;
    const double size = parts.value(1).trimmed().toDouble(&ok);
    font.setPointSizeF(ok && size > 0 ? size : 10);
    const QString flags = parts.mid(3).join(u' ');
    font.setBold(flags.contains(QStringLiteral("Bold"), Qt::CaseInsensitive));
    font.setItalic(flags.contains(QStringLiteral("Italic"), Qt::CaseInsensitive));
    font.setUnderline(flags.contains(QStringLiteral("Underline"), Qt::CaseInsensitive));
    return font;
}

TextPopup::TextPopup(const QString& text, const Style& style) : QFrame(nullptr, Qt::Popup) {
    setObjectName(QStringLiteral("HelpPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    m_label = new QLabel(text);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setFont(fontOf(style.font));
    m_label->setMaximumWidth(MostWidth);
    auto* layout = new QVBoxLayout(this);
    auto margin = [](int m) { return m < 0 ? DefaultMargin : m; };
    layout->setContentsMargins(margin(style.margins.left()), margin(style.margins.top()),
                               margin(style.margins.right()), margin(style.margins.bottom()));
    layout->addWidget(m_label);

    // Text in the colour of its background could not be read: then the system's colours stand.
    QPalette pal = palette();
    const bool readable = style.textColor != style.backColor;
    const QColor text0 = QPalette().color(QPalette::ToolTipText);
    const QColor back0 = QPalette().color(QPalette::ToolTipBase);
    pal.setColor(QPalette::WindowText,
                 readable && style.textColor >= 0 ? colorcodec::toColor(style.textColor) : text0);
    pal.setColor(QPalette::Window,
                 readable && style.backColor >= 0 ? colorcodec::toColor(style.backColor) : back0);
    setPalette(pal);
    m_label->setPalette(pal);
    setAutoFillBackground(true);
}

void TextPopup::popUpAt(const QPoint& topCentre) {
    adjustSize();
    QRect place(QPoint(topCentre.x() - width() / 2, topCentre.y()), size());
    if (const QScreen* screen = QGuiApplication::screenAt(topCentre) ? QGuiApplication::screenAt(topCentre)
                                                                     : QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        if (place.right() > avail.right()) place.moveRight(avail.right());
        if (place.bottom() > avail.bottom()) place.moveBottom(avail.bottom());
        if (place.left() < avail.left()) place.moveLeft(avail.left());
        if (place.top() < avail.top()) place.moveTop(avail.top());
    }
    move(place.topLeft());
    show();
}

void TextPopup::mousePressEvent(QMouseEvent*) {
    close();
}

void TextPopup::keyPressEvent(QKeyEvent*) {
    close();
}
