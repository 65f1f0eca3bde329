#include "platform/gui/ClickableWidget.h"

#include "platform/gui/WindowProcs.h"

void ClickableWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (windowprocs::isLeftClick(event, clickArea())) Q_EMIT clicked();
    QWidget::mouseReleaseEvent(event);
}
