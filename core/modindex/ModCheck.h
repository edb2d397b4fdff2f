#pragma once

#include "core/modindex/ModIndex.h"
#include "core/modindex/ModProblem.h"

#include <QList>
#include <QString>

// The mod check: what in the indexed scripts the game would get wrong without a word. Names
// are decided per load (see ModLoads.h): a name is defined twice only when one play reads both
// definitions, and undefined only when no play that reads the reference defines it. The base
// game's definitions count everywhere, its files resolve include and run lines, and its own
// scripts are never reported. "rem marlix: ignore" lines silence what they name.
namespace marlix {

// Every problem of the mod's scripts, ordered by file and line.
QList<ModProblem> checkMod(const ModIndex &index);

// The problems of one script whose text may differ from what the index read (an open
// document): the index with that text in place of the script's, the problems of that script
// only. A path the index does not hold is checked as a script standing there.
// Other open documents count with their own unsaved text (`openScans`, their scans by
// path): a name defined in another tab counts before that tab is saved.
struct OpenScan {
    QString path;
    const ScriptScan *scan = nullptr;
};
QList<ModProblem> checkScript(const ModIndex &index, const QString &path, const QByteArray &text,
                              const QList<OpenScan> &openScans = {});

// "file:line: severity: message"
QString problemLine(const ModProblem &problem);
// The summary line: how many problems of each kind.
QString problemSummary(const QList<ModProblem> &problems);

} // namespace marlix
