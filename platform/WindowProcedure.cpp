#include "platform/WindowProcedure.h"

#include <QHash>

namespace {

QHash<quintptr, WindowProcedure>& procedures() {
    static QHash<quintptr, WindowProcedure> table;
    return table;
}

// Set by the window's own handling while a message is being sent.
bool g_reachedOwn = false;

} // namespace

namespace windowprocedure {

qintptr ownProcedure(quintptr, WindowMessage, quintptr) {
    g_reachedOwn = true;
    return 0;
}

WindowProcedure set(quintptr window, WindowProcedure procedure) {
    const WindowProcedure previous = get(window);
    if (!procedure || procedure == &ownProcedure)
        procedures().remove(window);
    else
        procedures().insert(window, procedure);
    return previous;
}

WindowProcedure get(quintptr window) {
    return procedures().value(window, &ownProcedure);
}

qintptr call(WindowProcedure procedure, quintptr window, WindowMessage message, quintptr param) {
    return (procedure ? procedure : &ownProcedure)(window, message, param);
}

bool send(quintptr window, WindowMessage message, quintptr param) {
    const bool outer = g_reachedOwn;
    g_reachedOwn = false;
    call(get(window), window, message, param);
    const bool reached = g_reachedOwn;
    g_reachedOwn = outer;
    return reached;
}

} // namespace windowprocedure
