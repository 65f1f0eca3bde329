#pragma once

#include <QString>
#include <QtGlobal>

class FormPort;

// Window procedures on the program's loaded forms, whichever window layer shows them: keeping one on top,
// dragging one that has no title bar, and asking whether one is loaded.

// Keeps the loaded form with this window handle above all other windows.
void setTopMost(quintptr hWnd);

// Drags a window without a title bar. x and y: the pointer in the form's units (twips), rounded to whole
// numbers. Called with reset True on the left button's press (which records the start point) and with
// reset False while the pointer moves; button 1 is the left button.
void dragWindow(FormPort* form, double x, double y, int button, bool reset);

// True when a form of that name is loaded, whatever the letter case.
bool isFormLoaded(const QString& name);
