#include "core/archive/SafeDestination.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlix {

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool isLink(int folder, const char *name) {
    struct stat status;
    return ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode);
}

bool writeAll(int fd, const char *data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

QByteArrayList stepsOf(const QByteArray &relative) {
    QByteArrayList steps;
    QByteArray step;
    for (char c : relative) {
        if (c == '/' || c == '\\') {
            if (!step.isEmpty() && step != ".")
                steps.append(step);
            step.clear();
        } else {
            step.append(c);
        }
    }
    if (!step.isEmpty() && step != ".")
        steps.append(step);
    return steps;
}

} // namespace

SafeDestination::SafeDestination(const QString &folder) : m_folder(QDir::cleanPath(folder)) {
    if (!QDir().mkpath(m_folder))
        throw Error::cannotCreate(m_folder);
    m_root = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_root < 0)
        throw Error::cannotCreate(m_folder);
}

SafeDestination::~SafeDestination() {
    for (int fd : m_openFolders)
        ::close(fd);
    if (m_root >= 0)
        ::close(m_root);
}

QString SafeDestination::shown(const QByteArrayList &steps) const {
    return m_folder + QLatin1Char('/') + decodePathLine(steps.join('/'));
}

void SafeDestination::refuseLink(const QByteArrayList &steps, const QString &what) const {
    throw Error(QStringLiteral("Refused %1: %2 in the destination is a link, and extraction "
                               "never follows one")
                    .arg(what, shown(steps)));
}

int SafeDestination::enter(const QByteArrayList &folders, const QString &what) {
    qsizetype kept = 0;
    while (kept < m_openNames.size() && kept < folders.size() && m_openNames[kept] == folders[kept])
        ++kept;
    while (m_openNames.size() > kept) {
        ::close(m_openFolders.back());
        m_openFolders.pop_back();
        m_openNames.removeLast();
    }
    for (qsizetype i = kept; i < folders.size(); ++i) {
        const int parent = m_openFolders.empty() ? m_root : m_openFolders.back();
        const char *name = folders[i].constData();
        int fd = ::openat(parent, name, folderFlags);
        bool made = false;
        if (fd < 0 && errno == ENOENT) {
            made = ::mkdirat(parent, name, 0777) == 0;
            if (!made && errno != EEXIST)
                throw Error::cannotCreate(shown(folders.mid(0, i + 1)));
            fd = ::openat(parent, name, folderFlags);
        }
        if (fd < 0) {
            if (isLink(parent, name))
                refuseLink(folders.mid(0, i + 1), what);
            throw Error::cannotCreate(shown(folders.mid(0, i + 1)));
        }
        m_openFolders.push_back(fd);
        m_openNames.append(folders[i]);
        if (made)
            ++m_madeForThisFile;
    }
    return m_openFolders.empty() ? m_root : m_openFolders.back();
}

void SafeDestination::removeFoldersMadeForThisFile() {
    for (; m_madeForThisFile > 0; --m_madeForThisFile) {
        ::close(m_openFolders.back());
        m_openFolders.pop_back();
        const QByteArray name = m_openNames.takeLast();
        const int parent = m_openFolders.empty() ? m_root : m_openFolders.back();
        ::unlinkat(parent, name.constData(), AT_REMOVEDIR);
    }
}

void SafeDestination::write(const QByteArray &relative, const QString &what,
                            const std::function<void(const ByteSink &)> &fill) {
    const QByteArrayList steps = stepsOf(relative);
    if (steps.isEmpty() || steps.contains(".."))
        throw Error::cannotCreate(shown({relative}));
    m_madeForThisFile = 0;
    try {
        writeFile(enter(steps.mid(0, steps.size() - 1), what), steps, what, fill);
    } catch (...) {
        // A file that fails leaves no trace, not even the empty folders made for it.
        removeFoldersMadeForThisFile();
        throw;
    }
}

void SafeDestination::writeFile(int folder, const QByteArrayList &steps, const QString &what,
                                const std::function<void(const ByteSink &)> &fill) {
    const QByteArray &leaf = steps.last();

    struct stat existing;
    if (::fstatat(folder, leaf.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(existing.st_mode))
            refuseLink(steps, what);
        if (m_written.contains({quint64(existing.st_dev), quint64(existing.st_ino)}))
            throw Error(QStringLiteral("Refused %1: an earlier entry was written to %2, which "
                                       "the file system takes for the same file")
                            .arg(what, shown(steps)));
    }

    // A fresh name nobody else has made, so nothing planted is ever opened for writing.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = QByteArrayLiteral(".rfa-") + QByteArray::number(qint64(::getpid())) + '-' +
                    QByteArray::number(m_temporaries++) + QByteArrayLiteral(".part");
        fd = ::openat(folder, temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw Error::cannotCreate(shown(steps));
    bool written = true;
    try {
        fill([&](const char *data, qsizetype size) {
            if (written)
                written = writeAll(fd, data, size);
        });
    } catch (...) {
        ::close(fd);
        ::unlinkat(folder, temporary.constData(), 0);
        throw;
    }
    struct stat made;
    written = written && ::fstat(fd, &made) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::renameat(folder, temporary.constData(), folder, leaf.constData()) != 0) {
        ::unlinkat(folder, temporary.constData(), 0);
        throw Error::cannotCreate(shown(steps));
    }
    m_written.insert({quint64(made.st_dev), quint64(made.st_ino)});
}

} // namespace marlix
