#include "pagechain/PageWidgets.h"

#include "platform/gui/WindowProcs.h"

#include <QMouseEvent>
#include <QPainter>

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (windowprocs::isLeftClick(event, rect())) Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::enterEvent(QEnterEvent* event) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QLabel::enterEvent(event);
}

void ClickLabel::leaveEvent(QEvent* event) {
    QFont f = font();
    f.setUnderline(false);
    setFont(f);
    QLabel::leaveEvent(event);
}

PagePictureBox::PagePictureBox(const QPixmap& pixmap, QWidget* parent)
    : ClickableWidget(parent), m_pixmap(pixmap) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize PagePictureBox::sizeHint() const {
    return m_pixmap.deviceIndependentSize().toSize() + QSize(8, 8);
}

QSize PagePictureBox::minimumSizeHint() const {
    // Small enough that a page can shrink, large enough to still tell what is shown.
    return sizeHint().scaled(200, 160, Qt::KeepAspectRatio);
}

void PagePictureBox::setKeepClear(const QRect& inWindow) {
    if (m_keepClear == inWindow) return;
    m_keepClear = inWindow;
    update();
}

QRect PagePictureBox::pictureRect() const {
    const QSize natural = m_pixmap.deviceIndependentSize().toSize();
    QRect room = rect().adjusted(4, 4, -4, -4);
    if (!m_keepClear.isEmpty()) {
        const QRect clear(mapFrom(window(), m_keepClear.topLeft()), m_keepClear.size());
        // Below that place, while enough room is left there to tell what the picture shows.
        const QRect below = room.adjusted(0, clear.bottom() + 1 - room.top(), 0, 0);
        if (clear.intersects(room) && below.height() >= minimumSizeHint().height()) room = below;
    }
    QSize s = natural;
    if (s.width() > room.width() || s.height() > room.height())
        s = natural.scaled(room.size(), Qt::KeepAspectRatio);
    // Centred across, at the top: the picture stands beside the text it belongs to.
    return QRect(QPoint(room.x() + (room.width() - s.width()) / 2, room.y()), s);
}

void PagePictureBox::paintEvent(QPaintEvent*) {
    if (m_pixmap.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect r = pictureRect();
    // A screenshot gets a frame and a soft shadow; a drawing with a clear background stands on its own.
    const bool framed = !m_pixmap.hasAlphaChannel();
    if (framed) p.fillRect(r.translated(3, 3), QColor(0, 0, 0, 40));
    p.drawPixmap(r, m_pixmap);
    if (framed) {
        p.setPen(QColor(150, 168, 190));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}
