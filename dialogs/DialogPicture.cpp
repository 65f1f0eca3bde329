#include "dialogs/DialogPicture.h"

#include <QPainter>

DialogPicture::DialogPicture(Kind kind, const QString& name, QWidget* parent)
    : ClickableWidget(parent), m_kind(kind) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
}

void DialogPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // A square in the middle of the control, whatever its shape.
    const double side = std::min(width(), height()) - 3.0;
    const QRectF r((width() - side) / 2, (height() - side) / 2, side, side);
    switch (m_kind) {
    case Kind::Task: {
        // A small card with two lines of writing. Not a ticked box: it stands beside open tasks too.
        p.setPen(QPen(QColor(60, 90, 130), 1.2));
        p.setBrush(QColor(236, 243, 251));
        p.drawRoundedRect(r, 2, 2);
        p.setPen(QPen(QColor(60, 90, 130), 1.4, Qt::SolidLine, Qt::RoundCap));
        for (const double y : {0.38, 0.64})
            p.drawLine(QPointF(r.left() + side * 0.24, r.top() + side * y),
                       QPointF(r.right() - side * 0.24, r.top() + side * y));
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
