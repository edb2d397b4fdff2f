// The level map and the template tree on generated data: a game mode placing 3,000 objects
// (2,400 static objects, 300 soldier spawns, 240 object spawners, 60 control points) over a
// 1024 x 1024 heightmap, read and drawn in a 1000 x 800 view; pan and zoom frames; and the
// tree of a vehicle of 200 parts across 12 scripts. Each figure is the best of its rounds, as
// the machine may be busy with other work.
#include "core/level/Heightmap.h"
#include "core/level/LevelReader.h"
#include "core/level/TemplateTree.h"
#include "core/modindex/ModIndex.h"
#include "pictures/LevelMapView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace marlix;

namespace {

void put(const QString &file, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
}

QByteArray position(int i, int salt) {
    const int x = (i * 7919 + salt * 31) % 4000 + 48;
    const int z = (i * 104729 + salt * 17) % 4000 + 48;
    return QByteArray::number(x) + ".5/" + QByteArray::number(40 + i % 30) + ".25/" +
           QByteArray::number(z) + ".75";
}

void generateLevel(const QString &level) {
    put(level + "/Init.con", "run Init/Terrain\r\n");
    put(level + "/Init/Terrain.con", "GeometryTemplate.worldSize 4096\r\n"
                                     "GeometryTemplate.yScale 0.6\r\n"
                                     "GeometryTemplate.waterLevel 30\r\n"
                                     "GeometryTemplate.file bf1942\\levels\\Big\\Heightmap\r\n");
    QByteArray heights;
    heights.reserve(1024 * 1024 * 2);
    for (int row = 0; row < 1024; ++row)
        for (int column = 0; column < 1024; ++column) {
            const int h = ((row * 37 + column * 53) % 4096) * 4 + (row * column) % 2000;
            heights.append(char(h & 0xff)).append(char(h >> 8));
        }
    put(level + "/Heightmap.raw", heights);
    QByteArray statics;
    for (int i = 0; i < 2400; ++i)
        statics += "Object.create House_" + QByteArray::number(i % 40) +
                   "\r\nObject.absolutePosition " + position(i, 1) + "\r\nObject.rotation " +
                   QByteArray::number(i % 360) + "/0/0\r\n";
    put(level + "/StaticObjects.con", statics);
    put(level + "/GameTypes/Conquest.con",
        "run Conquest/ControlPointTemplates\r\nrun Conquest/ControlPoints\r\n"
        "run Conquest/ObjectSpawnTemplates\r\nrun Conquest/ObjectSpawns\r\n"
        "run Conquest/SoldierSpawnTemplates\r\nrun Conquest/SoldierSpawns\r\n");
    QByteArray cpTemplates, cps, spawnerTemplates, spawners, soldierTemplates, soldiers;
    for (int i = 0; i < 60; ++i) {
        cpTemplates += "ObjectTemplate.create ControlPoint CP_" + QByteArray::number(i) +
                       "\r\nObjectTemplate.team " + QByteArray::number(1 + i % 2) +
                       "\r\nObjectTemplate.setControlPointName Point_" + QByteArray::number(i) +
                       "\r\n";
        cps += "Object.create CP_" + QByteArray::number(i) + "\r\nObject.absolutePosition " +
               position(i, 2) + "\r\n";
    }
    for (int i = 0; i < 240; ++i) {
        spawnerTemplates += "ObjectTemplate.create ObjectSpawner Spawner_" + QByteArray::number(i) +
                            "\r\nObjectTemplate.setObjectTemplate 1 Panzer_Tank\r\n"
                            "ObjectTemplate.setObjectTemplate 2 Sherman_Tank\r\n";
        spawners += "Object.create Spawner_" + QByteArray::number(i) +
                    "\r\nObject.absolutePosition " + position(i, 3) + "\r\nObject.setTeam " +
                    QByteArray::number(1 + i % 2) + "\r\n";
    }
    for (int i = 0; i < 300; ++i) {
        soldierTemplates += "ObjectTemplate.create SpawnPoint Soldier_" + QByteArray::number(i) +
                            "\r\nObjectTemplate.setGroup " + QByteArray::number(i % 8) + "\r\n";
        soldiers += "Object.create Soldier_" + QByteArray::number(i) +
                    "\r\nObject.absolutePosition " + position(i, 4) + "\r\nObject.setTeam " +
                    QByteArray::number(1 + i % 2) + "\r\n";
    }
    put(level + "/Conquest/ControlPointTemplates.con", cpTemplates);
    put(level + "/Conquest/ControlPoints.con", cps);
    put(level + "/Conquest/ObjectSpawnTemplates.con", spawnerTemplates);
    put(level + "/Conquest/ObjectSpawns.con", spawners);
    put(level + "/Conquest/SoldierSpawnTemplates.con", soldierTemplates);
    put(level + "/Conquest/SoldierSpawns.con", soldiers);
}

// A vehicle of 200 parts: the root, 11 groups of 18 parts and one more, each group in a
// script of its own and the root in a twelfth; every part with a place and a geometry.
void generateVehicle(const QString &folder) {
    QByteArray root = "ObjectTemplate.create PlayerControlObject Bench_Tank\r\n"
                      "ObjectTemplate.geometry Bench_Tank_M1\r\n";
    int made = 1;
    for (int group = 0; group < 11; ++group) {
        const QByteArray head = "Group_" + QByteArray::number(group);
        root += "ObjectTemplate.addTemplate " + head + "\r\nObjectTemplate.setPosition 0/" +
                QByteArray::number(group) + "/0\r\n";
        QByteArray script = "ObjectTemplate.create Bundle " + head + "\r\n";
        ++made;
        for (int part = 0; part < 17 && made < 200; ++part, ++made) {
            const QByteArray name = head + "_Part_" + QByteArray::number(part);
            script += "ObjectTemplate.addTemplate " + name +
                      "\r\nObjectTemplate.setPosition 0.5/0.25/" + QByteArray::number(part) +
                      "\r\nObjectTemplate.setRotation 0/0/" + QByteArray::number(part * 10) +
                      "\r\n";
        }
        for (int part = 0; part < 17; ++part)
            script += "ObjectTemplate.create SimpleObject " + head + "_Part_" +
                      QByteArray::number(part) + "\r\nObjectTemplate.geometry " + head +
                      "_Part_M1\r\n";
        put(folder + "/Group" + QByteArray::number(group) + ".con", script);
    }
    while (made < 200) {
        root += "ObjectTemplate.addTemplate Group_0_Part_" + QByteArray::number(made % 17) + "\r\n";
        ++made;
    }
    put(folder + "/Objects.con", root);
}

// Processor time of this thread: on a machine busy with other work this shows what a frame
// costs, apart from the time it waits for a core.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

template <class Work> double cpu(Work &&work) {
    const double start = threadCpuMs();
    work();
    return threadCpuMs() - start;
}

template <class Work> double best(int rounds, Work &&work) {
    double fastest = 1e18;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, double(timer.nsecsElapsed()) / 1e6);
    }
    return fastest;
}

QImage terrainOf(const LevelLocation &location, const Level &level) {
    const ReliefPicture relief =
        shadeRelief(Heightmap::fromBytes(readHeightmapBytes(location, level)), level.worldSize,
                    level.yScale, level.waterLevel, level.hasWaterLevel);
    QImage image(relief.side, relief.side, QImage::Format_RGB32);
    for (int row = 0; row < relief.side; ++row)
        std::copy_n(relief.pixels.data() + size_t(row) * relief.side, relief.side,
                    reinterpret_cast<quint32 *>(image.scanLine(row)));
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    generateLevel(dir.filePath("Mod/bf1942/levels/Big"));
    const LevelLocation location = findLevels({dir.filePath("Mod")}).value(0);

    LevelMapView view;
    view.resize(1000, 800);
    QImage frame(view.size(), QImage::Format_RGB32);
    auto draw = [&] {
        QPainter painter(&frame);
        view.render(painter, frame.size());
    };

    Level level;
    QImage terrain;
    const double first = best(5, [&] {
        level = readLevel(location, "Conquest");
        terrain = terrainOf(location, level);
        view.setLevel(level, terrain, true);
        draw();
    });
    std::printf("level mode of %lld objects, first opened (read, terrain shaded, drawn): "
                "%.1f ms\n",
                static_cast<long long>(level.objects.size()), first);
    const double again = best(10, [&] {
        level = readLevel(location, "Conquest");
        view.setLevel(level, terrain, false);
        draw();
    });
    std::printf("read again and drawn (as after an edit): %.1f ms\n", again);
    const double readOnly = best(10, [&] { level = readLevel(location, "Conquest"); });
    std::printf("  of which reading the scripts: %.1f ms\n", readOnly);

    view.fit();
    const double fitFrame = best(30, [&] { draw(); });
    std::printf("frame, whole world in view (best of 30): %.2f ms\n", fitFrame);
    // Pans and zooms go back and forth, so every frame has about the whole world in view.
    // Counted in processor time, as the machine running this is shared.
    auto median = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    std::vector<double> pans, zooms;
    for (int i = 0; i < 30; ++i) {
        const double step = i % 2 ? -20 : 20;
        pans.push_back(cpu([&] {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(500, 400), QPointF(500, 400),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&view, &press);
            const QPointF to(500 + step, 400 + step / 2);
            QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(&view, &move);
            QMouseEvent release(QEvent::MouseButtonRelease, to, to, Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(&view, &release);
            draw();
        }));
    }
    std::printf("pan frame, processor time: median %.2f ms, slowest of 30 %.2f ms\n", median(pans),
                *std::max_element(pans.begin(), pans.end()));
    for (int i = 0; i < 30; ++i) {
        zooms.push_back(cpu([&] {
            QWheelEvent wheel(QPointF(500, 400), QPointF(500, 400), QPoint(),
                              QPoint(0, i % 2 ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(&view, &wheel);
            draw();
        }));
    }
    std::printf("zoom frame, processor time: median %.2f ms, slowest of 30 %.2f ms\n",
                median(zooms), *std::max_element(zooms.begin(), zooms.end()));

    generateVehicle(dir.filePath("Mod/objects/vehicles/BenchTank"));
    ModIndex index(CommandTable::fromProgramFolder(MARLIX_DATA_DIR));
    index.build({dir.filePath("Mod")});
    int parts = 0;
    const double tree = best(10, [&] {
        TemplateTree templates(index);
        parts = templates.countParts("Bench_Tank");
    });
    std::printf("template tree of %d parts across 12 scripts, read whole: %.2f ms\n", parts, tree);
    const double text = best(10, [&] {
        TemplateTree templates(index);
        (void)templates.text("Bench_Tank");
        (void)templates.usedBy("Group_3_Part_4");
    });
    std::printf("  as text, with a Used by: %.2f ms\n", text);
    return 0;
}
