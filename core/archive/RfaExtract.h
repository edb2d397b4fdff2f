#pragma once

#include "core/archive/RfaWriter.h"

#include <QByteArrayList>

namespace marlix {

class RfaReader;

// Whether an entry name stays inside the folder it is extracted to: not absolute, no drive, no
// ".." step, no NUL byte, and a file name at the end (backslashes count as separators too).
bool isSafeEntryName(const QByteArray &name);

// Extracts the named entries (all when names is empty; a name matches its exact bytes, else
// ignoring case) below destFolder, each at destFolder/<entry name> under the name's own bytes.
// Every name is checked before anything is written; each file is streamed to disk a segment at
// a time and renamed into place, so a failure never leaves a half-written file, and a link in
// the destination is never followed (see SafeDestination). Returns the number of files
// written, one per entry. Throws marlix::Error.
int extractEntries(RfaReader &archive, const QString &destFolder, const QByteArrayList &names = {},
                   const ArchiveProgress &progress = {});

} // namespace marlix
