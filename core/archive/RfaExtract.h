#pragma once

#include "core/archive/RfaWriter.h"

#include <QStringList>

namespace marlix {

class RfaReader;

// Whether an entry name stays inside the folder it is extracted to: not absolute, no drive, no
// ".." step, no empty name (backslashes count as separators too).
bool isSafeEntryName(const QString &name);

// Extracts the named entries (all when names is empty; names compared ignoring case) below
// destFolder, each at destFolder/<entry name>. Every name is checked before anything is
// written, and each file is written whole and renamed into place, so a failure never leaves a
// half-written file. Returns the number of files written. Throws marlix::Error.
int extractEntries(RfaReader &archive, const QString &destFolder, const QStringList &names = {},
                   const ArchiveProgress &progress = {});

} // namespace marlix
