// The index on folders it does not control: links, loops, unreadable folders, junk lines in
// indexfolders.ini, damaged caches, and finding a mod's root.
#include "core/modindex/FolderWalk.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModIndex.h"
#include "core/modindex/ModLayout.h"
#include "tests/core/FileBytes.h"
#include "tests/core/NoReadOverride.h"
#include "tests/core/modindex/ModTree.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

bool anyScript(const QString &path) {
    return isScriptName(path);
}

} // namespace

TEST(FolderWalk, NeverFollowsALinkOutOfTheFoldersOrRoundALoop) {
    QTemporaryDir dir;
    const QString mod = dir.filePath("mod"), outside = dir.filePath("outside");
    ModTree::putAt(mod + "/objects/a.con", "x");
    ModTree::putAt(outside + "/secret.con", "x");
    ASSERT_TRUE(QFile::link(outside, mod + "/objects/linked"));
    ASSERT_TRUE(QFile::link(outside + "/secret.con", mod + "/objects/secret.con"));
    ASSERT_TRUE(QFile::link(mod, mod + "/objects/loop"));
    const FolderWalk walk = walkFolders({mod}, anyScript);
    EXPECT_EQ(walk.files, QStringList{mod + "/objects/a.con"});
    EXPECT_TRUE(walk.errors.isEmpty());
    ASSERT_EQ(walk.notes.size(), 2); // the two links out; the loop stays inside
    EXPECT_TRUE(walk.notes.join(" ").contains("linked"));
}

TEST(FolderWalk, AnUnreadableFolderIsReportedAndTheWalkStopsPastItsLimit) {
    QTemporaryDir dir;
    const QString mod = dir.filePath("mod");
    for (int i = 0; i < 12; ++i)
        ModTree::putAt(mod + QStringLiteral("/objects/f%1.con").arg(i), "x");
    ModTree::putAt(mod + "/locked/b.con", "x");
    QFile::setPermissions(mod + "/locked", QFileDevice::WriteOwner);
    const bool root = geteuid() == 0; // root reads every folder
    const FolderWalk walk = walkFolders({mod}, anyScript);
    QFile::setPermissions(mod + "/locked",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!root) {
        ASSERT_EQ(walk.errors.size(), 1);
        EXPECT_EQ(walk.errors[0], "Cannot read folder " + mod + "/locked");
    }
    const FolderWalk limited = walkFolders({mod}, anyScript, 10);
    EXPECT_TRUE(limited.stopped);
    EXPECT_TRUE(limited.errors.last().startsWith("Stopped after 10 files"));
    EXPECT_LE(limited.files.size(), 10);
}

TEST(IndexFolders, ARelativeEmptyOrMissingLineIsLeftOutWithANoteAndBaseLinesAreKeptApart) {
    ModTree tree;
    QTemporaryDir program;
    const QString folder = program.path() + "/";
    // A file written before base folders existed, with junk in it.
    writeAll(folder + "indexfolders.ini", ".\r\n   \r\nrelative/mods\r\n" +
                                              QFile::encodeName(tree.dir.filePath("gone")) +
                                              "\r\n" + QFile::encodeName(tree.mod) + "\r\n");
    QStringList notes;
    EXPECT_EQ(readIndexFolders(folder, &notes), QStringList{tree.mod});
    EXPECT_EQ(notes.size(), 3);
    EXPECT_TRUE(readBaseFolders(folder).isEmpty());

    const QString archive = tree.path("archives/ai.rfa");
    writeIndexFolders(folder, {tree.mod}, {tree.path("objects"), archive});
    EXPECT_EQ(readIndexFolders(folder), QStringList{tree.mod});
    EXPECT_EQ(readBaseFolders(folder), (QStringList{tree.path("objects"), archive}));
    // An archive is a base, never an index folder.
    writeAll(folder + "indexfolders.ini", QFile::encodeName(archive) + "\r\n");
    EXPECT_TRUE(readIndexFolders(folder).isEmpty());
}

TEST(ModLayout, TheModRootIsTheNearestFolderWithAModsLayoutNotALevelOrAVehicle) {
    QTemporaryDir dir;
    const QString mod = dir.filePath("MyMod");
    ModTree::putAt(mod + "/mod.dll", "");
    // A vehicle folder with a sound folder of its own, a level with an Init.con and Objects/.
    ModTree::putAt(mod + "/Objects/Tanks/Tiger/Sound/engine.con", "x");
    ModTree::putAt(mod + "/Objects/Tanks/Tiger/Tiger.con", "x");
    ModTree::putAt(mod + "/Bf1942/Levels/Alpha/Init.con", "x");
    ModTree::putAt(mod + "/Bf1942/Levels/Alpha/Objects/x.con", "x");
    ModTree::putAt(mod + "/Bf1942/Levels/Alpha/Conquest/ObjectSpawns.con", "x");
    EXPECT_EQ(modFolderOf(mod + "/Objects/Tanks/Tiger/Tiger.con"), mod);
    EXPECT_EQ(modFolderOf(mod + "/Bf1942/Levels/Alpha/Conquest/ObjectSpawns.con"), mod);
    EXPECT_EQ(modFolderOf(mod + "/Bf1942/Levels/Alpha/Objects/x.con"), mod);
    EXPECT_EQ(levelFolderOf(mod + "/Bf1942/Levels/Alpha/Conquest/ObjectSpawns.con"),
              mod + "/Bf1942/Levels/Alpha");
    EXPECT_TRUE(levelFolderOf(mod + "/Bf1942/Levels/readme.con").isEmpty());
    // A mod's init.con marks its root too.
    QFile::remove(mod + "/mod.dll");
    ModTree::putAt(mod + "/init.con", "x");
    QDir(mod + "/Objects").rename(mod + "/Objects", mod + "/Things");
    EXPECT_EQ(modFolderOf(mod + "/Things/Tanks/Tiger/Tiger.con"), mod);
    EXPECT_EQ(findIgnoringCase(mod + "/things/TANKS/tiger/tiger.CON"),
              mod + "/Things/Tanks/Tiger/Tiger.con");
    EXPECT_TRUE(findIgnoringCase(mod + "/things/none.con").isEmpty());
}

TEST(IndexCache, EveryFlippedBitMakesTheIndexReadAgain) {
    ModTree tree;
    const QString cache = tree.dir.filePath("modindex.cache");
    {
        ModIndex index(ModTree::shippedTables());
        index.setCacheFile(cache);
        index.build({tree.mod});
    }
    const QByteArray good = readAll(cache);
    ASSERT_GT(good.size(), 100);
    for (int i = 0; i < 40; ++i) {
        QByteArray bad = good;
        const qsizetype at = (good.size() - 1) * i / 39;
        bad[at] = char(bad[at] ^ (1 << (i % 8)));
        writeAll(cache, bad);
        ModIndex index(ModTree::shippedTables());
        index.setCacheFile(cache);
        const BuildStats stats = index.build({tree.mod});
        EXPECT_EQ(stats.filesFromCache, 0) << "bit " << i % 8 << " of byte " << at;
        EXPECT_EQ(index.definitions("Tank_Hull").size(), 1);
    }
}

TEST(ModIndexBuild, AnUnreadableFolderIsAnErrorOfTheBuild) {
    ModTree tree;
    QFile::setPermissions(tree.path("objects/common"), QFileDevice::WriteOwner);
    QFile::setPermissions(tree.path("objects/vehicles/tank/tank.inc"), QFileDevice::WriteOwner);
    ModIndex index(ModTree::shippedTables());
    BuildStats stats;
    {
        NoReadOverride asUser;
        stats = index.build({tree.mod});
    }
    QFile::setPermissions(tree.path("objects/common"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(stats.errors,
              (QStringList{"Cannot read folder " + tree.path("objects/common"),
                           "Cannot open file " + tree.path("objects/vehicles/tank/tank.inc")}));
}
