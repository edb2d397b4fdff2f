#include "core/modindex/ModLoads.h"

#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModIndex.h"
#include "core/modindex/ModLayout.h"

#include <QHash>
#include <QSet>

namespace marlix {

std::vector<ScriptLoads> scriptLoads(const ModIndex &index,
                                     const std::vector<const IndexedFile *> &files) {
    const int count = int(files.size());
    std::vector<ScriptLoads> loads(count);
    std::vector<QString> insideLevel(count); // folded path below the level's folder
    QHash<QString, int> levels, byPath, modes;
    for (int i = 0; i < count; ++i) {
        byPath.insert(files[i]->path, i);
        if (files[i]->base)
            continue;
        const QString level = levelFolderOf(files[i]->logicalPath);
        if (level.isEmpty())
            continue;
        const QString folded = foldPath(level);
        loads[i].level = int(levels.size());
        const auto known = levels.constFind(folded);
        if (known != levels.constEnd())
            loads[i].level = *known;
        else
            levels.insert(folded, loads[i].level);
        insideLevel[i] = foldPath(files[i]->logicalPath.mid(level.size() + 1));
    }
    auto modeKey = [](int level, const QString &mode) {
        return QString::number(level) + QLatin1Char('/') + mode;
    };
    // The starts: each level's Init.con and its GameTypes/<Mode>.con.
    QList<QPair<int, int>> starts; // file, mode (-1 for the level's shared scripts)
    static const QLatin1String gameTypes("gametypes/");
    for (int i = 0; i < count; ++i) {
        const QString &inside = insideLevel[i];
        if (inside == QLatin1String("init.con")) {
            starts.append({i, -1});
        } else if (inside.startsWith(gameTypes) && inside.endsWith(QLatin1String(".con")) &&
                   inside.indexOf(QLatin1Char('/'), gameTypes.size()) < 0) {
            const QString key = modeKey(loads[i].level, inside.mid(gameTypes.size()).chopped(4));
            const int mode = int(modes.size());
            modes.insert(key, mode);
            starts.append({i, mode});
        }
    }

    std::vector<char> sharedReach(count, 0);
    std::vector<QList<int>> modeReach(count);
    for (const auto &[start, mode] : std::as_const(starts)) {
        const int level = loads[start].level;
        QSet<int> seen{start};
        QList<int> pending{start};
        while (!pending.isEmpty()) {
            const int i = pending.takeLast();
            if (mode < 0)
                sharedReach[i] = 1;
            else if (!modeReach[i].contains(mode))
                modeReach[i].append(mode);
            for (const FileReference &file : files[i]->scan.files) {
                const int target = byPath.value(index.resolveFile(files[i]->path, file.path), -1);
                // A script outside the level is read in every play anyway.
                if (target >= 0 && loads[target].level == level && !seen.contains(target)) {
                    seen.insert(target);
                    pending.append(target);
                }
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        ScriptLoads &load = loads[i];
        if (load.level < 0 || sharedReach[i])
            continue;
        if (!modeReach[i].isEmpty()) {
            load.shared = false;
            load.modes = modeReach[i];
            continue;
        }
        // Not reached: the folder decides.
        const QString first = insideLevel[i].section(QLatin1Char('/'), 0, 0);
        const int mode = modes.value(modeKey(load.level, first), -1);
        if (mode >= 0 && insideLevel[i].contains(QLatin1Char('/'))) {
            load.shared = false;
            load.modes = {mode};
        }
    }
    return loads;
}

bool readTogether(const ScriptLoads &a, const ScriptLoads &b) {
    if (a.level < 0 || b.level < 0)
        return true;
    if (a.level != b.level)
        return false;
    if (a.shared || b.shared)
        return true;
    for (int mode : a.modes)
        if (b.modes.contains(mode))
            return true;
    return false;
}

} // namespace marlix
