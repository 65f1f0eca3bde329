#include "DialogPicture.h"

#include <QMouseEvent>
#include <QPainter>

DialogPicture::DialogPicture(Kind kind, const QString& name, QWidget* parent)
    : QWidget(parent), m_kind(kind) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
}

void DialogPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Q_EMIT clicked();
    QWidget::mouseReleaseEvent(event);
}

void DialogPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // A square in the middle of the control, whatever its shape.
    const double side = std::min(width(), height()) - 3.0;
    const QRectF r((width() - side) / 2, (height() - side) / 2, side, side);
    switch (m_kind) {
    case Kind::Task: {
        // A ticked box.
        p.setPen(QPen(QColor(60, 90, 130), 1.2));
        p.setBrush(QColor(236, 243, 251));
        p.drawRoundedRect(r, 2, 2);
        p.setPen(QPen(QColor(40, 120, 70), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF tick[] = {{r.left() + side * 0.22, r.top() + side * 0.52},
                                {r.left() + side * 0.43, r.top() + side * 0.74},
                                {r.left() + side * 0.8, r.top() + side * 0.26}};
        p.drawPolyline(tick, 3);
        break;
    }
    case Kind::Meeting: {
        // A small clock.
        p.setPen(QPen(QColor(60, 90, 130), 1.2));
        p.setBrush(QColor(255, 246, 214));
        p.drawEllipse(r);
        const QPointF c = r.center();
        p.setPen(QPen(QColor(60, 90, 130), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, QPointF(c.x(), r.top() + side * 0.2));
        p.drawLine(c, QPointF(r.left() + side * 0.75, c.y()));
        break;
    }
    case Kind::Close: {
        const QRectF x = r.adjusted(1.5, 1.5, -1.5, -1.5);
        p.setPen(QPen(QColor(150, 40, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(x.topLeft(), x.bottomRight());
        p.drawLine(x.topRight(), x.bottomLeft());
        break;
    }
    }
}
