#pragma once

// The mod the index benchmarks read: 5,000 scripts, 60 MB, 12,000 definitions (10,000 of them
// object templates) and 40,000 references, written into a folder.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>

namespace generated {

constexpr int scripts = 5000;
constexpr int objectNames = 10000;
constexpr int geometryNames = 2000;
constexpr int references = 40000;
constexpr qint64 targetBytes = 60 * 1000 * 1000;

inline QByteArray objectName(int i) {
    return "Vehicle_Part_" + QByteArray::number(i);
}
inline QByteArray geometryName(int i) {
    return "Mesh_" + QByteArray::number(i);
}
inline QString scriptPath(const QString &mod, int i) {
    return QStringLiteral("%1/objects/group%2/part%3.con").arg(mod).arg(i / 100).arg(i);
}

inline void writeScript(const QString &path, const QByteArray &text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(text);
}

// Definitions and references spread evenly over the scripts, the rest filled with the
// property lines that make up most of a real script. `count` scripts share the names and bytes
// of the whole mod.
inline void generateMod(const QString &mod, int count = scripts) {
    QRandomGenerator random(1942);
    const qint64 perScript = targetBytes / scripts;
    for (int i = 0; i < count; ++i) {
        QByteArray text = "rem *** generated part " + QByteArray::number(i) + " ***\r\n";
        for (int d = i * objectNames / count; d < (i + 1) * objectNames / count; ++d)
            text += "ObjectTemplate.create SimpleObject " + objectName(d) + "\r\n";
        for (int g = i * geometryNames / count; g < (i + 1) * geometryNames / count; ++g)
            text += "GeometryTemplate.create StandardMesh " + geometryName(g) + "\r\n";
        for (int r = i * references / count; r < (i + 1) * references / count; ++r)
            text += r % 4 == 0 ? "ObjectTemplate.geometry " +
                                     geometryName(random.bounded(geometryNames)) + "\r\n"
                               : "ObjectTemplate.addTemplate " +
                                     objectName(random.bounded(objectNames)) + "\r\n";
        while (text.size() < perScript)
            text += "ObjectTemplate.setPosition " + QByteArray::number(random.bounded(100)) +
                    "/0.25/" + QByteArray::number(random.bounded(100)) +
                    "\r\nObjectTemplate.setRotation 0/0/0\r\nObjectTemplate.hasMobilePhysics 1\r\n";
        writeScript(scriptPath(mod, i), text);
    }
}

// The same mod with levels as real ones are: 4,000 object scripts and 20 levels of 50
// scripts each (Init.con running its Init/ scripts, shared objects, and two game modes whose
// GameTypes/<Mode>.con runs the 22 scripts of its folder). Every level defines the same
// terrain and sky names, every mode the same spawn names: none of them meet in one load.
constexpr int levels = 20;
constexpr int modeScripts = 22;

inline void generateLeveledMod(const QString &mod) {
    generateMod(mod, scripts - levels * 50);
    QRandomGenerator random(1944);
    for (int l = 0; l < levels; ++l) {
        const QString level = QStringLiteral("%1/bf1942/levels/Level%2").arg(mod).arg(l);
        writeScript(level + "/Init.con", "run Init/Terrain\r\nrun Init/SkyAndSun\r\n"
                                         "run StaticObjects\r\n");
        writeScript(level + "/Init/Terrain.con",
                    "ObjectTemplate.create SimpleObject terrainObject\r\n"
                    "GeometryTemplate.worldSize 2048\r\n");
        writeScript(level + "/Init/SkyAndSun.con", "ObjectTemplate.create SimpleObject SkyBox\r\n");
        QByteArray statics;
        for (int o = 0; o < 200; ++o)
            statics += "Object.create " + objectName(random.bounded(objectNames)) +
                       "\r\nObject.absolutePosition 100/20/100\r\n";
        writeScript(level + "/StaticObjects.con", statics);
        for (const char *mode : {"Conquest", "TDM"}) {
            QByteArray gameType;
            for (int s = 0; s < modeScripts; ++s) {
                gameType += QByteArray("run ") + mode + "/Spawns" + QByteArray::number(s) + "\r\n";
                QByteArray text;
                for (int p = 0; p < 20; ++p) {
                    const QByteArray name =
                        "SpawnPoint_" + QByteArray::number(s) + "_" + QByteArray::number(p);
                    text += "ObjectTemplate.create SpawnPoint " + name +
                            "\r\nObjectTemplate.setGroup 1\r\nObject.create " + name +
                            "\r\nObject.absolutePosition 10/20/30\r\n";
                }
                writeScript(QStringLiteral("%1/%2/Spawns%3.con").arg(level, mode).arg(s), text);
            }
            writeScript(QStringLiteral("%1/GameTypes/%2.con").arg(level, mode), gameType);
        }
    }
}

} // namespace generated
