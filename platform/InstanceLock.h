#pragma once

#include <QString>

// One copy of the program per settings file: two copies would each write their whole day at quit, and
// the one that quits last would wipe what the other stored. The lock is a file beside the settings file,
// held by the running copy; the system lets it go with the copy, so the lock of a copy that no longer
// runs (killed, or a power cut) is free again. On a network folder mounted without locks between
// machines, it holds only between copies on one machine.
class InstanceLock {
public:
    enum class State {
        Held,          // this copy is the one
        HeldElsewhere, // another copy runs on the same settings
        Unavailable,   // no lock can be made there (a read-only folder): the program goes on without one
    };

    // Takes the lock for the settings file at settingsPath.
    explicit InstanceLock(const QString& settingsPath);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State state() const { return m_state; }
    static QString lockPath(const QString& settingsPath);

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
};
