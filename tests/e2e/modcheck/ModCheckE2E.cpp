#include "tests/core/FileBytes.h"
#include "tests/core/modindex/ModTree.h"

#include <QFile>
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

    Outcome run(const QStringList &arguments) const {
        QProcess process;
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
    EXPECT_EQ(result.out,
              "MyMod/objects/common/dupes.con:2: ObjectTemplate.addTemplate names Tank_Wheel, "
              "but no ObjectTemplate of that name is defined\n"
              "MyMod/objects/vehicles/tank/tank.con:8: run names no file: ..\\common\\missing\n"
              "MyMod/objects/vehicles/tank/tank.con:9: unknown command "
              "ObjectTemplate.setMaxSped\n"
              "MyMod/objects/vehicles/tank/tank.inc:2: ObjectTemplate Tank_Turret is defined "
              "again (first at MyMod/objects/common/dupes.con:1)\n");
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
          QStringList{"MyMod", "MyMod/objects/common/dupes.con"}}) {
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.startsWith("marlix-modcheck: ")) << result.err.toStdString();
    }
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: marlix-modcheck FOLDER...")) << help.out.toStdString();
}

TEST_F(ModCheckProcess, MissingTablesAreReportedNotTakenForACleanMod) {
    QFile::remove(program.filePath("modcommands.txt"));
    const Outcome result = run({"MyMod"});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("Cannot open file")) << result.err.toStdString();
}
