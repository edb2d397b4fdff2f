// The rules of the mod check on a mod laid out as real ones are, one rule a test.
#include "core/modindex/ModCheck.h"
#include "tests/core/FileBytes.h"
#include "tests/core/modindex/LayoutModTree.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

class ModRules : public ::testing::Test {
protected:
    LayoutModTree tree;
    ModIndex index{ModTree::shippedTables()};

    void SetUp() override {
        const BuildStats stats = index.build({tree.mod}, {tree.base});
        ASSERT_TRUE(stats.errors.isEmpty()) << stats.errors.join("\n").toStdString();
    }
    // The problems of one kind as "path below the mod:line severity name".
    QStringList problems(ModProblem::Kind kind) const {
        QStringList lines;
        for (const ModProblem &p : checkMod(index))
            if (p.kind == kind)
                lines.append(QStringLiteral("%1:%2 %3 %4")
                                 .arg(p.file.mid(tree.mod.size() + 1))
                                 .arg(p.line)
                                 .arg(severityName(p.severity), QString::fromLatin1(p.name)));
        return lines;
    }
    QString lines(ModProblem::Kind kind) const { return problems(kind).join(" | "); }
};

} // namespace

TEST_F(ModRules, PathsAreLookedUpFromTheScriptTheLevelTheRootThenTheBaseIgnoringCase) {
    const QString conquest = tree.path("bf1942/levels/Alpha/GameTypes/Conquest.con");
    // From the level's folder, not GameTypes/.
    EXPECT_EQ(index.resolveFile(conquest, "Conquest/ObjectSpawns.con"),
              tree.path("bf1942/levels/Alpha/Conquest/ObjectSpawns.con"));
    EXPECT_EQ(index.resolveFile(tree.path("bf1942/levels/Alpha/GameTypes/TDM.con"),
                                "tdm/objectspawns.con"),
              tree.path("bf1942/levels/Alpha/TDM/ObjectSpawns.con"));
    // From the mod's root.
    EXPECT_EQ(index.resolveFile(tree.path("bf1942/levels/Alpha/Init.con"),
                                "bf1942/game/common/names.con"),
              tree.path("bf1942/game/common/names.con"));
    // From the script's own folder, backslashes and letter case as scripts write them.
    EXPECT_EQ(index.resolveFile(tree.path("objects/tanks/tank.con"), "..\\common\\shared.inc"),
              tree.path("objects/Common/Shared.inc"));
    // What the mod leaves to the base game: its archive below the same path.
    EXPECT_EQ(index.resolveFile(conquest, "Conquest/SoldierSpawns.con"),
              tree.base + "/archives/bf1942/levels/Alpha.rfa/bf1942/levels/Alpha/Conquest/"
                          "SoldierSpawns.con");
    EXPECT_EQ(index.resolveFile(tree.path("init.con"), "objects/wheels/WHEEL.con"),
              tree.base + "/objects/wheels/wheel.con");
    EXPECT_TRUE(index.resolveFile(conquest, "Conquest/Nothing.con").isEmpty());
    EXPECT_EQ(lines(ModProblem::MissingFile),
              "bf1942/game/common/names.con:5 error Missing/Nowhere");
}

TEST_F(ModRules, OnlyDefinitionsThatOnePlayReadsTogetherAreDefinedTwice) {
    // AxisSpawnPoint_1 in two modes of one level, terrainObject in two levels, AlliedSpawn in
    // the Coop mode's SinglePlayer/ and in Ctf/: none meet. Twice in Ctf/ they do.
    EXPECT_EQ(lines(ModProblem::DuplicateName),
              "bf1942/levels/beta/Ctf/SoldierSpawns.con:2 warning AlliedSpawn");
}

TEST_F(ModRules, AScriptNoGameTypeRunsBelongsToTheModeWhoseFolderHoldsIt) {
    tree.put("bf1942/levels/Alpha/tdm/Extra.con",
             "ObjectTemplate.create ObjectSpawner AxisSpawnPoint_1\r\n");
    tree.put("bf1942/levels/Alpha/Loose.con", "Object.create tdmOnly\r\n");
    index.build({tree.mod}, {tree.base});
    EXPECT_EQ(lines(ModProblem::DuplicateName),
              "bf1942/levels/Alpha/tdm/Extra.con:1 warning AxisSpawnPoint_1 | "
              "bf1942/levels/beta/Ctf/SoldierSpawns.con:2 warning AlliedSpawn");
    // A script of the level's shared part is read with every mode, TDM's included.
    EXPECT_FALSE(lines(ModProblem::UndefinedName).contains("Loose.con"));
}

TEST_F(ModRules, ALevelsDefinitionOfANameDefinedOutsideLevelsOrInTheBaseIsAnOverride) {
    EXPECT_EQ(lines(ModProblem::Override).toStdString(),
              "bf1942/levels/Alpha/StaticObjects.con:2 information SkyBox | "
              "objects/tanks/tank.con:1 information Tiger");
    for (const ModProblem &p : checkMod(index))
        if (p.kind == ModProblem::Override && p.name == "SkyBox") {
            EXPECT_EQ(p.relatedFile, tree.path("objects/Common/Shared.inc"));
            EXPECT_EQ(p.relatedLine, 1);
        }
}

TEST_F(ModRules, ANameIsUndefinedOnlyWhenNoPlayThatReadsTheReferenceDefinesIt) {
    // tdmOnly is defined in the TDM mode only; the Conquest mode refers to it.
    EXPECT_EQ(lines(ModProblem::UndefinedName),
              "bf1942/levels/Alpha/Conquest/ObjectSpawns.con:3 error tdmOnly");
    for (const ModProblem &p : checkMod(index))
        if (p.kind == ModProblem::UndefinedName)
            EXPECT_TRUE(p.message.endsWith("where this script is read (only at " +
                                           tree.path("bf1942/levels/Alpha/TDM/ObjectSpawns.con") +
                                           ":2)"))
                << p.message.toStdString();
}

TEST_F(ModRules, TheBaseGamesNamesAndCommandsCountAndItsOwnProblemsAreNotReported) {
    for (const ModProblem &p : checkMod(index)) {
        EXPECT_FALSE(p.file.startsWith(tree.base)) << problemLine(p).toStdString();
        EXPECT_NE(p.name, "BaseWheel");
        EXPECT_NE(p.name, "Base.onlyCommand");
        EXPECT_NE(p.name, "AxisSoldierSpawn");
    }
    // Without the base, the same mod lacks them.
    ModIndex alone(ModTree::shippedTables());
    alone.build({tree.mod});
    QStringList names;
    for (const ModProblem &p : checkMod(alone))
        names.append(QString::fromLatin1(p.name));
    EXPECT_TRUE(names.contains("BaseWheel"));
    EXPECT_TRUE(names.contains("Base.onlyCommand"));
    EXPECT_TRUE(names.contains("Conquest/SoldierSpawns"));
}

TEST_F(ModRules, AReferenceMayNameAThingOfAnyOfItsFamilies) {
    // ObjectTemplate.aiTemplate TigerGun: a weaponTemplate defines it.
    EXPECT_FALSE(lines(ModProblem::UndefinedName).contains("TigerGun"));
    const QByteArray text = readAll(tree.path("objects/tanks/tank.con"));
    const ScriptSymbol symbol = index.symbolAt(text, text.indexOf("TigerGun"));
    EXPECT_EQ(symbol.families, (QByteArrayList{"aiTemplate", "weaponTemplate"}));
    ASSERT_EQ(index.definitions(symbol.name, symbol.families).size(), 1);
    EXPECT_EQ(index.definitions(symbol.name, symbol.families)[0].family, "weaponTemplate");
    // From its definition, the weaponTemplate's references include that line.
    bool found = false;
    for (const IndexEntry &e : index.references("TigerGun", "weaponTemplate"))
        found = found || e.file == tree.path("objects/tanks/tank.con");
    EXPECT_TRUE(found);
}

TEST_F(ModRules, ACommandALetterOrTwoFromAKnownOneIsAnErrorWithAdviceAFarOneAWarning) {
    EXPECT_EQ(lines(ModProblem::UnknownCommand),
              "bf1942/game/common/names.con:3 error GeometriyTemplate.setLodDistance | "
              "bf1942/game/common/names.con:4 warning Frobnicate.everything");
    for (const ModProblem &p : checkMod(index))
        if (p.kind == ModProblem::UnknownCommand && p.line == 3) {
            EXPECT_EQ(p.suggestions, QStringList{"GeometryTemplate.setLodDistance"});
            EXPECT_TRUE(p.message.endsWith("did you mean GeometryTemplate.setLodDistance?"));
            EXPECT_EQ(p.column, 0);
            EXPECT_EQ(p.endColumn, 32);
        }
}

TEST_F(ModRules, AnUndefinedNameSuggestsAtMostThreeNearestNamesOfItsFamily) {
    tree.put("objects/tanks/more.con", "ObjectTemplate.create SimpleObject Tiger1\r\n"
                                       "ObjectTemplate.create SimpleObject Tiger12\r\n"
                                       "ObjectTemplate.create SimpleObject Tigers\r\n"
                                       "ObjectTemplate.create SimpleObject Tig\r\n"
                                       "GeometryTemplate.create StandardMesh Tige\r\n"
                                       "ObjectTemplate.addTemplate tige\r\n");
    index.build({tree.mod}, {tree.base});
    for (const ModProblem &p : checkMod(index))
        if (p.kind == ModProblem::UndefinedName && p.name == "tige") {
            EXPECT_EQ(p.suggestions, (QStringList{"Tig", "Tiger", "Tiger1"}));
            EXPECT_TRUE(p.message.endsWith("did you mean Tig, Tiger or Tiger1?"))
                << p.message.toStdString();
            return;
        }
    ADD_FAILURE() << "no undefined tige";
}

TEST_F(ModRules, DecorationLinesAfterRemAreRemarksButRemarkIsNot) {
    const ScriptScan scan =
        scanScript("rem-----rem\r\nrem*****\r\nREM_x\r\nremark 1\r\n", index.commandTable());
    ASSERT_EQ(scan.unknownCommands.size(), 1);
    EXPECT_EQ(scan.unknownCommands[0].command, "remark");
}

TEST_F(ModRules, IgnoreLinesSilenceTheKindsTheyNameOnTheNextLineOrInTheWholeScript) {
    tree.put("bf1942/game/common/names.con",
             "rem marlix: ignore unknown-command\r\n"
             "GeometriyTemplate.setLodDistance 0 50\r\n"
             "rem marlix: ignore missing-file\r\n"
             "Frobnicate.everything 1\r\n" // not silenced: another kind
             "rem marlix: ignore\r\n"
             "\r\n"
             "run Missing/Nowhere\r\n" // the next line of code
             "run Missing/Again\r\n");
    tree.put("bf1942/levels/Alpha/Conquest/ObjectSpawns.con",
             "rem marlix: ignore-file undefined-name\r\nObject.create tdmOnly\r\n");
    index.build({tree.mod}, {tree.base});
    EXPECT_EQ(lines(ModProblem::UnknownCommand),
              "bf1942/game/common/names.con:4 warning Frobnicate.everything");
    EXPECT_EQ(lines(ModProblem::MissingFile), "bf1942/game/common/names.con:8 error Missing/Again");
    EXPECT_EQ(lines(ModProblem::UndefinedName), "");
}

TEST_F(ModRules, OneScriptsUnsavedTextIsCheckedAgainstTheIndex) {
    const QString spawns = tree.path("bf1942/levels/Alpha/TDM/ObjectSpawns.con");
    const QList<ModProblem> found =
        checkScript(index, spawns,
                    "ObjectTemplate.create ObjectSpawner AxisSpawnPoint_1\r\n"
                    "ObjectTemplate.create ObjectSpawner AxisSpawnPoint_1\r\n"
                    "Object.create Tigr\r\n");
    QStringList seen;
    for (const ModProblem &p : found) {
        EXPECT_EQ(p.file, spawns);
        seen.append(kindName(p.kind) + ":" + QString::number(p.line));
    }
    EXPECT_EQ(seen, (QStringList{"duplicate-name:2", "undefined-name:3"}));
    // The index itself is unchanged.
    EXPECT_EQ(lines(ModProblem::DuplicateName),
              "bf1942/levels/beta/Ctf/SoldierSpawns.con:2 warning AlliedSpawn");
}

TEST(ModCheckSpeed, TwentyThousandDefinitionsAndReferencesInOneScriptAreCheckedInLinearTime) {
    ModTree tree;
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += "ObjectTemplate.create SimpleObject Part" + QByteArray::number(i % 5000) +
                "\r\nObjectTemplate.addTemplate Part" + QByteArray::number(i) + "\r\n";
    tree.put("objects/many/many.con", text);
    ModIndex index(ModTree::shippedTables());
    index.build({tree.mod});
    QElapsedTimer timer;
    timer.start();
    const QList<ModProblem> problems = checkMod(index);
    // Quadratic, this took minutes; linear, well under a second on a busy machine.
    EXPECT_LT(timer.elapsed(), 5000);
    std::printf("check of 20,000 pairs: %lld ms\n", qlonglong(timer.elapsed()));
    int duplicates = 0, undefined = 0;
    for (const ModProblem &p : problems) {
        duplicates += p.kind == ModProblem::DuplicateName;
        undefined += p.kind == ModProblem::UndefinedName && p.file.endsWith("many.con");
    }
    EXPECT_EQ(duplicates, 15000 + 1); // and tank.inc's Tank_Turret
    EXPECT_EQ(undefined, 15000);
}
