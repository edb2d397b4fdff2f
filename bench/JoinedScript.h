#pragma once

// The scripts of a mod joined into one file of about the given size: object templates,
// objects, remarks and conditions, with a line in every few hundred wider than any window, as
// real scripts have.
#include <QByteArray>

inline QByteArray joinedScript(qsizetype bytes) {
    static const char *const lines[] = {
        "ObjectTemplate.create SimpleObject part_%1",
        "ObjectTemplate.setNetworkableInfo BasicInfo",
        "ObjectTemplate.geometry part_%1_mesh",
        "ObjectTemplate.setCollisionMesh part_%1_mesh",
        "ObjectTemplate.addTemplate wheel_%1",
        "ObjectTemplate.setPosition 0/1.25/%1",
        "ObjectTemplate.setRotation 0/0/0",
        "rem *** geometry and physics of the part above ***",
        "ObjectTemplate.hasMobilePhysics 1",
        "ObjectTemplate.hasCollisionPhysics 1",
        "ObjectTemplate.physicsType Mesh",
        "",
        "Object.create lighttankspawner",
        "Object.absolutePosition 1043.5/77.25/%1",
        "Object.rotation 90/0/0",
        "Object.setTeam 2",
        "if v_arg1 == host",
        "  run Conquest/ObjectSpawns",
        "endIf",
        "include ../Common/CommonSoldierData.inc",
    };
    const int kinds = int(sizeof lines / sizeof *lines);
    QByteArray text;
    text.reserve(bytes + 512);
    for (int i = 0; text.size() < bytes; ++i) {
        if (i % 347 == 0) {
            // A remark or a list wider than any window.
            text += "rem " +
                    QByteArray("the wheels, tracks and turret of the tank above, each "
                               "with its own collision mesh and sounds, ")
                        .repeated(3 + i % 4) +
                    "\r\n";
            continue;
        }
        QByteArray line = lines[i % kinds];
        line.replace("%1", QByteArray::number(i));
        text += line + "\r\n";
    }
    return text;
}
