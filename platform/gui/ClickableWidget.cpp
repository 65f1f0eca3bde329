#include "ClickableWidget.h"

#include "WindowProcs.h"

void ClickableWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (windowprocs::isLeftClick(event, clickArea())) Q_EMIT clicked();
    QWidget::mouseReleaseEvent(event);
}
