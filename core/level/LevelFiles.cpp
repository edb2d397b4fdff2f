#include "core/level/LevelFiles.h"

#include "core/archive/RfaReader.h"
#include "core/common/Error.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace marlix {

namespace {

QString fold(const QString &path) {
    return path.toCaseFolded();
}

// Any script below it: a mod may hold only the few files of a level it changes and leave
// the rest to the base game.
bool isLevelFolder(const QString &path) {
    QDirIterator any(path, QDir::Files, QDirIterator::Subdirectories);
    while (any.hasNext())
        if (fold(any.next()).endsWith(QLatin1String(".con")))
            return true;
    return false;
}

} // namespace

QList<LevelLocation> findLevels(const QStringList &folders) {
    QList<LevelLocation> levels;
    QHash<QString, int> byName;
    auto add = [&](const QString &name, const LevelPlace &place) {
        const QString key = fold(name);
        auto it = byName.find(key);
        if (it == byName.end()) {
            byName.insert(key, int(levels.size()));
            levels.append({name, {place}});
        } else {
            levels[*it].places.append(place);
        }
    };
    for (const QString &root : folders) {
        // Folders first and archives after, per root, so a folder leads its own archive.
        QStringList levelFolders, archives;
        QDirIterator it(root, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info = it.fileInfo();
            if (fold(info.dir().dirName()) != QLatin1String("levels"))
                continue;
            if (info.isDir() && isLevelFolder(path))
                levelFolders.append(path);
            else if (info.isFile() && fold(info.suffix()) == QLatin1String("rfa"))
                archives.append(path);
        }
        levelFolders.sort(Qt::CaseInsensitive);
        archives.sort(Qt::CaseInsensitive);
        for (const QString &path : std::as_const(levelFolders))
            add(QFileInfo(path).fileName(), {path, false});
        for (const QString &path : std::as_const(archives))
            add(QFileInfo(path).completeBaseName(), {path, true});
    }
    std::sort(levels.begin(), levels.end(), [](const LevelLocation &a, const LevelLocation &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return levels;
}

LevelFiles::LevelFiles(const LevelPlace &place) : m_place(place) {
    if (!place.archive) {
        const QString root = QDir::cleanPath(place.path);
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString full = it.next();
            const QString relative = full.mid(root.size() + 1);
            m_files.insert(fold(relative), {relative, full, -1, it.fileInfo().size()});
        }
        return;
    }
    try {
        m_reader = std::make_shared<RfaReader>(place.path);
        RfaReader &reader = *m_reader;
        // Entries are "<base name>/<path>" with the base name "bf1942/levels/<level>": what
        // follows the level's own name is the path inside the level.
        const QString level = fold(QFileInfo(place.path).completeBaseName()) + QLatin1Char('/');
        const QList<RfaEntry> &entries = reader.entries();
        for (int i = 0; i < entries.size(); ++i) {
            const QString name = entries[i].name;
            const QString folded = fold(name);
            qsizetype at = folded.startsWith(level) ? 0 : folded.indexOf(QLatin1Char('/') + level);
            if (at < 0)
                continue;
            if (at > 0)
                ++at;
            const QString relative = name.mid(at + level.size());
            m_files.insert(fold(relative), {relative, place.path + QLatin1Char('/') + name, i,
                                            qint64(entries[i].originalSize)});
        }
    } catch (const Error &error) {
        m_error = error.text();
    }
}

QStringList LevelFiles::relativePaths() const {
    QStringList paths;
    for (const File &file : m_files)
        paths.append(file.relative);
    paths.sort(Qt::CaseInsensitive);
    return paths;
}

bool LevelFiles::contains(const QString &relativePath) const {
    return m_files.contains(fold(relativePath));
}

QString LevelFiles::fullPath(const QString &relativePath) const {
    return m_files.value(fold(relativePath)).full;
}

qint64 LevelFiles::size(const QString &relativePath) const {
    return m_files.value(fold(relativePath)).size;
}

QByteArray LevelFiles::read(const QString &relativePath) const {
    const auto it = m_files.find(fold(relativePath));
    if (it == m_files.end())
        return {};
    if (!m_place.archive) {
        QFile file(it->full);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    if (!m_reader)
        return {};
    try {
        return m_reader->read(it->entry);
    } catch (const Error &) {
        return {};
    }
}

} // namespace marlix
