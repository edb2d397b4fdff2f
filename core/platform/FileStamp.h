#pragma once

#include <QString>

namespace marlix {

// A file's size and modification time, to tell whether it changed since it was last read. The
// time is in nanoseconds since the epoch as the file system keeps it, read without the time
// zone conversion of QFileInfo, which costs more than the rest of a walk over a large mod.
struct FileStamp {
    qint64 size = 0;
    qint64 modified = 0;
};

// False when there is no regular file at the path.
bool readFileStamp(const QString &path, FileStamp &stamp);

} // namespace marlix
