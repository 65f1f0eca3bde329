#pragma once

class QWidget;

// Window procedures the forms share.
namespace windowprocs {
// Keeps a window above all others, or releases it, without hiding it.
void setTopMost(QWidget* window, bool onTop);
bool isTopMost(const QWidget* window);
// Shows a window without taking the focus.
void showWithoutActivating(QWidget* window);
// Places a control by its design place in twips (at least one pixel wide and high).
void placeTwips(QWidget* w, double left, double top, double width, double height);
} // namespace windowprocs
