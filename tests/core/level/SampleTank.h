#pragma once

// A tank in three scripts of its folder, a gun shared from another folder that adds the
// tank's turret back (a cycle), a child that nothing defines, a part added to later with
// ObjectTemplate.active, and a level that places and spawns the tank.
#include "tests/core/level/SampleLevel.h"

struct TankMod {
    QTemporaryDir dir;
    QString mod = dir.filePath("MyMod");
    QString path(const QString &name) const { return mod + "/" + name; }
    void put(const QString &name, const QByteArray &bytes) const {
        SampleLevel::putAt(path(name), bytes);
    }
    TankMod() {
        put("objects/vehicles/tank/objects.con",
            "ObjectTemplate.create PlayerControlObject Tank\r\n"
            "ObjectTemplate.geometry Tank_Hull_M1\r\n"
            "ObjectTemplate.addTemplate Tank_Hull\r\n"
            "ObjectTemplate.setPosition 0/0.5/0\r\n"
            "rem ObjectTemplate.addTemplate Ghost\r\n"
            "ObjectTemplate.addTemplate Tank_Radio\r\n"
            "\r\n"
            "ObjectTemplate.create Bundle Tank_Hull\r\n"
            "ObjectTemplate.addTemplate Tank_Turret\r\n"
            "ObjectTemplate.setPosition 0/1.2/0.3\r\n"
            "ObjectTemplate.setRotation 0/0/0\r\n");
        put("objects/vehicles/tank/turret.con",
            "ObjectTemplate.create RotationalBundle Tank_Turret\r\n"
            "ObjectTemplate.geometry Tank_Turret_M1\r\n"
            "ObjectTemplate.addTemplate Shared_Gun\r\n");
        put("objects/vehicles/tank/extras.con",
            "ObjectTemplate.active Tank_Hull\r\n"
            "ObjectTemplate.addTemplate Tank_Light\r\n"
            "ObjectTemplate.create SimpleObject Tank_Light\r\n");
        put("objects/weapons/gun.con", "ObjectTemplate.create GenericFireArm Shared_Gun\r\n"
                                       "ObjectTemplate.addTemplate TANK_TURRET\r\n");
        put("bf1942/levels/Harbour/StaticObjects.con", "Object.create tank\r\n"
                                                       "Object.absolutePosition 1/2/3\r\n");
        put("bf1942/levels/Harbour/Conquest/ObjectSpawnTemplates.con",
            "ObjectTemplate.create ObjectSpawner tankspawner\r\n"
            "ObjectTemplate.setObjectTemplate 2 Tank\r\n");
    }
};
