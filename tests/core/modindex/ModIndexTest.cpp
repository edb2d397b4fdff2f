#include "core/modindex/ModIndex.h"
#include "core/modindex/IndexBuilder.h"
#include "core/modindex/IndexFolders.h"
#include "tests/core/FileBytes.h"
#include "tests/core/modindex/ModTree.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

QStringList filesOf(const QList<IndexEntry> &entries) {
    QStringList files;
    for (const IndexEntry &entry : entries)
        files.append(entry.file + ":" + QString::number(entry.line));
    return files;
}

// Gives the file a new time, so the index sees a change even within the same second.
void touch(const QString &path, const QByteArray &bytes, int secondsLater) {
    writeAll(path, bytes);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(secondsLater),
                     QFileDevice::FileModificationTime);
}

} // namespace

class ModIndexTest : public ::testing::Test {
protected:
    ModTree tree;
    ModIndex index{ModTree::shippedTables()};
    QString tankCon = tree.path("objects/vehicles/tank/tank.con");
};

TEST_F(ModIndexTest, DefinitionsAcrossFilesAndArchivesIgnoreLetterCase) {
    const BuildStats stats = index.build({tree.mod});
    EXPECT_TRUE(stats.errors.isEmpty()) << stats.errors.join("\n").toStdString();
    EXPECT_FALSE(stats.cancelled);

    EXPECT_EQ(filesOf(index.definitions("TANK_HULL")), QStringList{tankCon + ":2"});
    const QList<IndexEntry> m1 = index.definitions("tank_hull_m1", "geometrytemplate");
    ASSERT_EQ(m1.size(), 1);
    EXPECT_EQ(m1[0].type, "StandardMesh");
    EXPECT_EQ(m1[0].family, "GeometryTemplate");
    EXPECT_TRUE(index.definitions("Tank_Hull_M1", "ObjectTemplate").isEmpty());

    // The AI scripts exist only in the archive.
    const QList<IndexEntry> ai = index.definitions("Tank_AI");
    ASSERT_EQ(ai.size(), 1);
    EXPECT_EQ(ai[0].file, tree.path("archives/ai.rfa/ai/tank_ai.con"));
    EXPECT_EQ(index.fileBytes(ai[0].file), "aiTemplate.create Tank_AI\r\ninclude common.inc\r\n");

    // Names in rem lines and beginRem blocks are neither defined nor referred to.
    EXPECT_TRUE(index.definitions("Ghost_Def").isEmpty());
    EXPECT_TRUE(index.references("Ghost_In_Block").isEmpty());
    EXPECT_TRUE(index.references("Ghost_In_Rem").isEmpty());
    EXPECT_TRUE(index.references("Ghost_After_Rem").isEmpty());
}

TEST_F(ModIndexTest, PackedCopiesOfTheModsScriptsDoNotCountTwice) {
    index.build({tree.mod});
    EXPECT_EQ(index.definitions("Tank_Engine").size(), 1);
    EXPECT_EQ(index.definitions("Tank_Turret").size(), 2); // tank.inc and dupes.con
    EXPECT_EQ(index.definitions("Tank_Hull").size(), 1);
    // The packed copy can still be opened.
    EXPECT_EQ(index.fileBytes(tree.path("archives/objects.rfa/objects/vehicles/tank/tank.inc")),
              readAll(tree.path("objects/vehicles/tank/tank.inc")));
}

TEST_F(ModIndexTest, ReferencesAndCompletionNames) {
    index.build({tree.mod});
    EXPECT_EQ(filesOf(index.references("tank_turret")), QStringList{tankCon + ":4"});
    EXPECT_EQ(index.lineText(tankCon, 4), "ObjectTemplate.addTemplate tank_turret");
    EXPECT_EQ(index.lineText(tree.path("archives/ai.rfa/ai/tank_ai.con"), 2), "include common.inc");
    EXPECT_EQ(index.lineText(tankCon, 99), "");
    EXPECT_EQ(filesOf(index.references("Tank_Engine", "ObjectTemplate")),
              QStringList{tree.path("bf1942/levels/test/objects.con") + ":2"});
    // A name defined twice is offered once, spelt as its first definition (dupes.con) has it.
    EXPECT_EQ(index.namesWithPrefix("objecttemplate", "tank_"),
              (QByteArrayList{"Tank_Engine", "Tank_Hull", "TANK_TURRET"}));
    EXPECT_EQ(index.namesWithPrefix("ObjectTemplate", "tank_t"), QByteArrayList{"TANK_TURRET"});
    EXPECT_EQ(index.namesWithPrefix("ObjectTemplate", "", 1), QByteArrayList{"Tank_Engine"});
    EXPECT_TRUE(index.namesWithPrefix("NoSuchFamily", "").isEmpty());
}

TEST_F(ModIndexTest, IncludeAndRunPathsResolveToTheScriptTheGameReads) {
    index.build({tree.mod});
    EXPECT_EQ(index.resolveFile(tankCon, "tank.inc"), tree.path("objects/vehicles/tank/tank.inc"));
    EXPECT_EQ(index.resolveFile(tankCon, "tanksounds.con"),
              tree.path("objects/vehicles/tank/TankSounds.con"));
    EXPECT_TRUE(index.resolveFile(tankCon, "../common/missing.con").isEmpty());
    // From a level script on disk into an archive, and within the archive.
    const QString level = tree.path("bf1942/levels/test/objects.con");
    EXPECT_EQ(index.resolveFile(level, "../../../ai/tank_ai.con"),
              tree.path("archives/ai.rfa/ai/tank_ai.con"));
    EXPECT_EQ(index.resolveFile(tree.path("archives/ai.rfa/ai/tank_ai.con"), "common.inc"),
              tree.path("archives/ai.rfa/ai/common.inc"));
}

TEST_F(ModIndexTest, ScriptFilesAreTheScriptsOnDisk) {
    index.build({tree.mod});
    const QStringList expected{
        tree.path("bf1942/levels/test/objects.con"), tree.path("objects/common/dupes.con"),
        tree.path("objects/vehicles/tank/TankSounds.con"),
        tree.path("objects/vehicles/tank/tank.con"), tree.path("objects/vehicles/tank/tank.inc")};
    EXPECT_EQ(index.scriptFiles(), expected);
    EXPECT_EQ(listScriptFiles({tree.mod, tree.path("objects")}), expected);
}

TEST_F(ModIndexTest, AFileChangedOnDiskIsReadAgain) {
    index.build({tree.mod});
    EXPECT_TRUE(index.readAsOnDisk(tankCon));
    EXPECT_FALSE(index.readAsOnDisk(tree.path("archives/ai.rfa/ai/tank_ai.con")));
    touch(tankCon, "ObjectTemplate.create Bundle Tank_Body\r\n", 5);
    EXPECT_FALSE(index.readAsOnDisk(tankCon));
    index.rereadFile(tankCon);
    EXPECT_TRUE(index.readAsOnDisk(tankCon));
    EXPECT_TRUE(index.definitions("Tank_Hull").isEmpty());
    EXPECT_EQ(filesOf(index.definitions("tank_body")), QStringList{tankCon + ":1"});
    EXPECT_TRUE(index.references("Tank_Turret").isEmpty());
    EXPECT_EQ(index.namesWithPrefix("ObjectTemplate", "Tank_"),
              (QByteArrayList{"Tank_Body", "Tank_Engine", "TANK_TURRET"}));

    QFile::remove(tankCon);
    index.rereadFile(tankCon);
    EXPECT_FALSE(index.contains(tankCon));
    EXPECT_TRUE(index.definitions("Tank_Body").isEmpty());
    // A script outside the index folders stays out.
    const QString outside = tree.dir.filePath("elsewhere.con");
    writeAll(outside, "ObjectTemplate.create Bundle Stray\r\n");
    index.rereadFile(outside);
    EXPECT_TRUE(index.definitions("Stray").isEmpty());
}

TEST_F(ModIndexTest, ASecondStartReadsOnlyWhatChanged) {
    const QString cache = tree.dir.filePath("modindex.cache");
    index.setCacheFile(cache);
    const BuildStats cold = index.build({tree.mod});
    EXPECT_EQ(cold.filesRead, 7); // five scripts, two archives
    EXPECT_EQ(cold.filesFromCache, 0);
    ASSERT_TRUE(QFile::exists(cache));

    ModIndex again(ModTree::shippedTables());
    again.setCacheFile(cache);
    const BuildStats warm = again.build({tree.mod});
    EXPECT_EQ(warm.filesRead, 0);
    EXPECT_EQ(warm.filesFromCache, 7);
    EXPECT_EQ(warm.files, cold.files);
    EXPECT_EQ(filesOf(again.definitions("Tank_AI")), filesOf(index.definitions("Tank_AI")));
    EXPECT_EQ(filesOf(again.references("Tank_Turret")), QStringList{tankCon + ":4"});

    touch(tree.path("objects/common/dupes.con"), "ObjectTemplate.create Bundle Fresh\r\n", 5);
    ModIndex third(ModTree::shippedTables());
    third.setCacheFile(cache);
    const BuildStats changed = third.build({tree.mod});
    EXPECT_EQ(changed.filesRead, 1);
    EXPECT_EQ(third.definitions("Fresh").size(), 1);
    EXPECT_EQ(third.definitions("Tank_Turret").size(), 1);
}

TEST_F(ModIndexTest, ACacheMadeWithOtherTablesOrDamagedIsNotUsed) {
    const QString cache = tree.dir.filePath("modindex.cache");
    index.setCacheFile(cache);
    index.build({tree.mod});

    CommandTable extended = ModTree::shippedTables();
    extended.addRules("refer ObjectTemplate.setSomething ObjectTemplate 1\n");
    ModIndex other(extended);
    other.setCacheFile(cache);
    EXPECT_EQ(other.build({tree.mod}).filesFromCache, 0);

    QByteArray bytes = readAll(cache);
    writeAll(cache, bytes.left(bytes.size() / 2));
    ModIndex damaged(extended);
    damaged.setCacheFile(cache);
    const BuildStats stats = damaged.build({tree.mod});
    EXPECT_EQ(stats.filesFromCache, 0);
    EXPECT_EQ(damaged.definitions("Tank_Hull").size(), 1);
}

TEST_F(ModIndexTest, ADamagedArchiveIsReportedAndTheRestIndexed) {
    writeAll(tree.path("archives/broken.rfa"), "not an archive");
    const BuildStats stats = index.build({tree.mod});
    ASSERT_EQ(stats.errors.size(), 1);
    EXPECT_TRUE(stats.errors[0].contains("broken.rfa")) << stats.errors[0].toStdString();
    EXPECT_EQ(index.definitions("Tank_AI").size(), 1);
}

TEST_F(ModIndexTest, WithoutAnArchiveReaderOnlyScriptsOnDiskCount) {
    index.setArchiveReader({});
    index.build({tree.mod});
    EXPECT_TRUE(index.definitions("Tank_AI").isEmpty());
    EXPECT_EQ(index.definitions("Tank_Hull").size(), 1);
}

TEST_F(ModIndexTest, TheBuilderReportsProgressAndACancelledBuildLeavesTheIndex) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    IndexBuilder builder(index);
    int lastDone = 0, total = 0;
    BuildStats result;
    QEventLoop loop;
    QObject::connect(&builder, &IndexBuilder::progress, [&](int done, int all) {
        lastDone = done;
        total = all;
    });
    QObject::connect(&builder, &IndexBuilder::finished, [&](const BuildStats &stats) {
        result = stats;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    builder.start({tree.mod});
    loop.exec();
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(total, 7);
    EXPECT_EQ(lastDone, 7);
    EXPECT_EQ(index.definitions("Tank_Hull").size(), 1);

    // A build told to stop before it reads anything changes nothing.
    BuildControl control;
    control.cancel = true;
    touch(tankCon, "ObjectTemplate.create Bundle Other\r\n", 5);
    EXPECT_TRUE(index.build({tree.mod}, &control).cancelled);
    EXPECT_EQ(index.definitions("Tank_Hull").size(), 1);
    EXPECT_TRUE(index.definitions("Other").isEmpty());
}

TEST(IndexFolders, TheListThenTheActiveScriptsModRootThenTheModPath) {
    ModTree tree;
    QTemporaryDir program;
    const QString folder = program.path() + "/";
    EXPECT_TRUE(effectiveIndexFolders(folder, QString()).isEmpty());
    EXPECT_EQ(effectiveIndexFolders(folder, tree.path("bf1942/levels/test/objects.con")),
              QStringList{tree.mod});
    const QString tankCon = tree.path("objects/vehicles/tank/tank.con");
    EXPECT_EQ(modFolderOf(tankCon), tree.mod);
    EXPECT_TRUE(modFolderOf(tree.dir.filePath("aisource/tank_ai.con")).isEmpty());

    writeAll(folder + "compilepref.ini",
             "packer\r\n" + QFile::encodeName(tree.path("objects")) + "\r\ngame\r\n-game\r\n");
    // The mod root above the script comes first; the mod path serves a script of no mod.
    EXPECT_EQ(effectiveIndexFolders(folder, tankCon), QStringList{tree.mod});
    EXPECT_EQ(effectiveIndexFolders(folder, tree.dir.filePath("aisource/tank_ai.con")),
              QStringList{tree.path("objects")});

    const QString odd = tree.dir.filePath("Mod ünï");
    QDir().mkpath(odd);
    writeIndexFolders(folder, {odd, tree.mod});
    EXPECT_EQ(readAll(folder + "indexfolders.ini"),
              QFile::encodeName(odd) + "\r\n" + QFile::encodeName(tree.mod) + "\r\n");
    EXPECT_EQ(effectiveIndexFolders(folder, QString()), (QStringList{odd, tree.mod}));
}
