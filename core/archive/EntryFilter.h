#pragma once

#include "core/archive/RfaReader.h"

#include <QList>
#include <QString>

namespace marlix {

// Whether an entry is a script the editor opens by default: .con, .inc or .bak, any case.
bool isScriptEntry(const QString &name);

// The indexes of the entries whose names contain text, ignoring case; only scripts unless all.
QList<int> filterEntries(const QList<RfaEntry> &entries, const QString &text, bool all);

} // namespace marlix
