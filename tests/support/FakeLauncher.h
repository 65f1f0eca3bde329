#pragma once

#include "platform/Launcher.h"

#include <QList>
#include <QPair>

// Records the programs and addresses it is asked to start.
class FakeLauncher final : public Launcher {
public:
    FakeLauncher() = default;
    FakeLauncher(const FakeLauncher&) = delete;
    FakeLauncher& operator=(const FakeLauncher&) = delete;

    bool startProgram(const QString& path, WindowState state) override {
        started.append({path, state});
        return startSucceeds;
    }
    bool openUrl(const QString& url) override {
        urls.append(url);
        return true;
    }

    QList<QPair<QString, WindowState>> started;
    QList<QString> urls;
    bool startSucceeds = true;

private:
    Injectable<Launcher>::Override m_inForce{this};
};
