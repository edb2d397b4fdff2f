#pragma once

#include <QHash>
#include <QString>

// Where a mod's scripts stand as the game sees them: the mod's root folder (the one that holds
// its bf1942/, objects/, archives/ folders), the folder of the level a script belongs to, and
// files found on disk with their letter case ignored, as the game opens them.
namespace marlix {

// Whether the folder looks like a mod's root: it holds a bf1942/, objects/ or archives/
// folder, the mod's init.con or mod.dll, or two of the category folders (animations/, menu/,
// sound/...); letter case ignored. A folder inside a mod's bf1942/levels/ or bf1942/game/ is
// never one (a level holds its own Init.con and sometimes an Objects/ folder).
bool holdsModLayout(const QString &folder);

// The level folder ".../bf1942/levels/<Level>" of a path below one (any letter case); empty
// for a path outside levels.
QString levelFolderOf(const QString &path);

// The mod root of a script's path: the folder that holds the bf1942/levels/ or bf1942/game/
// folder the path lies in, else the nearest folder above it that holds a mod's layout; empty
// when there is none. `memo` keeps the answers for folders already asked about.
QString modRootOf(const QString &path, QHash<QString, QString> *memo = nullptr);

// The file at the path with the letter case of each part ignored: the path itself when it
// exists, else the one file that matches; empty when none does.
QString findIgnoringCase(const QString &path);

} // namespace marlix
