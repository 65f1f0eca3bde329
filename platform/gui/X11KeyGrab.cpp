#include "platform/gui/X11KeyGrab.h"

#include "platform/WindowProcedure.h"

#include <QGuiApplication>
#include <QTimer>
#include <xcb/xcb.h>

namespace {

constexpr quint32 EscapeSym = 0xff1b;
constexpr quint32 NumLockSym = 0xff7f;
constexpr quint32 ScrollLockSym = 0xff14;

} // namespace

struct X11KeyGrab::Native {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    // The keyboard's layout, asked for at once and read when the key is first grabbed, so that a start
    // does not wait for the answers.
    xcb_get_keyboard_mapping_cookie_t mapping{};
    xcb_get_modifier_mapping_cookie_t modifiers{};
    bool keyboardRead = false;
};

std::unique_ptr<X11KeyGrab> X11KeyGrab::create() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return nullptr;
    auto native = std::make_unique<Native>();
    native->connection = x11->connection();
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(native->connection));
    if (!screens.rem) return nullptr;
    native->root = screens.data->root;
    return std::unique_ptr<X11KeyGrab>(new X11KeyGrab(std::move(native)));
}

X11KeyGrab::X11KeyGrab(std::unique_ptr<Native> native) : m_native(std::move(native)) {
    xcb_connection_t* c = m_native->connection;
    const xcb_setup_t* setup = xcb_get_setup(c);
    m_native->mapping = xcb_get_keyboard_mapping(
        c, setup->min_keycode, static_cast<quint8>(setup->max_keycode - setup->min_keycode + 1));
    m_native->modifiers = xcb_get_modifier_mapping(c);
    xcb_flush(c);
    qGuiApp->installNativeEventFilter(this);
}

X11KeyGrab::~X11KeyGrab() {
    // After the application has gone its display connection has gone too, and the grab with it.
    if (!qGuiApp) return;
    if (!m_native->keyboardRead) {
        xcb_discard_reply(m_native->connection, m_native->mapping.sequence);
        xcb_discard_reply(m_native->connection, m_native->modifiers.sequence);
    }
    ungrab();
    qGuiApp->removeNativeEventFilter(this);
}

// The key codes that give Escape, and the modifier bits of Num Lock and Scroll Lock on this keyboard.
void X11KeyGrab::readKeyboard() {
    if (m_native->keyboardRead) return;
    m_native->keyboardRead = true;
    xcb_connection_t* c = m_native->connection;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    QHash<quint32, QList<quint8>> codesOf;
    if (xcb_get_keyboard_mapping_reply_t* map =
            xcb_get_keyboard_mapping_reply(c, m_native->mapping, nullptr)) {
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        const int perCode = map->keysyms_per_keycode;
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < perCode; ++j) {
                const quint32 sym = syms[i * perCode + j];
                if (sym == EscapeSym || sym == NumLockSym || sym == ScrollLockSym)
                    codesOf[sym].append(static_cast<quint8>(first + i));
            }
        free(map);
    }
    m_escapeCodes = codesOf.value(EscapeSym);

    quint16 numLock = 0, scrollLock = 0;
    if (xcb_get_modifier_mapping_reply_t* mods =
            xcb_get_modifier_mapping_reply(c, m_native->modifiers, nullptr)) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mods);
        const int perModifier = mods->keycodes_per_modifier;
        for (int m = 0; m < 8; ++m)
            for (int k = 0; k < perModifier; ++k) {
                const xcb_keycode_t code = codes[m * perModifier + k];
                if (!code) continue;
                if (codesOf.value(NumLockSym).contains(code)) numLock |= static_cast<quint16>(1u << m);
                if (codesOf.value(ScrollLockSym).contains(code)) scrollLock |= static_cast<quint16>(1u << m);
            }
        free(mods);
    }
    const quint16 locks[] = {XCB_MOD_MASK_LOCK, numLock, scrollLock};
    m_lockMask = XCB_MOD_MASK_LOCK | numLock | scrollLock;
    m_lockCombinations = {0};
    for (quint16 lock : locks) {
        if (!lock) continue;
        const QList<quint16> sofar = m_lockCombinations;
        for (quint16 combination : sofar)
            if (!m_lockCombinations.contains(combination | lock))
                m_lockCombinations.append(combination | lock);
    }
}

// Grabs every variant; False when any was refused (another program holds it). What was granted stays.
bool X11KeyGrab::grab() {
    readKeyboard();
    xcb_connection_t* c = m_native->connection;
    QList<xcb_void_cookie_t> cookies;
    for (quint8 code : m_escapeCodes)
        for (quint16 locks : m_lockCombinations)
            cookies << xcb_grab_key_checked(c, 0, m_native->root,
                                            static_cast<quint16>(XCB_MOD_MASK_SHIFT | locks), code,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool all = !cookies.isEmpty();
    for (const xcb_void_cookie_t& cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            all = false;
            free(error);
        }
    }
    m_grabbed = true;
    return all;
}

void X11KeyGrab::ungrab() {
    if (!m_grabbed) return;
    m_grabbed = false;
    m_down = false;
    xcb_connection_t* c = m_native->connection;
    for (quint8 code : m_escapeCodes)
        for (quint16 locks : m_lockCombinations)
            xcb_ungrab_key(c, code, m_native->root, static_cast<quint16>(XCB_MOD_MASK_SHIFT | locks));
    xcb_flush(c);
}

KeyGrab::Result X11KeyGrab::registerKey(quintptr window, int id) {
    m_keys.insert(id, window);
    if (m_grabbed) return Result::Held;
    return grab() ? Result::Held : Result::Taken;
}

void X11KeyGrab::unregisterKey(quintptr window, int id) {
    if (m_keys.value(id) != window) return;
    m_keys.remove(id);
    if (m_keys.isEmpty()) ungrab();
}

bool X11KeyGrab::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!m_grabbed || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != m_native->root || !m_escapeCodes.contains(key->detail)) return false;
    if (type == XCB_KEY_RELEASE) {
        // Shift may have gone up first: any release of the key ends the press.
        m_down = false;
        m_lastRelease = key->time;
        return true;
    }
    const quint16 modifiers = key->state & 0xff & ~m_lockMask;
    if (modifiers != XCB_MOD_MASK_SHIFT) return false;
    // A held key repeats as presses alone, or as a release and a press at the same moment.
    const bool repeat = m_down || key->time == m_lastRelease;
    m_down = true;
    if (repeat) return true;
    // The hide and restore run after this event, outside the handling of the display's events.
    for (auto it = m_keys.cbegin(); it != m_keys.cend(); ++it) {
        const quintptr window = it.value();
        const int id = it.key();
        QTimer::singleShot(0, qGuiApp, [window, id] {
            windowprocedure::send(window, WindowMessage::HotKey, static_cast<quintptr>(id));
        });
    }
    return true;
}
