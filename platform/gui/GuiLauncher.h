#pragma once

#include "platform/Launcher.h"

// The launcher of the window programs: web addresses open in the desktop's browser.
class GuiLauncher final : public Launcher {
public:
    bool openUrl(const QString& url) override;
};
