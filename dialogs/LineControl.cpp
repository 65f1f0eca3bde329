#include "dialogs/LineControl.h"

#include "platform/Twips.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
QPointF inPixels(QPointF twipPoint) {
    return twipPoint / twips::PerPixel;
}
} // namespace

LineControl::LineControl(const QString& name, QPointF from, QPointF to, int penWidth, const QColor& colour,
                         QWidget* parent)
    : QWidget(parent), m_from(from), m_to(to), m_penWidth(penWidth), m_colour(colour) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPointF a = inPixels(from), b = inPixels(to);
    const int margin = penWidth + 1;
    const QRect box(QPoint(static_cast<int>(std::floor(std::min(a.x(), b.x()))) - margin,
                           static_cast<int>(std::floor(std::min(a.y(), b.y()))) - margin),
                    QPoint(static_cast<int>(std::ceil(std::max(a.x(), b.x()))) + margin,
                           static_cast<int>(std::ceil(std::max(a.y(), b.y()))) + margin));
    setGeometry(box);
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(m_colour, m_penWidth, Qt::SolidLine, Qt::RoundCap));
    const QPointF offset = pos();
    p.drawLine(inPixels(m_from) - offset, inPixels(m_to) - offset);
}
