#include "platform/gui/GuardedApplication.h"

#include <cstdio>

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

GuardedApplication::Handler& GuardedApplication::handler() {
    static Handler h;
    return h;
}

void GuardedApplication::setFailureHandler(Handler h) {
    handler() = std::move(h);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        try {
            if (handler())
                handler()(&e);
            else
                std::fprintf(stderr, "Quorvane: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "Quorvane: a failure while reporting a failure\n");
        }
    } catch (...) {
        try {
            if (handler()) handler()(nullptr);
        } catch (...) {
        }
    }
    return false;
}
