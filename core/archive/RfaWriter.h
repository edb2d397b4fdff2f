#pragma once

#include <QString>
#include <functional>

namespace marlix {

// Called after each file is packed or extracted: how many are done, of how many, and which.
using ArchiveProgress = std::function<void(int done, int total, const QString &name)>;

struct PackResult {
    int files = 0;
    qint64 originalBytes = 0;
    qint64 archiveBytes = 0;
};

// Packs every file below sourceFolder (nested folders included) into the archive at outPath,
// entries named "<baseName>/<relative path>" and sorted ignoring case. Packing the same folder
// twice gives the same bytes. The archive is written whole to a temporary file beside it and
// renamed, so a failure leaves an earlier archive of that name as it was. Throws marlix::Error.
PackResult packFolder(const QString &sourceFolder, const QString &baseName, const QString &outPath,
                      bool compress, const ArchiveProgress &progress = {});

// The descriptor text written into the header of every archive we make.
QByteArray archiveDescriptor();

} // namespace marlix
