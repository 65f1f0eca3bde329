#pragma once

#include <QColor>
#include <QPointF>
#include <QWidget>

// A line drawn on its parent from one point to another (in twips, in the parent's coordinates). It lets
// the mouse through to what lies under it; hiding it takes the line away.
class LineControl : public QWidget {
    Q_OBJECT
public:
    LineControl(const QString& name, QPointF from, QPointF to, int penWidth, const QColor& colour,
                QWidget* parent);

    QPointF from() const { return m_from; }
    QPointF to() const { return m_to; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF m_from, m_to; // twips
    int m_penWidth;
    QColor m_colour;
};
