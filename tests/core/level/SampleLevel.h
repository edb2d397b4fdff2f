#pragma once

// A small mod laid out as real ones are: the level Harbour with its terrain, a heightmap, a
// shared StaticObjects.con and two game modes (Conquest and TDM) started from GameTypes/, with
// control points, soldier spawns and vehicle spawners; remarks that hold objects; a script of
// a mode folder that no mode runs.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

struct SampleLevel {
    QTemporaryDir dir;
    QString mod = dir.filePath("MyMod");
    QString level = mod + "/bf1942/levels/Harbour";

    static void putAt(const QString &file, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file));
    }
    static QByteArray readFile(const QString &file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    void put(const QString &name, const QByteArray &bytes) const {
        putAt(level + "/" + name, bytes);
    }
    QString path(const QString &name) const { return level + "/" + name; }

    // 64 x 64 heights: a ramp rising with X from 0 to 63 * 256 (0 to 63 world units with
    // yScale 1), so the water at 20 covers the low third, X below about 20/63 of the world.
    static QByteArray rampHeightmap(int side = 64) {
        QByteArray bytes;
        for (int row = 0; row < side; ++row)
            for (int column = 0; column < side; ++column) {
                const int h = column * 256;
                bytes.append(char(h & 0xff));
                bytes.append(char(h >> 8));
            }
        return bytes;
    }

    SampleLevel() {
        put("Init.con", "run Init/Terrain\r\nrun Sounds/Environment\r\n");
        put("Init/Terrain.con", "GeometryTemplate.worldSize 1024\r\n"
                                "GeometryTemplate.yScale 1\r\n"
                                "GeometryTemplate.waterLevel 20\r\n"
                                "GeometryTemplate.file bf1942\\levels\\Harbour\\Heightmap\r\n");
        put("Heightmap.raw", rampHeightmap());
        put("StaticObjects.con", "rem *** harbour buildings ***\r\n"
                                 "Object.create Barn\r\n"
                                 "Object.absolutePosition 100.5/30.25/200.125\r\n"
                                 "Object.rotation 90/0/0\r\n"
                                 "Object.create Pine\r\n"
                                 "Object.absolutePosition 900/31/900\r\n"
                                 "rem Object.create Ghost_Rem\r\n"
                                 "beginRem\r\n"
                                 "Object.create Ghost_Block\r\n"
                                 "endRem\r\n");
        put("GameTypes/Conquest.con", "run Conquest/ControlPointTemplates\r\n"
                                      "run conquest\\ControlPoints\r\n"
                                      "run Conquest/ObjectSpawnTemplates\r\n"
                                      "run Conquest/ObjectSpawns\r\n"
                                      "run Conquest/SoldierSpawnTemplates\r\n"
                                      "run Conquest/SoldierSpawns\r\n");
        put("GameTypes/TDM.con", "run tdm/ObjectSpawnTemplates\r\nrun tdm/ObjectSpawns\r\n");
        put("Conquest/ControlPointTemplates.con",
            "ObjectTemplate.create ControlPoint AxisBase\r\n"
            "ObjectTemplate.team 1\r\n"
            "ObjectTemplate.setControlPointName German_Base\r\n"
            "ObjectTemplate.create ControlPoint AlliedBase\r\n"
            "ObjectTemplate.team 2\r\n"
            "ObjectTemplate.setControlPointName Allied_Base\r\n");
        put("Conquest/ControlPoints.con", "Object.create AxisBase\r\n"
                                          "Object.absolutePosition 200/40/800\r\n"
                                          "Object.create AlliedBase\r\n"
                                          "Object.absolutePosition 800/40/200\r\n");
        put("Conquest/ObjectSpawnTemplates.con",
            "ObjectTemplate.create ObjectSpawner lighttankspawner\r\n"
            "ObjectTemplate.setObjectTemplate 1 Panzer_Tank\r\n"
            "ObjectTemplate.setObjectTemplate 2 Sherman\r\n"
            "ObjectTemplate.create ObjectSpawner boatspawner\r\n"
            "ObjectTemplate.setObjectTemplate 2 LandingBoat\r\n");
        put("Conquest/ObjectSpawns.con", "Object.create lighttankspawner\r\n"
                                         "Object.absolutePosition 260/40/740\r\n"
                                         "Object.rotation 180/0/0\r\n"
                                         "Object.setTeam 1\r\n"
                                         "Object.create boatspawner\r\n"
                                         "Object.absolutePosition 50/20/60\r\n");
        put("Conquest/SoldierSpawnTemplates.con", "ObjectTemplate.create SpawnPoint AxisSpawn_1\r\n"
                                                  "ObjectTemplate.setGroup 3\r\n");
        put("Conquest/SoldierSpawns.con", "Object.create AxisSpawn_1\r\n"
                                          "Object.absolutePosition 300/41/700\r\n"
                                          "Object.setTeam 1\r\n");
        put("Conquest/Unused.con", "Object.create NeverRun\r\nObject.absolutePosition 1/1/1\r\n");
        put("TDM/ObjectSpawnTemplates.con", "ObjectTemplate.create ObjectSpawner planespawner\r\n"
                                            "ObjectTemplate.setObjectTemplate 1 Stuka_Plane\r\n");
        put("TDM/ObjectSpawns.con", "Object.create planespawner\r\n"
                                    "Object.absolutePosition 500/60/500\r\n");
    }
};
