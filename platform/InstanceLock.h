#pragma once

#include <QList>
#include <QString>

// One copy of the program per store: two copies would each write their whole day at quit, and the one
// that quits last would wipe what the other stored. Two locks are held by the running copy: one beside
// the settings file and one in the data folder, each on what its path resolves to, so that a copy started
// through a link, or with other settings that name the same data folder, finds the store taken. The
// system lets them go with the copy, so the locks of a copy that no longer runs (killed, or a power cut)
// are free again. On a network folder mounted without locks between machines, they hold only between
// copies on one machine.
class InstanceLock {
public:
    enum class State {
        Held,          // this copy is the one
        HeldElsewhere, // another copy runs on the same settings or data
        Unavailable,   // no lock can be made there (a read-only folder): the program goes on without one
    };

    // Takes the locks for the settings file at settingsPath and for the data folder (none when empty). The
    // data folder is made when it is not there yet; where no lock can be made in it (a read-only folder),
    // the lock of the settings stands alone.
    explicit InstanceLock(const QString& settingsPath, const QString& dataFolder = QString());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State state() const { return m_state; }
    // The lock files: beside the settings file, and in the data folder.
    static QString lockPath(const QString& settingsPath);
    static QString dataLockPath(const QString& dataFolder);

private:
    QList<int> m_fds;
    State m_state = State::Unavailable;
};
