#pragma once

#include "core/modindex/IndexCache.h"

#include <QList>
#include <vector>

// Which plays of the game read a script. The game reads the scripts outside levels for every
// play, and for one play one level's shared scripts and the scripts of one game mode
// (GameTypes/<Mode>.con and what it runs). The loads come from the run/include graph from
// each level's Init.con and GameTypes/*.con; a level's script the graph does not reach
// belongs to the mode whose folder holds it (Conquest/, TDM/...), else to the level's shared
// scripts.
namespace marlix {

class ModIndex;

struct ScriptLoads {
    int level = -1;     // -1: read in every play (outside levels, and the base game)
    bool shared = true; // with a level: read in every game mode of that level
    QList<int> modes;   // otherwise the game modes that read it (numbers unique in the mod)
};

std::vector<ScriptLoads> scriptLoads(const ModIndex &index,
                                     const std::vector<const IndexedFile *> &files);

// Whether one play can read both scripts.
bool readTogether(const ScriptLoads &a, const ScriptLoads &b);

} // namespace marlix
