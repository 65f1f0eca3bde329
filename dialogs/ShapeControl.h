#pragma once

#include <QColor>
#include <QWidget>

// A round shape filling its rectangle: a face with a rim and a dot at its centre. It lets the mouse
// through to what lies under it.
class ShapeControl : public QWidget {
    Q_OBJECT
public:
    ShapeControl(const QString& name, const QColor& face, const QColor& rim, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_face, m_rim;
};
