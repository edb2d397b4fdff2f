#pragma once

#include "core/level/Level.h"
#include "core/level/LevelFiles.h"

#include <functional>

// Reading a level for one game mode. The places of a level lie over each other file by file:
// a file of the mod's folder hides the same file of the base game's archive, as the game
// itself reads a mod that replaces some files of a level.
namespace marlix {

struct LevelReadOptions {
    // The text of a script open in an editor, by full path: read instead of the file, so
    // what is shown follows unsaved edits. False: read the file.
    std::function<bool(const QString &fullPath, QByteArray &bytes)> openText;
    // The kind of vehicle a template is; the words of its name decide when not given.
    std::function<VehicleKind(const QByteArray &templateName)> vehicleKind;
};

// The game modes the level's GameTypes scripts name, sorted ignoring case.
QStringList levelModes(const LevelLocation &level);

// An empty mode reads the shared scripts only. Terrain values missing from the scripts are
// left at their defaults; a heightmap is looked for in every place of the level.
Level readLevel(const LevelLocation &level, const QString &mode,
                const LevelReadOptions &options = {});

// The heightmap found by readLevel (Level::heightmapPath); empty bytes when it cannot be read.
QByteArray readHeightmapBytes(const LevelLocation &level, const Level &read);

// Tank, plane, ship or other, from the words of a name and of the types that make it up
// ("Sherman_Tank", "Airplane", "FloatingBundle"...).
VehicleKind vehicleKindFromWords(const QList<QByteArray> &words);

} // namespace marlix
