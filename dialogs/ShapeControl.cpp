#include "dialogs/ShapeControl.h"

#include <QPainter>

ShapeControl::ShapeControl(const QString& name, const QColor& face, const QColor& rim, QWidget* parent)
    : QWidget(parent), m_face(face), m_rim(rim) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(m_rim, 2));
    p.setBrush(m_face);
    p.drawEllipse(r);
    p.setPen(Qt::NoPen);
    p.setBrush(m_rim);
    p.drawEllipse(r.center(), 3, 3);
}
