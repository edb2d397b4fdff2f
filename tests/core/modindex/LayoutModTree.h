#pragma once

// A mod laid out as real ones are, beside a base game: shared objects, two levels with two
// game modes each (GameTypes/ scripts running their mode's folder, one in another letter
// case, one mode's folder named differently from the mode), game-wide scripts below
// bf1942/game, and a base-game folder holding scripts on disk and in archives.
#include "tests/core/modindex/ModTree.h"

struct LayoutModTree {
    QTemporaryDir dir;
    QString mod = dir.filePath("Conflict");
    QString base = dir.filePath("Game/Mods/bf1942");

    QString path(const QString &name) const { return mod + "/" + name; }
    void put(const QString &name, const QByteArray &bytes) const {
        ModTree::putAt(path(name), bytes);
    }
    void putBase(const QString &name, const QByteArray &bytes) const {
        ModTree::putAt(base + "/" + name, bytes);
    }

    LayoutModTree() {
        put("init.con",
            "game.addModPath Mods/Conflict/\r\necho starting\r\nBase.onlyCommand 1\r\n");
        put("objects/tanks/tank.con", "ObjectTemplate.create Bundle Tiger\r\n"
                                      "ObjectTemplate.aiTemplate TigerGun\r\n"
                                      "include ..\\common\\shared.inc\r\n"
                                      "ObjectTemplate.addTemplate BaseWheel\r\n");
        put("objects/tanks/ai.con", "weaponTemplate.create TigerGun\r\n");
        put("objects/Common/Shared.inc", "ObjectTemplate.create SimpleObject SkyBox\r\n");

        put("bf1942/levels/Alpha/Init.con", "run Init/Terrain\r\n"
                                            "run bf1942/game/common/names\r\n");
        put("bf1942/levels/Alpha/Init/Terrain.con",
            "ObjectTemplate.create SimpleObject terrainObject\r\n");
        put("bf1942/levels/Alpha/StaticObjects.con",
            "Object.create terrainObject\r\n"
            "ObjectTemplate.create SimpleObject SkyBox\r\n");
        put("bf1942/levels/Alpha/GameTypes/Conquest.con", "run Conquest/ObjectSpawns\r\n"
                                                          "run Conquest/SoldierSpawns\r\n");
        put("bf1942/levels/Alpha/Conquest/ObjectSpawns.con",
            "ObjectTemplate.create ObjectSpawner AxisSpawnPoint_1\r\n"
            "Object.create AxisSpawnPoint_1\r\n"
            "Object.create tdmOnly\r\n"
            "Object.create AxisSoldierSpawn\r\n");
        put("bf1942/levels/Alpha/GameTypes/TDM.con", "run tdm/objectspawns\r\n");
        put("bf1942/levels/Alpha/TDM/ObjectSpawns.con",
            "ObjectTemplate.create ObjectSpawner AxisSpawnPoint_1\r\n"
            "ObjectTemplate.create SimpleObject tdmOnly\r\n");

        put("bf1942/levels/beta/init.con", "ObjectTemplate.create SimpleObject terrainObject\r\n");
        put("bf1942/levels/beta/GameTypes/Coop.con", "run SinglePlayer/SoldierSpawns\r\n");
        put("bf1942/levels/beta/singleplayer/soldierspawns.con",
            "ObjectTemplate.create SpawnPoint AlliedSpawn\r\n");
        put("bf1942/levels/beta/GameTypes/Ctf.con", "run Ctf/SoldierSpawns\r\n");
        put("bf1942/levels/beta/Ctf/SoldierSpawns.con",
            "ObjectTemplate.create SpawnPoint AlliedSpawn\r\n"
            "ObjectTemplate.create SpawnPoint AlliedSpawn\r\n");

        put("bf1942/game/common/names.con", "rem-----rem\r\n"
                                            "rem*****\r\n"
                                            "GeometriyTemplate.setLodDistance 0 50\r\n"
                                            "Frobnicate.everything 1\r\n"
                                            "run Missing/Nowhere\r\n");

        // The base game: scripts on disk and in its archives, with problems of its own.
        putBase("objects/wheels/wheel.con", "ObjectTemplate.create SimpleObject BaseWheel\r\n"
                                            "Base.onlyCommand 1\r\n"
                                            "ObjectTemplate.addTemplate NoSuchThingInBase\r\n");
        const QString levelSource = dir.filePath("source/Alpha");
        ModTree::putAt(levelSource + "/Conquest/SoldierSpawns.con",
                       "ObjectTemplate.create SpawnPoint AxisSoldierSpawn\r\n");
        QDir().mkpath(base + "/archives/bf1942/levels");
        marlix::packFolder(levelSource, "bf1942/levels/Alpha",
                           base + "/archives/bf1942/levels/Alpha.rfa", false);
        const QString objectSource = dir.filePath("source/objects");
        ModTree::putAt(objectSource + "/tanks/tank.con", "ObjectTemplate.create Bundle Tiger\r\n");
        marlix::packFolder(objectSource, "objects", base + "/archives/objects.rfa", true);
    }
};
