#pragma once

#include "platform/WindowProcedure.h"

#include <QtGlobal>

class FormPort;

// The hide hot key, Shift+Esc anywhere on the desktop: it sends the orbin to the tray and, pressed again,
// brings it back. createHotKey registers it for a window (while the BossKey setting is on) and puts
// WindowProc in front of that window's own procedure; destroyHotKey undoes both.
class HotKey {
public:
    HotKey() = default;
    ~HotKey();
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;

    void createHotKey(quintptr hWnd);
    // Only the window the key was registered for gives it up; any other window is left as it is.
    void destroyHotKey(quintptr hWnd);
    // destroyHotKey for the window of every loaded form, in load order.
    void destroyAllHotKeys();
    // The first loaded form with that window, or nullptr.
    FormPort* findWindowFromHwnd(quintptr hWnd) const;

    WindowProcedure prevWndProc() const { return m_prevWndProc; }
    int hotKeyID() const { return m_hotKeyID; }
    bool subclassed() const { return m_subclassed; }

private:
    WindowProcedure m_prevWndProc = nullptr;
    int m_hotKeyID = 0;
    bool m_subclassed = false;
    quintptr m_window = 0; // the window the key is registered for; 0 while none is
};

// The procedure createHotKey puts in front of the window's own: the hot key hides the orbin to the tray
// and brings it back; a minimise from the frame is offered to the form's own onMinimize first.
qintptr WindowProc(quintptr hWnd, WindowMessage uMsg, quintptr wParam);
