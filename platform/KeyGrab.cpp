#include "KeyGrab.h"

namespace {
KeyGrab g_nothing;
KeyGrab* g_grab = nullptr;
} // namespace

KeyGrab& keyGrab() {
    return g_grab ? *g_grab : g_nothing;
}

void setKeyGrab(KeyGrab* grab) {
    g_grab = grab;
}
