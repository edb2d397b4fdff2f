#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// How archive entries reach the mod index: a reader gives the script entries (.con, .inc) of
// one archive with their bytes, and throws Error when the archive cannot be read. The index
// knows nothing of the archive format itself.
namespace marlix {

struct ArchiveScript {
    QByteArray name; // the entry's name in the archive, "/" separators
    QByteArray bytes;
};

using ArchiveScriptReader = std::function<QList<ArchiveScript>(const QString &archivePath)>;

} // namespace marlix
