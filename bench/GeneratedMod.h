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

// Definitions and references spread evenly over the scripts, the rest filled with the
// property lines that make up most of a real script.
inline void generateMod(const QString &mod) {
    QRandomGenerator random(1942);
    const qint64 perScript = targetBytes / scripts;
    for (int i = 0; i < scripts; ++i) {
        QByteArray text = "rem *** generated part " + QByteArray::number(i) + " ***\r\n";
        for (int d = i * objectNames / scripts; d < (i + 1) * objectNames / scripts; ++d)
            text += "ObjectTemplate.create SimpleObject " + objectName(d) + "\r\n";
        for (int g = i * geometryNames / scripts; g < (i + 1) * geometryNames / scripts; ++g)
            text += "GeometryTemplate.create StandardMesh " + geometryName(g) + "\r\n";
        for (int r = i * references / scripts; r < (i + 1) * references / scripts; ++r)
            text += r % 4 == 0 ? "ObjectTemplate.geometry " +
                                     geometryName(random.bounded(geometryNames)) + "\r\n"
                               : "ObjectTemplate.addTemplate " +
                                     objectName(random.bounded(objectNames)) + "\r\n";
        while (text.size() < perScript)
            text += "ObjectTemplate.setPosition " + QByteArray::number(random.bounded(100)) +
                    "/0.25/" + QByteArray::number(random.bounded(100)) +
                    "\r\nObjectTemplate.setRotation 0/0/0\r\nObjectTemplate.hasMobilePhysics 1\r\n";
        const QString path = scriptPath(mod, i);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(text);
    }
}

} // namespace generated
