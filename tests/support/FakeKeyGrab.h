#pragma once

#include "platform/KeyGrab.h"
#include "platform/WindowProcedure.h"

#include <QHash>

// A desktop's key grab without a desktop: it records what is held and presses the key on request.
class FakeKeyGrab final : public KeyGrab {
public:
    FakeKeyGrab() = default;
    FakeKeyGrab(const FakeKeyGrab&) = delete;
    FakeKeyGrab& operator=(const FakeKeyGrab&) = delete;

    Result registerKey(quintptr window, int id) override {
        held.insert(id, window);
        return answer;
    }
    void unregisterKey(quintptr window, int id) override {
        if (held.value(id) == window) held.remove(id);
    }
    // Shift+Esc somewhere on the desktop: the window of every held key hears it.
    void press() const {
        const QHash<int, quintptr> now = held;
        for (auto it = now.cbegin(); it != now.cend(); ++it)
            windowprocedure::send(it.value(), WindowMessage::HotKey, static_cast<quintptr>(it.key()));
    }

    QHash<int, quintptr> held; // id -> window
    Result answer = Result::Held;

private:
    Injectable<KeyGrab>::Override m_inForce{this};
};
