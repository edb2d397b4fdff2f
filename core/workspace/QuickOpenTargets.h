#pragma once

#include "core/modindex/ModIndex.h"

#include <QList>
#include <QString>

// What quick open offers from the mod index: its scripts (on disk and inside archives) and the
// names they define.
namespace marlix {

struct QuickOpenTarget {
    QString shown;  // what is matched and shown: a script's path below its index folder, a name
    QString path;   // the index's path of the script to open
    int line = 0;   // of a definition, counting from 1
    QString detail; // a definition's family, type and place
};

struct QuickOpenTargets {
    QList<QuickOpenTarget> scripts;
    QList<QuickOpenTarget> names;
};

// Scripts inside an archive that only repeat a script on disk are left out, and so are their
// names: the script on disk is the one the author edits.
QuickOpenTargets quickOpenTargets(const ModIndex &index);

} // namespace marlix
