#include "core/WindowShell.h"

namespace {
WindowShell* g_shell = nullptr;
}

WindowShell* windowShell() {
    return g_shell;
}

void setWindowShell(WindowShell* shell) {
    g_shell = shell;
}
