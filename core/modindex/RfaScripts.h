#pragma once

#include "core/modindex/ArchiveScripts.h"

namespace marlix {

// The largest archive entry taken for a script. Real scripts are a few hundred kilobytes at
// most; a larger entry is left out with a problem, so a hostile archive cannot make the index
// hold more than this of it at once.
constexpr qint64 maxArchiveScriptBytes = 8 * 1024 * 1024;

// The archive reader the mod index uses unless it is given another: hands on the script
// entries (.con, .inc) of an RFA archive with their bytes, one at a time. Throws Error for an
// unreadable or damaged archive (its table); a damaged or oversized script entry, or one there
// is no memory for, is left out with a problem.
void readRfaScripts(const QString &archivePath, const ArchiveScriptVisitor &take,
                    QStringList &problems);

} // namespace marlix
