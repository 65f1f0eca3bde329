#include "platform/gui/WindowProcs.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

namespace windowprocs {

void sendRequestsNow() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection()) xcb_flush(x11->connection());
}

void setTopMost(QWidget* window, bool onTop) {
    if (!window) return;
    if (QWindow* handle = window->windowHandle()) {
        // Changing the flag on the native window keeps it visible where setWindowFlag would hide it.
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
    } else {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    }
}

bool isTopMost(const QWidget* window) {
    if (!window) return false;
    // The native window carries the flag once it exists (setTopMost changes it there).
    if (const QWindow* handle = window->windowHandle())
        return handle->flags().testFlag(Qt::WindowStaysOnTopHint);
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void showWithoutActivating(QWidget* window) {
    if (!window) return;
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    window->show();
}

int titleWidth(const QWidget* window, const QString& title) {
    // Title bars commonly set their text in bold.
    QFont bold = window->font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + 120;
}

bool isLeftClick(const QMouseEvent* event, const QRect& target) {
    return event->button() == Qt::LeftButton && target.contains(event->position().toPoint());
}

} // namespace windowprocs
