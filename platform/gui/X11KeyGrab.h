#pragma once

#include "platform/KeyGrab.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>
#include <memory>

// The hide key on an X11 desktop: Shift+Escape grabbed on the root window for every combination of the
// lock keys (Caps Lock, Num Lock, Scroll Lock), so that it works whichever of them is on. A press reaches
// the registered window's procedure once the event being handled is done; a held key does not repeat.
class X11KeyGrab final : public KeyGrab, public QAbstractNativeEventFilter {
public:
    // The backend for the running application, or nullptr when it does not run on X11.
    static std::unique_ptr<X11KeyGrab> create();
    ~X11KeyGrab() override;

    Result registerKey(quintptr window, int id) override;
    void unregisterKey(quintptr window, int id) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Native;
    explicit X11KeyGrab(std::unique_ptr<Native> native);
    void readKeyboard();
    bool grab();
    void ungrab();

    std::unique_ptr<Native> m_native;
    QList<quint8> m_escapeCodes;
    QList<quint16> m_lockCombinations; // every combination of the lock modifiers, none included
    quint16 m_lockMask = 0;
    QHash<int, quintptr> m_keys; // id -> window
    bool m_grabbed = false;
    bool m_down = false;
    quint32 m_lastRelease = 0;
};
