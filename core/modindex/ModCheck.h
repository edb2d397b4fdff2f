#pragma once

#include "core/modindex/ModIndex.h"

#include <QList>
#include <QString>

// The mod check: what in the indexed scripts the game would get wrong without a word.
namespace marlix {

struct ModProblem {
    enum Kind { UndefinedName, DuplicateName, MissingFile, UnknownCommand };
    Kind kind = UndefinedName;
    QString file;
    int line = 0;
    QString message;
};

// Every reference to a name that nothing indexed defines in its family, every name defined
// again in the same family (the later definitions), every include or run that names no file
// and every command the known-command table does not hold; ordered by file and line.
QList<ModProblem> checkMod(const ModIndex &index);

// "file:line: message"
QString problemLine(const ModProblem &problem);
// The summary line: how many problems of each kind.
QString problemSummary(const QList<ModProblem> &problems);

} // namespace marlix
