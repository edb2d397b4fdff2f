#include "tests/core/FileBytes.h"
#include "tests/core/NoReadOverride.h"
#include "tests/core/modindex/ModTree.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

// The checker in a program folder of its own, beside copies of the shipped tables.
class ModCheckProcess : public ::testing::Test {
protected:
    ModTree tree;
    QTemporaryDir program;

    void SetUp() override {
        ASSERT_TRUE(QFile::copy(MODCHECK_EXE, exe()));
        for (const char *table : {"modcommands.txt", "knowncommands.txt"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(MARLIX_SOURCE_DIR "/data/") + table,
                                    program.filePath(table)));
    }
    QString exe() const { return program.filePath("marlix-modcheck"); }

    Outcome run(const QStringList &arguments, bool asUser = false) const {
        QProcess process;
        if (asUser)
            process.setChildProcessModifier([] { NoReadOverride::dropForGood(); });
        process.setWorkingDirectory(tree.dir.path());
        process.start(exe(), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        Outcome result;
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }
};

} // namespace

TEST_F(ModCheckProcess, PrintsOneLinePerProblemAndExitsWithOne) {
    const Outcome result = run({"MyMod"});
    EXPECT_EQ(result.status, 1) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(),
              "MyMod/objects/common/dupes.con:2: error: ObjectTemplate.addTemplate names "
              "Tank_Wheel, but no ObjectTemplate of that name is defined; did you mean "
              "Tank_Hull?\n"
              "MyMod/objects/vehicles/tank/tank.con:8: error: run names no file: "
              "..\\common\\missing\n"
              "MyMod/objects/vehicles/tank/tank.con:9: error: unknown command "
              "ObjectTemplate.setMaxSped; did you mean ObjectTemplate.setMaxSpeed?\n"
              "MyMod/objects/vehicles/tank/tank.inc:2: warning: ObjectTemplate Tank_Turret is "
              "defined again (first at MyMod/objects/common/dupes.con:1)\n");
    EXPECT_TRUE(result.err.contains("1 undefined name, 1 name defined twice, 1 missing file, "
                                    "1 unknown command"))
        << result.err.toStdString();
}

TEST_F(ModCheckProcess, AModMendedOnDiskChecksCleanAndExitsWithZero) {
    tree.put("objects/common/dupes.con", "ObjectTemplate.create SimpleObject Tank_Wheel\r\n");
    tree.put("objects/vehicles/common/missing.con", "rem found now\r\n");
    QByteArray tank = readAll(tree.path("objects/vehicles/tank/tank.con"));
    tank.replace("setMaxSped", "setMaxSpeed");
    tree.put("objects/vehicles/tank/tank.con", tank);
    tree.put("objects/vehicles/tank/tank.inc", "GeometryTemplate.create StandardMesh Tank_Hull_M1\n"
                                               "ObjectTemplate.create SimpleObject Tank_Turret\n"
                                               "ObjectTemplate.addTemplate tank_wheel\n");
    const Outcome result = run({"MyMod"});
    EXPECT_EQ(result.out.toStdString(), "");
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
}

TEST_F(ModCheckProcess, CommandsAddedToTheTableBesideItAreKnown) {
    QFile known(program.filePath("knowncommands.txt"));
    ASSERT_TRUE(known.open(QIODevice::Append));
    known.write("objecttemplate.SETMAXSPED\r\n");
    known.close();
    const Outcome result = run({"MyMod/objects"});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(result.out.contains("unknown command")) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("Tank_Wheel"));
}

TEST_F(ModCheckProcess, BadArgumentsExitWithTwoAndHelpWithZero) {
    for (const QStringList &arguments :
         {QStringList{}, QStringList{"NoSuchFolder"}, QStringList{"--frobnicate", "MyMod"},
          QStringList{"MyMod", "MyMod/objects/common/dupes.con"},
          QStringList{"--format", "xml", "MyMod"}, QStringList{"--severity", "loud", "MyMod"},
          QStringList{"--fail-on", "MyMod"}, QStringList{"--base", "NoSuchBase", "MyMod"},
          QStringList{"--baseline", "no-such-baseline.txt", "MyMod"}}) {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.startsWith("marlix-modcheck: ")) << result.err.toStdString();
    }
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: marlix-modcheck [OPTION]... FOLDER..."))
        << help.out.toStdString();
}

TEST_F(ModCheckProcess, MissingTablesAreReportedNotTakenForACleanMod) {
    QFile::remove(program.filePath("modcommands.txt"));
    const Outcome result = run({"MyMod"});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("Cannot open file")) << result.err.toStdString();
}

TEST_F(ModCheckProcess, JsonAndSarifCarryEveryReportedProblem) {
    const Outcome json = run({"--format", "json", "MyMod"});
    EXPECT_EQ(json.status, 1);
    const QJsonArray problems = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(problems.size(), 4) << json.out.toStdString();
    QStringList kinds;
    for (const QJsonValue &problem : problems)
        kinds.append(problem.toObject()["kind"].toString());
    EXPECT_EQ(kinds,
              (QStringList{"undefined-name", "missing-file", "unknown-command", "duplicate-name"}));
    const QJsonObject duplicate = problems[3].toObject();
    EXPECT_EQ(duplicate["related"].toObject()["file"].toString(), "MyMod/objects/common/dupes.con");
    EXPECT_EQ(duplicate["name"].toString(), "Tank_Turret");
    EXPECT_EQ(problems[0].toObject()["suggestions"].toArray().size(), 1);

    const Outcome sarif = run({"--format", "sarif", "MyMod"});
    EXPECT_EQ(sarif.status, 1);
    const QJsonObject log = QJsonDocument::fromJson(sarif.out.toUtf8()).object();
    EXPECT_EQ(log["version"].toString(), "2.1.0");
    EXPECT_EQ(log["runs"].toArray()[0].toObject()["results"].toArray().size(), 4);
}

TEST_F(ModCheckProcess, SeverityChoosesWhatIsShownAndFailOnWhatFails) {
    // Only the warning left: it is shown, and fails only a stricter build.
    tree.put("objects/common/dupes.con", "ObjectTemplate.create SimpleObject TANK_TURRET\r\n"
                                         "ObjectTemplate.create SimpleObject Tank_Wheel\r\n");
    tree.put("objects/vehicles/common/missing.con", "rem found now\r\n");
    QByteArray tank = readAll(tree.path("objects/vehicles/tank/tank.con"));
    tank.replace("setMaxSped", "setMaxSpeed");
    tree.put("objects/vehicles/tank/tank.con", tank);
    Outcome result = run({"MyMod"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.contains(": warning: ObjectTemplate Tank_Turret is defined again"));
    EXPECT_EQ(run({"--fail-on", "warning", "MyMod"}).status, 1);
    result = run({"--severity", "error", "--fail-on", "warning", "MyMod"});
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.status, 0);
}

TEST_F(ModCheckProcess, ABaselineLeavesOutTodaysProblemsEvenWhenTheirLinesMove) {
    const QString baseline = tree.dir.filePath("baseline.txt");
    Outcome result = run({"--write-baseline", baseline, "MyMod"});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(readAll(baseline).contains("objects/vehicles/tank/tank.con\tunknown-command\t"
                                           "ObjectTemplate.setMaxSped\t"
                                           "ObjectTemplate.setMaxSped 10\n"));
    result = run({"--baseline", baseline, "MyMod"});
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.status, 0);
    // Two lines added at the top, and a new mistake: only the new one is reported.
    const QByteArray tank = readAll(tree.path("objects/vehicles/tank/tank.con"));
    tree.put("objects/vehicles/tank/tank.con",
             "rem moved\r\nObjectTemplate.addTemplate Tank_Hul\r\n" + tank);
    result = run({"--baseline", baseline, "MyMod"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.toStdString(),
              "MyMod/objects/vehicles/tank/tank.con:2: error: ObjectTemplate.addTemplate names "
              "Tank_Hul, but no ObjectTemplate of that name is defined; did you mean "
              "Tank_Hull?\n");
    // The baseline names scripts from the mod's folder, so it holds wherever the mod is.
    QDir().rename(tree.mod, tree.dir.filePath("Elsewhere"));
    result = run({"--baseline", baseline, "Elsewhere"});
    EXPECT_EQ(result.out.count('\n'), 1) << result.out.toStdString();
}

TEST_F(ModCheckProcess, TheBaseGameDefinesNamesAndResolvesRunsButIsNotChecked) {
    const QString base = tree.dir.filePath("Game/Mods/bf1942");
    ModTree::putAt(base + "/objects/common/missing.con",
                   "ObjectTemplate.create Wheel Tank_Wheel\r\n"
                   "ObjectTemplate.addTemplate Nowhere\r\n");
    Outcome result = run({"--base", base, "--severity", "information", "MyMod"});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(result.out.contains("Tank_Wheel")) << result.out.toStdString();
    EXPECT_FALSE(result.out.contains("Nowhere"));
    // The archive of the base game given by itself.
    const QString source = tree.dir.filePath("wheelsource");
    ModTree::putAt(source + "/wheels.con", "ObjectTemplate.create Wheel Tank_Wheel\r\n");
    QDir().mkpath(tree.dir.filePath("Game/archives"));
    marlix::packFolder(source, "objects/wheels", tree.dir.filePath("Game/archives/objects.rfa"),
                       false);
    result = run({"--base", "Game/archives/objects.rfa", "MyMod"});
    EXPECT_FALSE(result.out.contains("Tank_Wheel")) << result.out.toStdString();
}

TEST_F(ModCheckProcess, WhatCannotBeReadIsListedAndTheStatusIsNotZero) {
    tree.put("objects/common/dupes.con", "ObjectTemplate.create SimpleObject Tank_Wheel\r\n");
    // Never "0 scripts checked" and a clean status for a tree it could not read.
    QFile::setPermissions(tree.path("objects"), QFileDevice::WriteOwner);
    Outcome result = run({"--severity", "error", "MyMod/objects"}, true);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("Cannot read folder MyMod/objects"))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("the check is incomplete")) << result.err.toStdString();
    QFile::setPermissions(tree.path("objects"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // An unreadable script among readable ones.
    QFile::setPermissions(tree.path("objects/vehicles/tank/TankSounds.con"),
                          QFileDevice::WriteOwner);
    result = run({"--severity", "error", "MyMod"}, true);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("Cannot open file MyMod/objects/vehicles/tank/TankSounds.con"))
        << result.err.toStdString();
}

TEST_F(ModCheckProcess, ControlCharactersInScriptsArePrintedEscaped) {
    tree.put("objects/common/dupes.con",
             "ObjectTemplate.create SimpleObject Tank_Wheel\r\n"
             "ObjectTemplate.addTemplate Evil\x1b]0;owned\x07\x1b[2J\r\n");
    const Outcome result = run({"MyMod"});
    EXPECT_FALSE(result.out.contains(QChar(0x1b))) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("Evil\\x1b]0;owned\\x07\\x1b[2J")) << result.out.toStdString();
}
