#pragma once

#include <QString>
#include <QStringList>

#include "core/common/MnemonicText.h"

// The list of the last files opened, kept in recent.ini beside the program, most recent first.
namespace marlix {

constexpr int RecentFilesLimit = 10;

// The list after a file has been opened: the path moves (or comes) to the top, an earlier
// equal entry (exact, case-sensitive) goes, and at most RecentFilesLimit entries remain.
QStringList recentAfterOpening(QStringList list, const QString &path);

// The lines of the recent-files file; a missing file is an empty list. Throws cannotOpen when
// the file exists but cannot be read.
QStringList readRecentFile(const QString &fileName);
// Records an opening in the file: read, update, write whole. Throws cannotOpen/cannotCreate.
QStringList addToRecentFile(const QString &fileName, const QString &path);

// The path back from a menu caption made by mnemonicFree: access-key markers go, a doubled "&"
// stands for itself.
QString recentEntryPath(const QString &caption);

} // namespace marlix
