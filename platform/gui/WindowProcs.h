#pragma once

class QWidget;

// Window procedures the forms share.
namespace windowprocs {
// Keeps a window above all others, or releases it, without hiding it.
void setTopMost(QWidget* window, bool onTop);
bool isTopMost(const QWidget* window);
// Shows a window without taking the focus.
void showWithoutActivating(QWidget* window);
} // namespace windowprocs
