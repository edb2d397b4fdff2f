#include "core/archive/SourceTree.h"

#include "core/common/LineFile.h"

#include <QPair>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlix {

namespace {

using FolderId = QPair<quint64, quint64>;

struct PendingFolder {
    QByteArray path;
    QByteArray relative;
    QList<FolderId> holders; // this folder and the folders above it
};

QString problem(const QByteArray &path, const QString &reason) {
    return QStringLiteral("%1: %2").arg(decodePathLine(path), reason);
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QList<SourceFile> listSourceFiles(const QByteArray &folder, QStringList &problems) {
    QList<SourceFile> files;
    struct stat status;
    if (::stat(folder.constData(), &status) != 0) {
        problems.append(problem(folder, systemReason(errno)));
        return files;
    }
    QList<PendingFolder> pending{{folder, {}, {{quint64(status.st_dev), quint64(status.st_ino)}}}};
    while (!pending.isEmpty()) {
        const PendingFolder current = pending.takeLast();
        DIR *dir = ::opendir(current.path.constData());
        if (!dir) {
            problems.append(problem(current.path, systemReason(errno)));
            continue;
        }
        QByteArrayList names;
        errno = 0;
        while (const dirent *item = ::readdir(dir)) {
            const QByteArray name(item->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        const int listError = errno;
        ::closedir(dir);
        if (listError != 0)
            problems.append(problem(current.path, systemReason(listError)));

        for (const QByteArray &name : names) {
            const QByteArray path = current.path + '/' + name;
            const QByteArray relative =
                current.relative.isEmpty() ? name : current.relative + '/' + name;
            if (::stat(path.constData(), &status) != 0) {
                struct stat link;
                const bool dangling = errno == ENOENT && ::lstat(path.constData(), &link) == 0;
                problems.append(problem(path, dangling ? QStringLiteral("a link to nothing")
                                                       : systemReason(errno)));
                continue;
            }
            const FolderId id{quint64(status.st_dev), quint64(status.st_ino)};
            if (S_ISDIR(status.st_mode)) {
                if (current.holders.contains(id)) {
                    problems.append(
                        problem(path, QStringLiteral("a link back to a folder that holds it")));
                    continue;
                }
                pending.append({path, relative, current.holders + QList<FolderId>{id}});
            } else if (S_ISREG(status.st_mode)) {
                const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
                if (fd < 0) {
                    problems.append(problem(path, systemReason(errno)));
                    continue;
                }
                ::close(fd);
                files.append({path, relative, qint64(status.st_size), id.first, id.second});
            } else {
                problems.append(problem(path, QStringLiteral("neither a file nor a folder")));
            }
        }
    }
    return files;
}

} // namespace marlix
