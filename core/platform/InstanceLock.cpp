#include "core/platform/InstanceLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlix {

namespace {

// A folder another user could have made or could enter would let that user hold the marker
// and keep every start from opening a window: only a real folder of ours, closed to others.
bool isPrivateFolder(const QByteArray &path) {
    struct stat info;
    return !path.isEmpty() && ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 0777) == 0700;
}

// The shared fallback, so that starts without XDG_RUNTIME_DIR still find each other; when it
// is taken by someone else, a folder of this process's own.
QString fallbackFolder() {
    static const QString folder = [] {
        const QByteArray shared = QFile::encodeName(QDir::tempPath() + QStringLiteral("/runtime-") +
                                                    QString::number(::getuid()));
        ::mkdir(shared.constData(), 0700);
        if (isPrivateFolder(shared))
            return QFile::decodeName(shared);
        QByteArray own = QFile::encodeName(QDir::tempPath() + QStringLiteral("/marlix-XXXXXX"));
        if (::mkdtemp(own.data()))
            return QFile::decodeName(own);
        return QString();
    }();
    return folder;
}

} // namespace

QString runtimeFolder() {
    const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    if (isPrivateFolder(folder))
        return QFile::decodeName(folder);
    return fallbackFolder();
}

InstanceLock::InstanceLock(const QString &name)
    : m_path(runtimeFolder() + QLatin1Char('/') + name) {}

InstanceLock::~InstanceLock() {
    release();
}

bool InstanceLock::heldElsewhere() {
    if (m_fd < 0)
        m_fd = ::open(QFile::encodeName(m_path).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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
