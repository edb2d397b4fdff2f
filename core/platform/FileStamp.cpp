#include "core/platform/FileStamp.h"

#include <QFile>
#include <sys/stat.h>

namespace marlix {

bool readFileStamp(const QString &path, FileStamp &stamp) {
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    stamp.size = qint64(status.st_size);
    stamp.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return true;
}

} // namespace marlix
