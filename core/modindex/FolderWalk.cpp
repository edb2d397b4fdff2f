#include "core/modindex/FolderWalk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace marlix {

namespace {

bool inside(const QString &path, const QStringList &roots) {
    for (const QString &root : roots)
        if (path == root || path.startsWith(root + QLatin1Char('/')))
            return true;
    return false;
}

} // namespace

FolderWalk walkFolders(const QStringList &roots, const std::function<bool(const QString &)> &wanted,
                       int fileLimit) {
    FolderWalk walk;
    QStringList canonicalRoots;
    for (const QString &root : roots) {
        const QString canonical = QFileInfo(root).canonicalFilePath();
        if (!canonical.isEmpty())
            canonicalRoots.append(canonical);
    }
    QSet<QString> seen;
    QStringList pending;
    for (const QString &root : roots) {
        const QString path = QDir::cleanPath(root);
        const QFileInfo info(path);
        if (info.isDir())
            pending.append(path);
        else if (!info.exists())
            walk.errors.append(QStringLiteral("No such folder %1").arg(path));
        else if (wanted(path) && !seen.contains(path)) {
            seen.insert(path);
            walk.files.append(path);
        }
    }
    QSet<QString> visited;
    qint64 count = 0;
    while (!pending.isEmpty() && !walk.stopped) {
        const QString folder = pending.takeLast();
        if (visited.contains(folder))
            continue;
        visited.insert(folder);
        DIR *dir = opendir(QFile::encodeName(folder).constData());
        if (!dir) {
            walk.errors.append(QStringLiteral("Cannot read folder %1").arg(folder));
            continue;
        }
        while (const dirent *entry = readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QString path = folder + QLatin1Char('/') + QFile::decodeName(name);
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat status;
                if (lstat(QFile::encodeName(path).constData(), &status) != 0)
                    continue;
                type = S_ISDIR(status.st_mode)   ? DT_DIR
                       : S_ISLNK(status.st_mode) ? DT_LNK
                       : S_ISREG(status.st_mode) ? DT_REG
                                                 : DT_UNKNOWN;
            }
            if (type == DT_DIR) {
                pending.append(path);
                continue;
            }
            if (type == DT_LNK) {
                const QString target = QFileInfo(path).canonicalFilePath();
                if (!target.isEmpty() && !inside(target, canonicalRoots))
                    walk.notes.append(
                        QStringLiteral("Not followed: %1 is a link out of the folders").arg(path));
                continue;
            }
            if (type != DT_REG)
                continue;
            if (++count > fileLimit) {
                walk.errors.append(QStringLiteral("Stopped after %1 files: the folders hold more "
                                                  "files than a mod does (%2)")
                                       .arg(fileLimit)
                                       .arg(roots.join(QStringLiteral(", "))));
                walk.stopped = true;
                break;
            }
            if (wanted(path) && !seen.contains(path)) {
                seen.insert(path);
                walk.files.append(path);
            }
        }
        closedir(dir);
    }
    std::sort(walk.files.begin(), walk.files.end());
    return walk;
}

} // namespace marlix
