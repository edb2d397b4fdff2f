#pragma once

#include "core/modindex/ArchiveScripts.h"

namespace marlix {

// The script entries (.con, .inc) of an RFA archive with their bytes: the archive reader the
// mod index uses unless it is given another. Throws Error for an unreadable or damaged
// archive.
QList<ArchiveScript> readRfaScripts(const QString &archivePath);

} // namespace marlix
