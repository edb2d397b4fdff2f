#pragma once

// A small mod made for the index tests: definitions and references across files, include and
// run lines, mixed letter case, names inside rem lines and beginRem blocks, a duplicate, a
// missing name, a missing file, a misspelt command, an archive of the mod's own objects (as the
// compile-and-launch dialog packs them) and an archive of scripts found nowhere on disk.
#include "core/archive/RfaWriter.h"
#include "core/common/ProgramFolder.h"
#include "core/modindex/CommandTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#ifndef MARLIX_SOURCE_DIR
#error "the tests read the shipped command tables from the source tree"
#endif

struct ModTree {
    QTemporaryDir dir;
    QString mod = dir.filePath("MyMod");

    QString path(const QString &name) const { return mod + "/" + name; }
    void put(const QString &name, const QByteArray &bytes) const { putAt(path(name), bytes); }
    static void putAt(const QString &file, const QByteArray &bytes) {
        // Without a test framework's asserts: the window tests share the tree.
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file));
    }

    ModTree() {
        put("objects/vehicles/tank/tank.con",
            "rem *** the tank ***\r\n"
            "ObjectTemplate.create Bundle Tank_Hull\r\n"
            "ObjectTemplate.geometry Tank_Hull_M1\r\n"
            "ObjectTemplate.addTemplate tank_turret\r\n"
            "objecttemplate.AITEMPLATE Tank_AI\r\n"
            "include tank.inc\r\n"
            "run TankSounds\r\n"
            "run ..\\common\\missing\r\n"
            "ObjectTemplate.setMaxSped 10\r\n"
            "rem ObjectTemplate.addTemplate Ghost_In_Rem\r\n"
            "beginRem\r\n"
            "ObjectTemplate.addTemplate Ghost_In_Block\r\n"
            "ObjectTemplate.create Bundle Ghost_Def\r\n"
            "endRem\r\n"
            "ObjectTemplate.setMaxSpeed 10 rem ObjectTemplate.addTemplate Ghost_After_Rem\r\n");
        put("objects/vehicles/tank/tank.inc", "GEOMETRYTEMPLATE.CREATE StandardMesh Tank_Hull_M1\n"
                                              "ObjectTemplate.create SimpleObject Tank_Turret\n");
        put("objects/vehicles/tank/TankSounds.con", "ObjectTemplate.create Sound Tank_Engine\r");
        put("objects/common/dupes.con", "ObjectTemplate.create SimpleObject TANK_TURRET\r\n"
                                        "ObjectTemplate.addTemplate Tank_Wheel\r\n");
        put("bf1942/levels/test/objects.con", "Object.create Tank_Hull\r\n"
                                              "Object.create tank_engine\r\n"
                                              "run ../../../ai/tank_ai\r\n");
        // The compile-and-launch dialog packs the mod's own folders into archives/: those
        // entries are the scripts above over again.
        QDir().mkpath(path("archives"));
        marlix::packFolder(path("objects"), "objects", path("archives/objects.rfa"), true);
        // AI scripts found only in an archive, as the game's own are.
        const QString ai = dir.filePath("aisource");
        putAt(ai + "/tank_ai.con", "aiTemplate.create Tank_AI\r\ninclude common.inc\r\n");
        putAt(ai + "/common.inc", "aiTemplatePlugIn.create Armament Tank_Armament\r\n");
        marlix::packFolder(ai, "ai", path("archives/ai.rfa"), false);
    }

    static marlix::CommandTable shippedTables() {
        return marlix::CommandTable::fromProgramFolder(MARLIX_SOURCE_DIR "/data/");
    }
};
