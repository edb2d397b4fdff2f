#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What a level places for one game mode, read from its scripts: the ground it stands on and
// every object its shared scripts and the mode's scripts create.
namespace marlix {

enum class ObjectKind { ControlPoint, SoldierSpawn, ObjectSpawner, Static };
enum class VehicleKind { Tank, Plane, Ship, Other };

struct SpawnedTemplate {
    int team = 0;
    QByteArray name;
    VehicleKind kind = VehicleKind::Other;
};

struct PlacedObject {
    QByteArray templateName;
    ObjectKind kind = ObjectKind::Static;
    bool hasPosition = false;   // an object without Object.absolutePosition stands at 0/0/0
    double x = 0, y = 0, z = 0; // y is the height
    double yaw = 0, pitch = 0, roll = 0; // degrees
    int team = -1;                       // -1: none given
    QByteArray controlPointName;         // control points
    int group = -1;                      // soldier spawns; -1: none given
    QList<SpawnedTemplate> spawns;       // object spawners, by team
    QString script;                      // the full path (see LevelFiles::fullPath)
    int line = 0;                        // of the Object.create line
    bool inArchive = false;              // the script is an archive entry
};

struct Level {
    QString name;
    QString mode;
    QStringList modes;    // as the GameTypes scripts spell them, sorted
    double worldSize = 0; // 0: no GeometryTemplate.worldSize
    double waterLevel = 0;
    double yScale = 1;
    bool hasWaterLevel = false;
    QByteArray heightmapFile; // GeometryTemplate.file as written
    QString heightmapPath;    // found: full path (file, or "<archive>/<entry>"); else empty
    int heightmapSide = 0;    // 0: none found, or a size that is no square of 16-bit heights
    QStringList scripts;      // full paths of the scripts read, shared ones first
    QList<PlacedObject> objects;
};

} // namespace marlix
