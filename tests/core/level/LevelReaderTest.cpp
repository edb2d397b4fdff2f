#include "core/level/LevelReader.h"
#include "core/archive/RfaWriter.h"
#include "core/level/Heightmap.h"
#include "tests/core/level/SampleLevel.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

LevelLocation harbour(const SampleLevel &sample) {
    const QList<LevelLocation> levels = findLevels({sample.mod});
    EXPECT_EQ(levels.size(), 1);
    return levels.value(0);
}

const PlacedObject *find(const Level &level, const QByteArray &name) {
    for (const PlacedObject &object : level.objects)
        if (object.templateName == name)
            return &object;
    return nullptr;
}

QList<QByteArray> names(const Level &level) {
    QList<QByteArray> list;
    for (const PlacedObject &object : level.objects)
        list.append(object.templateName);
    return list;
}

} // namespace

TEST(LevelReader, ReadsTheTerrainTheModesAndTheHeightmapsSideFromItsSize) {
    SampleLevel sample;
    const LevelLocation location = harbour(sample);
    EXPECT_EQ(location.name, "Harbour");
    EXPECT_EQ(levelModes(location), (QStringList{"Conquest", "TDM"}));
    const Level level = readLevel(location, "conquest");
    EXPECT_EQ(level.mode, "Conquest");
    EXPECT_EQ(level.worldSize, 1024);
    EXPECT_TRUE(level.hasWaterLevel);
    EXPECT_EQ(level.waterLevel, 20);
    EXPECT_EQ(level.heightmapFile, "bf1942\\levels\\Harbour\\Heightmap");
    EXPECT_EQ(level.heightmapPath, sample.path("Heightmap.raw"));
    EXPECT_EQ(level.heightmapSide, 64);
    EXPECT_EQ(readHeightmapBytes(location, level), SampleLevel::rampHeightmap());
}

TEST(LevelReader, AModeShowsTheSharedObjectsAndItsOwnByKindWithTeamsAndPlaces) {
    SampleLevel sample;
    const Level level = readLevel(harbour(sample), "Conquest");
    // Shared scripts first, then the mode's in the order GameTypes/Conquest.con runs them;
    // remarks and the script no mode runs place nothing.
    EXPECT_EQ(names(level), (QList<QByteArray>{"Barn", "Pine", "AxisBase", "AlliedBase",
                                               "lighttankspawner", "boatspawner", "AxisSpawn_1"}));

    const PlacedObject *barn = find(level, "Barn");
    ASSERT_TRUE(barn);
    EXPECT_EQ(barn->kind, ObjectKind::Static);
    EXPECT_TRUE(barn->hasPosition);
    EXPECT_DOUBLE_EQ(barn->x, 100.5);
    EXPECT_DOUBLE_EQ(barn->y, 30.25);
    EXPECT_DOUBLE_EQ(barn->z, 200.125);
    EXPECT_DOUBLE_EQ(barn->yaw, 90);
    EXPECT_EQ(barn->team, -1);
    EXPECT_EQ(barn->script, sample.path("StaticObjects.con"));
    EXPECT_EQ(barn->line, 2);

    const PlacedObject *axis = find(level, "AxisBase");
    ASSERT_TRUE(axis);
    EXPECT_EQ(axis->kind, ObjectKind::ControlPoint);
    EXPECT_EQ(axis->team, 1);
    EXPECT_EQ(axis->controlPointName, "German_Base");
    EXPECT_EQ(find(level, "AlliedBase")->team, 2);

    const PlacedObject *tanks = find(level, "lighttankspawner");
    ASSERT_TRUE(tanks);
    EXPECT_EQ(tanks->kind, ObjectKind::ObjectSpawner);
    EXPECT_EQ(tanks->team, 1);
    EXPECT_DOUBLE_EQ(tanks->yaw, 180);
    ASSERT_EQ(tanks->spawns.size(), 2);
    EXPECT_EQ(tanks->spawns[0].team, 1);
    EXPECT_EQ(tanks->spawns[0].name, "Panzer_Tank");
    EXPECT_EQ(tanks->spawns[0].kind, VehicleKind::Tank);
    EXPECT_EQ(tanks->spawns[1].name, "Sherman");
    EXPECT_EQ(tanks->spawns[1].kind, VehicleKind::Other); // its name says nothing
    EXPECT_EQ(find(level, "boatspawner")->spawns.value(0).kind, VehicleKind::Ship);

    const PlacedObject *spawn = find(level, "AxisSpawn_1");
    ASSERT_TRUE(spawn);
    EXPECT_EQ(spawn->kind, ObjectKind::SoldierSpawn);
    EXPECT_EQ(spawn->group, 3);
    EXPECT_EQ(spawn->team, 1);
    EXPECT_EQ(spawn->script, sample.path("Conquest/SoldierSpawns.con"));
    EXPECT_EQ(spawn->line, 1);
}

TEST(LevelReader, AnotherModeSeesNoneOfTheFirstModesObjects) {
    SampleLevel sample;
    const Level tdm = readLevel(harbour(sample), "TDM");
    EXPECT_EQ(names(tdm), (QList<QByteArray>{"Barn", "Pine", "planespawner"}));
    EXPECT_EQ(find(tdm, "planespawner")->spawns.value(0).kind, VehicleKind::Plane);
    const Level shared = readLevel(harbour(sample), QString());
    EXPECT_EQ(names(shared), (QList<QByteArray>{"Barn", "Pine"}));
}

TEST(LevelReader, ALevelArchiveReadsAsItsFolderAndTheModsFilesLieOverTheBaseGames) {
    SampleLevel sample;
    // The base game: the same level packed, its barn elsewhere.
    QTemporaryDir game;
    const QString archive = game.filePath("bf1942/levels/harbour.rfa");
    QDir().mkpath(QFileInfo(archive).absolutePath());
    packFolder(sample.level, "bf1942/levels/Harbour", archive, true);

    const QList<LevelLocation> baseOnly = findLevels({game.path()});
    ASSERT_EQ(baseOnly.size(), 1);
    ASSERT_TRUE(baseOnly[0].places.value(0).archive);
    const Level packed = readLevel(baseOnly[0], "Conquest");
    EXPECT_EQ(packed.objects.size(), 7);
    EXPECT_EQ(packed.heightmapSide, 64);
    EXPECT_EQ(find(packed, "AxisBase")->script,
              archive + "/bf1942/levels/Harbour/Conquest/ControlPoints.con");
    EXPECT_TRUE(find(packed, "AxisBase")->inArchive);
    EXPECT_EQ(readHeightmapBytes(baseOnly[0], packed), SampleLevel::rampHeightmap());

    // The mod keeps only its own StaticObjects.con; everything else comes from the archive.
    QDir(sample.level).removeRecursively();
    sample.put("StaticObjects.con", "Object.create Lighthouse\r\n"
                                    "Object.absolutePosition 10/5/10\r\n");
    const QList<LevelLocation> both = findLevels({sample.mod, game.path()});
    ASSERT_EQ(both.size(), 1);
    ASSERT_EQ(both[0].places.size(), 2);
    EXPECT_FALSE(both[0].places[0].archive);
    const Level merged = readLevel(both[0], "Conquest");
    EXPECT_EQ(names(merged), (QList<QByteArray>{"Lighthouse", "AxisBase", "AlliedBase",
                                                "lighttankspawner", "boatspawner", "AxisSpawn_1"}));
    EXPECT_EQ(merged.worldSize, 1024);
    EXPECT_EQ(merged.heightmapSide, 64);
    EXPECT_FALSE(find(merged, "Lighthouse")->inArchive);
}

TEST(LevelReader, TheTextOfAnOpenScriptIsReadInsteadOfItsFile) {
    SampleLevel sample;
    LevelReadOptions options;
    options.openText = [&](const QString &path, QByteArray &bytes) {
        if (path != sample.path("StaticObjects.con"))
            return false;
        bytes = "Object.create Barn\r\nObject.absolutePosition 1/2/3\r\n";
        return true;
    };
    options.vehicleKind = [](const QByteArray &name) {
        return name == "Sherman" ? VehicleKind::Tank : VehicleKind::Other;
    };
    const Level level = readLevel(harbour(sample), "Conquest", options);
    EXPECT_EQ(find(level, "Barn")->x, 1);
    EXPECT_EQ(find(level, "Pine"), nullptr);
    EXPECT_EQ(find(level, "lighttankspawner")->spawns.value(1).kind, VehicleKind::Tank);
    EXPECT_EQ(find(level, "lighttankspawner")->spawns.value(0).kind, VehicleKind::Other);
}

TEST(LevelReader, ALevelWithoutTerrainOrHeightmapReadsWithDefaults) {
    SampleLevel sample;
    QFile::remove(sample.path("Init/Terrain.con"));
    QFile::remove(sample.path("Heightmap.raw"));
    const Level level = readLevel(harbour(sample), "TDM");
    EXPECT_EQ(level.worldSize, 0);
    EXPECT_FALSE(level.hasWaterLevel);
    EXPECT_TRUE(level.heightmapPath.isEmpty());
    EXPECT_EQ(level.heightmapSide, 0);
    EXPECT_EQ(level.objects.size(), 3);
}

TEST(LevelReader, AHeightmapOfNoSquareSizeHasNoSide) {
    SampleLevel sample;
    sample.put("Heightmap.raw", QByteArray(8190, '\0'));
    const Level level = readLevel(harbour(sample), "TDM");
    EXPECT_EQ(level.heightmapPath, sample.path("Heightmap.raw"));
    EXPECT_EQ(level.heightmapSide, 0);
}

TEST(LevelReader, VehicleKindsComeFromTheWordsOfNamesAndTypes) {
    EXPECT_EQ(vehicleKindFromWords({"Tiger", "PlayerControlObject", "Tank_Tracks"}),
              VehicleKind::Tank);
    EXPECT_EQ(vehicleKindFromWords({"Spitfire", "Airplane"}), VehicleKind::Plane);
    EXPECT_EQ(vehicleKindFromWords({"Yamato", "FloatingBundle"}), VehicleKind::Ship);
    EXPECT_EQ(vehicleKindFromWords({"Jeep", "PlayerControlObject"}), VehicleKind::Other);
    EXPECT_EQ(vehicleKindFromWords({}), VehicleKind::Other);
}

TEST(Heightmap, TheSideComesFromTheSizeOfASquareOfSixteenBitHeights) {
    EXPECT_EQ(heightmapSide(2 * 64 * 64), 64);
    EXPECT_EQ(heightmapSide(2 * 1025 * 1025), 1025);
    EXPECT_EQ(heightmapSide(2), 1);
    EXPECT_EQ(heightmapSide(0), 0);
    EXPECT_EQ(heightmapSide(2 * 64 * 64 + 1), 0);
    EXPECT_EQ(heightmapSide(2 * 64 * 63), 0);
    EXPECT_EQ(heightmapSide(qint64(2) * 8192 * 8192), 8192);
    EXPECT_EQ(heightmapSide(qint64(2) * 8193 * 8193), 0); // not read into memory
    EXPECT_EQ(heightmapSide(-2), 0);
    const Heightmap map = Heightmap::fromBytes(SampleLevel::rampHeightmap(8));
    ASSERT_EQ(map.side, 8);
    EXPECT_EQ(map.at(3, 5), 3 * 256);
    EXPECT_TRUE(Heightmap::fromBytes(QByteArray(7, '\0')).isNull());
}

TEST(Heightmap, ReliefTintsTheGroundBelowTheWaterBlue) {
    const Heightmap map = Heightmap::fromBytes(SampleLevel::rampHeightmap());
    const ReliefPicture picture = shadeRelief(map, 1024, 1, 20, true);
    ASSERT_EQ(picture.side, 64);
    auto blue = [](quint32 p) {
        return int(p & 0xff) > int((p >> 8) & 0xff) && int(p & 0xff) > int((p >> 16) & 0xff);
    };
    EXPECT_TRUE(blue(picture.pixels[10 * 64 + 5]));   // height 5
    EXPECT_FALSE(blue(picture.pixels[10 * 64 + 40])); // height 40
    const ReliefPicture dry = shadeRelief(map, 1024, 1, 20, false);
    EXPECT_FALSE(blue(dry.pixels[10 * 64 + 5]));
    // A big map is drawn from every other height.
    const ReliefPicture small = shadeRelief(map, 1024, 1, 20, true, 32);
    EXPECT_EQ(small.side, 32);
}
