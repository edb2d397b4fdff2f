#include "core/startup/HandOff.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "core/document/DocumentSlots.h"
#include "core/platform/InstanceLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace marlix {

QStringList commandLineFiles(const QStringList &arguments, const QString &workingFolder) {
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument.isEmpty())
            continue;
        const QString absolute =
            workingFolder.isEmpty() ? argument : QDir(workingFolder).absoluteFilePath(argument);
        files.append(cleanDocumentPath(absolute));
    }
    return files;
}

namespace {

// The hand-off names what a start was given to open; no start opens more than a window holds
// (29 scripts), so the lines after those are never read.
constexpr LineLimits handOffLimits{32, MaxSettingLineBytes, -1};

bool writeHandOffOnce(const QString &fileName, const QByteArray &bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The file's own mode, not the one of a file that another writer or the running window
    // may be replacing or deleting at this moment (which would read as no permissions at all).
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    return file.write(bytes) == bytes.size() && file.commit();
}

QByteArray handOffBytes(const QStringList &files) {
    QList<QByteArray> lines;
    for (const QString &file : files)
        lines.append(QFile::encodeName(file));
    if (lines.isEmpty())
        lines.append(QByteArray());
    return joinLines(lines);
}

} // namespace

void writeHandOff(const QString &fileName, const QStringList &files) {
    const QByteArray bytes = handOffBytes(files);
    // Later starts in a burst replace the file under each other while the running window
    // takes it up and deletes it; a write caught between those steps is simply made again.
    for (int attempt = 0; attempt < 20; ++attempt)
        if (writeHandOffOnce(fileName, bytes))
            return;
    throw Error::cannotCreate(fileName);
}

std::optional<QStringList> takeHandOff(const QString &fileName) {
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    QStringList lines;
    try {
        lines = readPathLines(fileName, handOffLimits);
    } catch (const Error &) {
    }
    // A file that cannot be removed would be acted on at every paint; it names nothing.
    if (!QFile::remove(fileName) || lines.isEmpty())
        return std::nullopt;
    return lines;
}

bool dropHandOffOf(const QString &fileName, const QStringList &files) {
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != handOffBytes(files))
        return false;
    return QFile::remove(fileName);
}

HandOffTurn::HandOffTurn(int waitMs) {
    const QString path = runtimeFolder() + QStringLiteral("/Marlix_handoff");
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                  0600);
    if (m_fd < 0)
        return;
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        if (deadline.hasExpired())
            break;
        QThread::msleep(5);
    }
    ::close(m_fd);
    m_fd = -1;
}

HandOffTurn::~HandOffTurn() {
    if (m_fd >= 0)
        ::close(m_fd); // the lock goes with the descriptor
}

} // namespace marlix
