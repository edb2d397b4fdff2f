#pragma once

#include <QString>

namespace marlix {

// The user's runtime folder: XDG_RUNTIME_DIR when it is ours and closed to others (mode 0700),
// otherwise runtime-<uid> below the temporary folder on the same terms, or else a folder made
// for this process alone. The instance marker and the hand-off socket live there.
QString runtimeFolder();

// The marker of the running first instance: an exclusive lock on a file of the marker's name
// in the runtime folder. The kernel drops the lock when the process ends in any way, so a
// crashed first instance never blocks the next start.
class InstanceLock {
public:
    explicit InstanceLock(const QString &name);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when another process holds the marker. False also when the lock file cannot be
    // made at all, or is a symbolic link: a start that cannot tell runs as the first instance
    // rather than not at all.
    bool heldElsewhere();
    bool owned() const { return m_fd >= 0 && m_owned; }
    void release();

private:
    QString m_path;
    int m_fd = -1;
    bool m_owned = false;
};

} // namespace marlix
