#pragma once

#include "core/OrbinWindow.h"

#include <QStringList>

// An orbin that records what the core asked of it.
class FakeOrbin final : public OrbinWindow {
public:
    FormPort* form() override { return formPort; }
    void updateInfo() override { calls << QStringLiteral("updateInfo"); }
    void shrinkFloater() override { calls << QStringLiteral("shrink"); }
    void expandFloater() override { calls << QStringLiteral("expand"); }
    void showWindow() override {
        visible = true;
        calls << QStringLiteral("show");
    }
    void hideWindow() override {
        visible = false;
        calls << QStringLiteral("hide");
    }
    bool isWindowVisible() const override { return visible; }

    QStringList calls;
    bool visible = false;
    FormPort* formPort = nullptr; // the window behind it, when a test gives it one
};
