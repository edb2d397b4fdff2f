#include "core/modindex/Rename.h"
#include "core/common/Error.h"
#include "tests/core/FileBytes.h"
#include "tests/core/modindex/LayoutModTree.h"

#include <gtest/gtest.h>

using namespace marlix;

class RenameTest : public ::testing::Test {
protected:
    ModTree tree;
    ModIndex index{ModTree::shippedTables()};
    QString tankCon = tree.path("objects/vehicles/tank/tank.con");
    QString levelCon = tree.path("bf1942/levels/test/objects.con");
    RenameScope scope;

    void SetUp() override {
        index.build({tree.mod});
        scope.index = &index;
    }
    // The position of the first whole occurrence of a word in a script on disk.
    static qsizetype at(const QByteArray &text, const QByteArray &word) {
        return text.indexOf(word) + 1;
    }
    RenamePlan plan(const QString &file, const QByteArray &word, const QByteArray &newName) {
        const QByteArray text = readAll(file);
        return planRename(scope, file, text, at(text, word), newName);
    }
    static QStringList places(const RenamePlan &plan) {
        QStringList places;
        for (const RenameChange &c : plan.changes)
            places.append(QStringLiteral("%1:%2:%3 %4>%5")
                              .arg(QFileInfo(c.file).fileName())
                              .arg(c.line)
                              .arg(c.column)
                              .arg(QString::fromLatin1(c.before), QString::fromLatin1(c.after)));
        return places;
    }
};

TEST_F(RenameTest, RenamesTheDefinitionAndEveryReferenceInItsFamilyAndNothingElse) {
    const QByteArray levelBefore = readAll(levelCon);
    const QByteArray tankBefore = readAll(tankCon);
    // Named from a reference, in other letter case than the definition.
    const QByteArray level = readAll(levelCon);
    const RenamePlan p = planRename(scope, levelCon, level, at(level, "Tank_Hull"), "Tank_Body");
    ASSERT_TRUE(p.refusal.isEmpty()) << p.refusal.toStdString();
    EXPECT_EQ(p.family, "ObjectTemplate");
    // The packed copy of tank.con in archives/objects.rfa stands behind the script on disk,
    // and Tank_Hull_M1 (another word) is left alone.
    EXPECT_EQ(places(p), QStringList({"objects.con:1:14 Tank_Hull>Tank_Body",
                                      "tank.con:2:29 Tank_Hull>Tank_Body"}));
    EXPECT_EQ(p.changes[1].lineBefore, "ObjectTemplate.create Bundle Tank_Hull");
    EXPECT_EQ(p.changes[1].lineAfter, "ObjectTemplate.create Bundle Tank_Body");

    for (const QString &file : p.files())
        renameInFile(file, p.changes);
    // Only the renamed words change: line ends, remarks and every other byte stay, and no
    // header block is added.
    QByteArray expected = tankBefore;
    expected.replace("Bundle Tank_Hull\r\n", "Bundle Tank_Body\r\n");
    EXPECT_EQ(readAll(tankCon), expected);
    expected = levelBefore;
    expected.replace("Object.create Tank_Hull", "Object.create Tank_Body");
    EXPECT_EQ(readAll(levelCon), expected);
}

TEST_F(RenameTest, ALineNamingTheNameTwiceChangesBothWords) {
    tree.put("objects/twice.con", "ObjectTemplate.activeSafe Tank_Turret Tank_Turret\r\n");
    index.build({tree.mod});
    const RenamePlan p = plan(tankCon, "tank_turret", "Turret");
    ASSERT_TRUE(p.refusal.isEmpty()) << p.refusal.toStdString();
    QStringList twice;
    for (const RenameChange &c : p.changes)
        if (c.file.endsWith("twice.con"))
            twice.append(QString::fromLatin1(c.lineAfter));
    // activeSafe names its template in the second argument only.
    EXPECT_EQ(twice, QStringList({"ObjectTemplate.activeSafe Tank_Turret Turret"}));
    // Both definitions (tank.inc and the duplicate in dupes.con) are renamed.
    EXPECT_EQ(places(p).filter("Turret").size(), 4) << places(p).join("\n").toStdString();
}

TEST_F(RenameTest, RefusesNamesUsedInsideAnArchiveOrTheBaseGame) {
    // Tank_AI is defined only in archives/ai.rfa.
    RenamePlan p = plan(tankCon, "Tank_AI", "Tank_Brain");
    EXPECT_TRUE(p.refusal.contains("inside the archive")) << p.refusal.toStdString();
    EXPECT_TRUE(p.refusal.contains("ai.rfa")) << p.refusal.toStdString();
    EXPECT_TRUE(p.changes.isEmpty());

    scope.readOnlyFolders = {tree.path("bf1942")};
    p = plan(tankCon, "Tank_Hull", "Tank_Body");
    EXPECT_TRUE(p.refusal.contains("base game")) << p.refusal.toStdString();
    EXPECT_TRUE(p.refusal.contains("objects.con:1")) << p.refusal.toStdString();
    p = plan(levelCon, "Tank_Hull", "Tank_Body");
    EXPECT_TRUE(p.refusal.contains("base game")) << p.refusal.toStdString();
}

TEST_F(RenameTest, RefusesANewNameThatIsNotOneWordOrIsTakenInTheFamily) {
    for (const QByteArray &bad : {QByteArray("Tank Body"), QByteArray(""), QByteArray("rem"),
                                  QByteArray("Tank\tBody"), QByteArray("\"Tank\"")}) {
        const RenamePlan p = plan(tankCon, "Tank_Hull", bad);
        EXPECT_TRUE(p.refusal.contains("not one word")) << bad.constData();
    }
    RenamePlan p = plan(tankCon, "Tank_Hull", "TANK_TURRET");
    EXPECT_TRUE(p.refusal.contains("ObjectTemplate TANK_TURRET is already defined"))
        << p.refusal.toStdString();
    // A name of another family is no obstacle, nor the name itself in other letter case.
    EXPECT_TRUE(plan(tankCon, "Tank_Hull", "Tank_Hull_M1").refusal.isEmpty());
    p = plan(tankCon, "Tank_Hull", "TANK_HULL");
    EXPECT_TRUE(p.refusal.isEmpty());
    EXPECT_EQ(p.changes.size(), 2);
    // A place that names nothing renames nothing.
    p = plan(tankCon, "include", "x");
    EXPECT_FALSE(p.refusal.isEmpty());
}

TEST_F(RenameTest, AnOpenScriptCountsWithItsUnsavedText) {
    // In the editor, the level script now places the tank on its second line and defines a
    // name of its own that the family already has on disk nowhere else.
    scope.openTexts.insert(levelCon, "rem moved\r\nObject.create tank_hull\r\n"
                                     "ObjectTemplate.create Bundle Tank_Body\r\n");
    RenamePlan p = plan(tankCon, "Tank_Hull", "Tank_Body");
    EXPECT_TRUE(p.refusal.contains("already defined")) << p.refusal.toStdString();
    p = plan(tankCon, "Tank_Hull", "Tank_Chassis");
    ASSERT_TRUE(p.refusal.isEmpty());
    EXPECT_EQ(places(p), QStringList({"objects.con:2:14 tank_hull>Tank_Chassis",
                                      "tank.con:2:29 Tank_Hull>Tank_Chassis"}));
    EXPECT_EQ(
        renamedText(scope.openTexts.value(levelCon), levelCon, p.changes),
        "rem moved\r\nObject.create Tank_Chassis\r\nObjectTemplate.create Bundle Tank_Body\r\n");
}

TEST_F(RenameTest, AScriptChangedSinceThePlanIsLeftAlone) {
    const RenamePlan p = plan(tankCon, "Tank_Hull", "Tank_Body");
    ASSERT_TRUE(p.refusal.isEmpty());
    const QByteArray changed = "Object.create Tank_Hulk\r\n";
    writeAll(levelCon, changed);
    EXPECT_THROW(renameInFile(levelCon, p.changes), Error);
    EXPECT_EQ(readAll(levelCon), changed);
}

TEST_F(RenameTest, SeveralScriptsAreRenamedAllOrNone) {
    const RenamePlan p = plan(tankCon, "Tank_Hull", "Tank_Body");
    ASSERT_TRUE(p.refusal.isEmpty());
    ASSERT_EQ(p.files(), QStringList({levelCon, tankCon}));
    const QByteArray levelBefore = readAll(levelCon);
    const QByteArray tankBefore = readAll(tankCon);

    // The second script changed since the plan: the first is not written either.
    const QByteArray changed = "ObjectTemplate.create Bundle Tank_Hulk\r\n";
    writeAll(tankCon, changed);
    EXPECT_THROW(renameInFiles(p.files(), p.changes), Error);
    EXPECT_EQ(readAll(levelCon), levelBefore);
    EXPECT_EQ(readAll(tankCon), changed);

    // The second cannot be written (marked read-only): the first, already written, gets its
    // old bytes back.
    writeAll(tankCon, tankBefore);
    QFile::setPermissions(tankCon, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_THROW(renameInFiles(p.files(), p.changes), Error);
    EXPECT_EQ(readAll(levelCon), levelBefore);
    EXPECT_EQ(readAll(tankCon), tankBefore);

    QFile::setPermissions(tankCon, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    renameInFiles(p.files(), p.changes);
    EXPECT_TRUE(readAll(levelCon).startsWith("Object.create Tank_Body\r\n"));
    EXPECT_TRUE(readAll(tankCon).contains("Bundle Tank_Body\r\n"));
}

// A new name is taken only where one play of the game could read its definition together
// with a use of the old name: each level, and each game mode of a level, has names of its own.
TEST(RenameLoadsTest, ANewNameDefinedOnlyWhereTheOldOneIsNeverReadIsFree) {
    LayoutModTree tree;
    ModIndex index(ModTree::shippedTables());
    index.build({tree.mod}, {tree.base});
    RenameScope scope;
    scope.index = &index;
    scope.readOnlyFolders = {tree.base};
    const auto plan = [&](const QString &script, const QByteArray &word,
                          const QByteArray &newName) {
        const QByteArray text = readAll(tree.path(script));
        return planRename(scope, tree.path(script), text, text.indexOf(word) + 1, newName);
    };
    const QString betaCtf = "bf1942/levels/beta/Ctf/SoldierSpawns.con";

    // beta's spawn may take the name of Alpha's spawners: no play reads both levels.
    RenamePlan p = plan(betaCtf, "AlliedSpawn", "AxisSpawnPoint_1");
    EXPECT_TRUE(p.refusal.isEmpty()) << p.refusal.toStdString();
    EXPECT_EQ(p.files().size(), 2); // beta's CTF and co-op modes
    // Not the name of the shared objects, read in every play.
    p = plan(betaCtf, "AlliedSpawn", "SkyBox");
    EXPECT_TRUE(p.refusal.contains("ObjectTemplate SkyBox is already defined"))
        << p.refusal.toStdString();
    EXPECT_TRUE(p.refusal.contains("Shared.inc")) << p.refusal.toStdString();
    // Within one game mode of a level the two meet.
    p = plan("bf1942/levels/Alpha/TDM/ObjectSpawns.con", "tdmOnly", "AxisSpawnPoint_1");
    EXPECT_TRUE(p.refusal.contains("already defined")) << p.refusal.toStdString();
    // A use alone is enough: beta's crate is placed by Alpha's TDM mode too, where the new
    // name is defined, although beta's definition and TDM's never meet.
    tree.put("bf1942/levels/Alpha/TDM/Extra.con", "ObjectTemplate.create SimpleObject TdmCrate\r\n"
                                                  "Object.create BetaCrate\r\n");
    tree.put("bf1942/levels/beta/Crates.con", "ObjectTemplate.create SimpleObject BetaCrate\r\n");
    index.build({tree.mod}, {tree.base});
    p = plan("bf1942/levels/beta/Crates.con", "BetaCrate", "TdmCrate");
    EXPECT_TRUE(p.refusal.contains("TdmCrate is already defined")) << p.refusal.toStdString();
    // A level's own terrain object and a mode's spawn of the same level meet in every play.
    p = plan("bf1942/levels/beta/init.con", "terrainObject", "AlliedSpawn");
    EXPECT_TRUE(p.refusal.contains("already defined")) << p.refusal.toStdString();
}
