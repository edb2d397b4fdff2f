#pragma once

// A small mod made for the README's pictures of the level map and the template tree: the
// island level "Skerry" with terrain, two game modes, control points, spawns and houses, and
// a patrol boat of a few parts. Nothing here comes from a game.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <cmath>

namespace sample {

inline bool put(const QString &file, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

// An island: a round hill with a ridge, falling into the sea at its edges.
inline QByteArray islandHeights(int side) {
    QByteArray bytes;
    bytes.reserve(side * side * 2);
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            const double x = (column - side * 0.5) / side, z = (row - side * 0.45) / side;
            const double round = std::exp(-(x * x + z * z) * 9.0);
            const double ridge =
                0.35 * std::exp(-std::pow(x - z * 0.6 - 0.05, 2) * 60.0) * std::exp(-z * z * 8.0);
            const double waves = 0.04 * std::sin(column * 0.21) * std::cos(row * 0.17);
            const int h = int(std::clamp(round * 0.8 + ridge + waves, 0.0, 1.0) * 24000);
            bytes.append(char(h & 0xff)).append(char(h >> 8));
        }
    return bytes;
}

inline QByteArray placed(const char *name, double x, double z, double yaw = 0, int team = -1) {
    QByteArray text = QByteArray("Object.create ") + name + "\r\nObject.absolutePosition " +
                      QByteArray::number(x) + "/40/" + QByteArray::number(z) +
                      "\r\nObject.rotation " + QByteArray::number(yaw) + "/0/0\r\n";
    if (team >= 0)
        text += "Object.setTeam " + QByteArray::number(team) + "\r\n";
    return text;
}

inline bool writeMod(const QString &mod) {
    const QString level = mod + QStringLiteral("/bf1942/levels/Skerry/");
    bool ok = put(level + "Init.con", "run Init/Terrain\r\n") &&
              put(level + "Init/Terrain.con", "GeometryTemplate.worldSize 1024\r\n"
                                              "GeometryTemplate.yScale 0.5\r\n"
                                              "GeometryTemplate.waterLevel 18\r\n"
                                              "GeometryTemplate.file bf1942\\levels\\Skerry\\"
                                              "Heightmap\r\n") &&
              put(level + "Heightmap.raw", islandHeights(256));
    QByteArray statics = "rem Houses of the harbour and trees on the hill\r\n";
    for (int i = 0; i < 14; ++i)
        statics += placed("Fisher_House", 430 + (i % 7) * 26, 300 + (i / 7) * 34, i * 25);
    for (int i = 0; i < 40; ++i)
        statics += placed("Pine", 420 + std::fmod(i * 97.3, 230), 480 + std::fmod(i * 61.7, 200));
    ok = ok && put(level + "StaticObjects.con", statics);
    ok = ok && put(level + "GameTypes/Conquest.con",
                   "run Conquest/ControlPointTemplates\r\nrun Conquest/ControlPoints\r\n"
                   "run Conquest/ObjectSpawnTemplates\r\nrun Conquest/ObjectSpawns\r\n"
                   "run Conquest/SoldierSpawnTemplates\r\nrun Conquest/SoldierSpawns\r\n");
    ok = ok && put(level + "GameTypes/TDM.con", "run TDM/SoldierSpawns\r\n");
    ok = ok && put(level + "Conquest/ControlPointTemplates.con",
                   "ObjectTemplate.create ControlPoint North_Base\r\nObjectTemplate.team 1\r\n"
                   "ObjectTemplate.setControlPointName Lighthouse\r\n"
                   "ObjectTemplate.create ControlPoint South_Base\r\nObjectTemplate.team 2\r\n"
                   "ObjectTemplate.setControlPointName Harbour\r\n"
                   "ObjectTemplate.create ControlPoint Hill_Point\r\nObjectTemplate.team 0\r\n"
                   "ObjectTemplate.setControlPointName Hilltop\r\n");
    ok = ok && put(level + "Conquest/ControlPoints.con", placed("North_Base", 560, 690) +
                                                             placed("South_Base", 500, 320) +
                                                             placed("Hill_Point", 540, 520));
    ok = ok && put(level + "Conquest/ObjectSpawnTemplates.con",
                   "ObjectTemplate.create ObjectSpawner boatspawner\r\n"
                   "ObjectTemplate.setObjectTemplate 1 Patrol_Boat\r\n"
                   "ObjectTemplate.setObjectTemplate 2 Patrol_Boat\r\n"
                   "ObjectTemplate.create ObjectSpawner tankspawner\r\n"
                   "ObjectTemplate.setObjectTemplate 1 Light_Tank\r\n"
                   "ObjectTemplate.setObjectTemplate 2 Light_Tank\r\n");
    ok = ok &&
         put(level + "Conquest/ObjectSpawns.con",
             placed("boatspawner", 470, 250, 180, 2) + placed("boatspawner", 620, 790, 0, 1) +
                 placed("tankspawner", 530, 350, 20, 2) + placed("tankspawner", 580, 660, 200, 1));
    ok = ok && put(level + "Conquest/SoldierSpawnTemplates.con",
                   "ObjectTemplate.create SpawnPoint North_Spawn\r\nObjectTemplate.setGroup 1\r\n"
                   "ObjectTemplate.create SpawnPoint South_Spawn\r\nObjectTemplate.setGroup 2\r\n");
    QByteArray soldiers;
    for (int i = 0; i < 5; ++i) {
        soldiers += placed("North_Spawn", 540 + i * 9, 705 + (i % 2) * 8, 180, 1);
        soldiers += placed("South_Spawn", 475 + i * 9, 305 - (i % 2) * 8, 0, 2);
    }
    ok = ok && put(level + "Conquest/SoldierSpawns.con", soldiers);
    ok = ok && put(level + "TDM/SoldierSpawns.con", soldiers);

    const QString boat = mod + QStringLiteral("/objects/vehicles/sea/PatrolBoat/");
    ok = ok && put(boat + "Objects.con", "ObjectTemplate.create PlayerControlObject Patrol_Boat\r\n"
                                         "ObjectTemplate.geometry Patrol_Boat_Hull_M1\r\n"
                                         "ObjectTemplate.addTemplate Patrol_Boat_Hull\r\n"
                                         "ObjectTemplate.addTemplate Patrol_Boat_Engine\r\n"
                                         "ObjectTemplate.setPosition 0/-0.4/-3.2\r\n"
                                         "ObjectTemplate.addTemplate Patrol_Boat_Gun\r\n"
                                         "ObjectTemplate.setPosition 0/1.6/2.1\r\n"
                                         "ObjectTemplate.setRotation 0/0/0\r\n"
                                         "ObjectTemplate.addTemplate Patrol_Boat_Camera\r\n"
                                         "ObjectTemplate.setPosition 0/2.5/-6\r\n"
                                         "\r\n"
                                         "ObjectTemplate.create FloatingBundle Patrol_Boat_Hull\r\n"
                                         "ObjectTemplate.geometry Patrol_Boat_Hull_M1\r\n"
                                         "ObjectTemplate.addTemplate Patrol_Boat_Floater\r\n"
                                         "ObjectTemplate.setPosition 1.2/0/0\r\n"
                                         "ObjectTemplate.addTemplate Patrol_Boat_Floater\r\n"
                                         "ObjectTemplate.setPosition -1.2/0/0\r\n"
                                         "ObjectTemplate.create Engine Patrol_Boat_Engine\r\n"
                                         "ObjectTemplate.create Camera Patrol_Boat_Camera\r\n"
                                         "ObjectTemplate.create Floating Patrol_Boat_Floater\r\n");
    ok = ok &&
         put(boat + "Weapons.con", "ObjectTemplate.create RotationalBundle Patrol_Boat_Gun\r\n"
                                   "ObjectTemplate.geometry Patrol_Boat_Gun_M1\r\n"
                                   "ObjectTemplate.addTemplate Patrol_Boat_Gun_Barrel\r\n"
                                   "ObjectTemplate.setPosition 0/0.3/0.8\r\n"
                                   "ObjectTemplate.addTemplate Patrol_Boat_Gun_Sight\r\n"
                                   "ObjectTemplate.create GenericFireArm Patrol_Boat_Gun_Barrel\r\n"
                                   "ObjectTemplate.geometry Patrol_Boat_Gun_Barrel_M1\r\n");
    ok = ok && put(mod + "/objects/vehicles/land/LightTank/Objects.con",
                   "ObjectTemplate.create PlayerControlObject Light_Tank\r\n");
    return ok;
}

} // namespace sample
