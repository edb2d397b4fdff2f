#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// How archive entries reach the mod index: a reader hands the script entries (.con, .inc) of
// one archive with their bytes to a visitor, one at a time, so an archive of any size costs the
// memory of one script; it throws Error when the archive as a whole cannot be read. The index
// knows nothing of the archive format itself.
namespace marlix {

struct ArchiveScript {
    QByteArray name; // the entry's name in the archive, "/" separators
    QByteArray bytes;
};

// Takes one script; returns false to stop the reading there.
using ArchiveScriptVisitor = std::function<bool(ArchiveScript &&script)>;
// A script entry that cannot be read (too large for a script, damaged) is left out and its
// problem added to problems; the other entries are still handed on.
using ArchiveScriptReader = std::function<void(
    const QString &archivePath, const ArchiveScriptVisitor &take, QStringList &problems)>;

} // namespace marlix
