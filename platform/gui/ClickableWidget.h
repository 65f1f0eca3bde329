#pragma once

#include <QWidget>

// A control that reports a click: the left button let go over its click area, by default the whole of it.
class ClickableWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

Q_SIGNALS:
    void clicked();

protected:
    // The part of the control that answers a click, in its own coordinates.
    virtual QRect clickArea() const { return rect(); }
    void mouseReleaseEvent(QMouseEvent* event) override;
};
