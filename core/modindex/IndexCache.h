#pragma once

#include "core/modindex/ScriptScanner.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

// What the mod index keeps between runs, so that a start with nothing changed reads no
// script again.
namespace marlix {

// One script of the index. For an archive entry, `path` is the archive's path, a "/" and the
// entry name; `logicalPath` is where the game sees the script (the entry below the folder
// that holds the "archives" folder), and `size`/`modified` are the archive's.
struct IndexedFile {
    QString path;
    QString logicalPath;
    QString archive; // empty for a script on disk
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since the epoch (FileStamp)
    // An archive entry of the same logical path as a script on disk: the script on disk is
    // the one the author edits, so the entry's names do not count twice.
    bool shadowed = false;
    ScriptScan scan;
    // Not kept in the cache, worked out again by each build: whether the script belongs to
    // the base game (the game's own folders and archives), and its mod's root folder.
    bool base = false;
    QString root;
};

using ArchiveTimes = QHash<QString, QPair<qint64, qint64>>; // archive path: size, time

struct IndexCacheContents {
    QList<IndexedFile> files;
    ArchiveTimes archives;
};

// The cache is only good for the command tables it was made with (CommandTable::fingerprint).
// Writing is best effort: a cache that cannot be written only makes the next start slower.
bool writeIndexCache(const QString &path, const QByteArray &fingerprint,
                     const IndexCacheContents &contents);
// False, with nothing read, for a missing, damaged or foreign cache.
bool readIndexCache(const QString &path, const QByteArray &fingerprint,
                    IndexCacheContents &contents);

} // namespace marlix
