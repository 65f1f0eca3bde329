#pragma once

#include "platform/Injectable.h"

#include <QString>

// Starts other programs (the tour, the article readers) without waiting and without a shell, and opens
// web addresses. Tests install a launcher that records the requests.
class Launcher {
public:
    // The started program finds the window state it was asked for in this environment variable:
    // "maximized" or "normal".
    static constexpr const char* WindowStateVariable = "QUORVANE_WINDOW_STATE";

    enum class WindowState { Normal, Maximized };
    virtual ~Launcher() = default;
    // True when the program was started.
    virtual bool startProgram(const QString& path, WindowState state);
    virtual bool openUrl(const QString& url);
};

// The launcher in force: the real one unless one was installed through Injectable<Launcher>.
inline Launcher& launcher() {
    return Injectable<Launcher>::instance();
}
