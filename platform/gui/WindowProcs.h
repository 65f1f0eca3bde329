#pragma once

class QMouseEvent;
class QRect;
class QString;
class QWidget;

// Window procedures the forms share.
namespace windowprocs {
// Keeps a window above all others, or releases it, without hiding it.
void setTopMost(QWidget* window, bool onTop);
bool isTopMost(const QWidget* window);
// Shows a window without taking the focus.
void showWithoutActivating(QWidget* window);
// Hands what the window system was asked so far (a window to show) to it at once instead of with the
// next turn of the event loop, so that it works on it while the program goes on.
void sendRequestsNow();
// The width a small window needs for its title to be read whole in a title bar that also holds the
// window manager's icon and buttons.
int titleWidth(const QWidget* window, const QString& title);
// A click: the left button let go over the target, given in the coordinates of the widget the event is for.
bool isLeftClick(const QMouseEvent* event, const QRect& target);
} // namespace windowprocs
