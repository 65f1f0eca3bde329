#include "core/HotKey.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "core/Tray.h"
#include "platform/FormPort.h"
#include "platform/KeyGrab.h"

namespace {

// Every registration takes a new id.
int g_lastID = 0xC000;
// Another program holding the key is logged once.
bool g_takenLogged = false;

} // namespace

HotKey::~HotKey() {
    if (m_window) destroyHotKey(m_window);
}

void HotKey::createHotKey(quintptr hWnd) {
    if (gSettings->HostName().toLower() == QStringLiteral("computer")) return;
    if (!gSettings->bBossKey()) return;
    // Registered again: the earlier registration goes first, so that one destroyHotKey releases the key.
    if (m_window) keyGrab().unregisterKey(m_window, m_hotKeyID);
    m_window = 0;
    m_hotKeyID = ++g_lastID;

    const WindowProcedure previous = windowprocedure::set(hWnd, &WindowProc);
    if (!m_subclassed) {
        m_prevWndProc = previous;
        m_subclassed = true;
    }
    m_window = hWnd;
    if (keyGrab().registerKey(hWnd, m_hotKeyID) == KeyGrab::Result::Taken && !g_takenLogged) {
        g_takenLogged = true;
        if (gFile)
            gFile->writeToLog(QStringLiteral("The hide key Shift+Esc is held by another program; Quorvane "
                                             "goes on without it."));
    }
}

void HotKey::destroyHotKey(quintptr hWnd) {
    if (!m_window || hWnd != m_window) return;
    keyGrab().unregisterKey(hWnd, m_hotKeyID);
    if (m_subclassed) windowprocedure::set(hWnd, m_prevWndProc);
    m_subclassed = false;
    m_window = 0;
}

void HotKey::destroyAllHotKeys() {
    for (FormPort* form : forms::loaded())
        destroyHotKey(form->windowHandle());
}

FormPort* HotKey::findWindowFromHwnd(quintptr hWnd) const {
    for (FormPort* form : forms::loaded())
        if (form->windowHandle() == hWnd) return form;
    return nullptr;
}

qintptr WindowProc(quintptr hWnd, WindowMessage uMsg, quintptr wParam) {
    HotKey* hotKey = gHotKey;
    const WindowProcedure previous = hotKey ? hotKey->prevWndProc() : nullptr;
    bool taken = false;
    const bool ok = trapped(QStringLiteral(" - WindowProc: "), QStringLiteral(" Error"), [&] {
        if (!hotKey || !gSettings) return;
        if (gSettings->bBossKey() && uMsg == WindowMessage::HotKey) {
            // The key goes by where the orbin is now, whichever way it got there: in the tray (from the
            // key, the menu or Esc) it comes back, in sight it goes.
            if (!isInTray()) {
                FormPort* orbin = gOrbinWindow ? gOrbinWindow->form() : nullptr;
                if (orbin && hWnd == orbin->windowHandle()) minimizeToTray(false, orbin);
            } else {
                minimizeToTray(true);
            }
        }
        if (uMsg == WindowMessage::MinimizeClick) {
            // The form may handle the minimise itself; one without onMinimize lets it through.
            FormPort* form = hotKey->findWindowFromHwnd(hWnd);
            taken = form && form->askByName(QStringLiteral("onMinimize")).value_or(false);
        }
    });
    if (!ok || taken) return 0;
    return windowprocedure::call(previous, hWnd, uMsg, wParam);
}
