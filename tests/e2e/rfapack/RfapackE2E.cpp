#include "core/archive/RfaReader.h"
#include "core/common/LineFile.h"
#include "core/launch/CompileRules.h"
#include "tests/core/archive/ArchiveFixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

struct PackerRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

PackerRun rfapack(const QStringList &arguments, const QByteArray &input = {}) {
    QProcess process;
    process.start(QStringLiteral(RFAPACK_EXE), arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray compileIni(const QString &mod, const QString &category) {
    QByteArrayList lines;
    for (const QString &line : answerLines(mod, category))
        lines << QFile::encodeName(line);
    return joinLines(lines);
}

TEST(RfapackInteractive, CompileIniAnswersWithCrLfPackOneArchive) {
    ArchiveFolder folder;
    folder.put("mod/objects/Tank/Objects.con", "rem tank\r\n");
    folder.put("mod/objects/init.con", "rem init\r\n");
    folder.put("mod/texture/x.dds", "not packed");
    const QByteArray answers = compileIni(folder.path("mod/"), "objects");
    ASSERT_TRUE(answers.endsWith("N\r\nexit\r\n"));

    const PackerRun run = rfapack({}, answers);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_EQ(run.out.count("Packed 2 files"), 1) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains('\r')); // no progress line when the output is no terminal

    RfaReader reader(folder.path("mod/archives/objects.rfa"));
    ASSERT_EQ(reader.entries().size(), 2);
    EXPECT_EQ(reader.entries().at(0).name, "objects/init.con");
    EXPECT_EQ(reader.read(1), "rem tank\r\n");
    EXPECT_FALSE(reader.isCompressed());
    EXPECT_EQ(QDir(folder.path("mod/archives")).entryList(QDir::Files), QStringList{"objects.rfa"});
}

TEST(RfapackInteractive, YesToAnotherStartsOverAndEarlyEndOfInputFails) {
    ArchiveFolder folder;
    folder.put("a/1.con", "1");
    folder.put("b/2.con", "2");
    const QString a = folder.path("a"), b = folder.path("b");
    const PackerRun two = rfapack({}, (a + "\nA\ny\n" + folder.path("a.rfa") + "\nY\n" + b +
                                       "\nB\nn\n" + folder.path("b.rfa") + "\nn\nexit\n")
                                          .toUtf8());
    EXPECT_EQ(two.status, 0) << two.err.toStdString();
    EXPECT_TRUE(RfaReader(folder.path("a.rfa")).isCompressed());
    EXPECT_EQ(RfaReader(folder.path("b.rfa")).read(0), "2");

    const PackerRun cut = rfapack({}, (b + "\r\nB\r\nN\r\n").toUtf8());
    EXPECT_NE(cut.status, 0);
    EXPECT_TRUE(cut.err.contains("ended before")) << cut.err.toStdString();
}

TEST(RfapackArguments, PackListExtractRoundTripAndHelp) {
    ArchiveFolder folder;
    folder.put("src/big.bin", randomBytes(100000, 7));
    folder.put("src/Menu/a.con", "rem a\r\n");
    const PackerRun pack =
        rfapack({"pack", folder.path("src"), "menu", folder.path("menu.rfa"), "--compress"});
    EXPECT_EQ(pack.status, 0) << pack.err.toStdString();
    EXPECT_EQ(pack.out.count('\n'), 1) << pack.out.toStdString();

    const PackerRun list = rfapack({"list", folder.path("menu.rfa")});
    EXPECT_EQ(list.status, 0);
    const RfaEntry big = RfaReader(folder.path("menu.rfa")).entries().at(0);
    EXPECT_TRUE(list.out.contains(
        QStringLiteral("    100000 %1  menu/big.bin").arg(big.storedSize, 9).toUtf8()))
        << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("menu/Menu/a.con"));

    EXPECT_EQ(rfapack({"extract", folder.path("menu.rfa"), folder.path("out")}).status, 0);
    EXPECT_EQ(readAll(folder.path("out/menu/big.bin")), randomBytes(100000, 7));
    EXPECT_EQ(readAll(folder.path("out/menu/Menu/a.con")), "rem a\r\n");

    const PackerRun help = rfapack({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("extract ARCHIVE.rfa DEST_DIR"));
    EXPECT_EQ(rfapack({"--version"}).out, "marlix-rfapack " MARLIX_TEST_VERSION "\n");
    EXPECT_EQ(rfapack({"pack", "only-one"}).status, 2);
    EXPECT_EQ(rfapack({"unpack"}).status, 2);
}

TEST(RfapackArguments, DamagedArchivesFailNamingArchiveAndEntryAndWriteNothing) {
    ArchiveFolder folder;
    folder.put("src/a.con", QByteArray("rem a\r\n").repeated(100));
    rfapack({"pack", folder.path("src"), "objects", folder.path("good.rfa"), "--compress"});
    QByteArray bad = readAll(folder.path("good.rfa"));
    bad.replace(156 + 16, 20, QByteArray(20, char(0xFF)));
    folder.put("bad.rfa", bad);
    folder.put("evil.rfa", handMadeArchive({{"objects/../../evil.con", "evil"}}));

    const PackerRun list = rfapack({"list", folder.path("good.rfa").chopped(4) + "-missing.rfa"});
    EXPECT_EQ(list.status, 1);
    EXPECT_TRUE(list.err.contains("Cannot open file")) << list.err.toStdString();
    for (const char *name : {"bad.rfa", "evil.rfa"}) {
        const PackerRun run = rfapack({"extract", folder.path(name), folder.path("out/in")});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(folder.path(name).toUtf8())) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("objects/")) << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder.path("out/in/objects")));
    EXPECT_FALSE(QFileInfo::exists(folder.path("out/evil.con")));
}

TEST(RfapackArguments, ProgressLineRedrawsInPlaceOnATerminal) {
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty())
        GTEST_SKIP() << "no script(1) to give the packer a terminal";
    ArchiveFolder folder;
    for (int i = 0; i < 20; ++i)
        folder.put(QStringLiteral("src/%1.con").arg(i), "rem\r\n");
    const QString command =
        QStringLiteral("'%1' pack '%2' x '%3'")
            .arg(QStringLiteral(RFAPACK_EXE), folder.path("src"), folder.path("x.rfa"));
    QProcess process;
    process.start(script, {"-qec", command, "/dev/null"});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QByteArray out = process.readAllStandardOutput();
    EXPECT_TRUE(out.contains("\rPacking x.rfa: 20/20 files")) << out.toStdString();
    EXPECT_TRUE(out.contains("Packed 20 files")) << out.toStdString();
}

} // namespace
