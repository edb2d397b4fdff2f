#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace marlix {

QString runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath() + QStringLiteral("/runtime-") + QString::number(getuid());
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

InstanceLock::InstanceLock(const QString &name)
    : m_path(runtimeFolder() + QLatin1Char('/') + name) {}

InstanceLock::~InstanceLock() {
    release();
}

bool InstanceLock::heldElsewhere() {
    if (m_fd < 0)
        m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return false;
    int result;
    do
        result = ::flock(m_fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_owned = true;
        return false;
    }
    return errno == EWOULDBLOCK;
}

void InstanceLock::release() {
    if (m_fd < 0)
        return;
    if (m_owned)
        ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
    m_owned = false;
}

} // namespace marlix
