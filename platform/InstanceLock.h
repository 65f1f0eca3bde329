#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// One copy of the program per settings file: two copies would each write their whole day at quit, and
// the one that quits last would wipe what the other stored. The lock is a file beside the settings file;
// a lock left by a copy that no longer runs (killed, or a power cut) is taken over.
class InstanceLock {
public:
    enum class State {
        Held,          // this copy is the one
        HeldElsewhere, // another copy runs on the same settings
        Unavailable,   // no lock can be made there (a read-only folder): the program goes on without one
    };

    // Takes the lock for the settings file at settingsPath.
    explicit InstanceLock(const QString& settingsPath);
    State state() const { return m_state; }
    static QString lockPath(const QString& settingsPath);

private:
    std::unique_ptr<QLockFile> m_lock;
    State m_state = State::Unavailable;
};
