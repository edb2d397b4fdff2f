#include "core/archive/Lzo.h"
#include "tests/core/archive/ArchiveFixture.h"

#include <QElapsedTimer>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

// The real packer and mod checker on hostile inputs, each run measured: what it printed, how it
// ended and the most memory it held.
namespace {

struct MeasuredRun {
    int status = -1; // exit status; -1 when a signal ended the program
    QByteArray out;
    QByteArray err;
    qint64 peakMb = 0; // the largest resident size the program reached
};

// Arguments are bytes, so names that are not UTF-8 reach the program as they are.
MeasuredRun runMeasured(const QByteArrayList &command, const QString &scratch) {
    const QByteArray outPath = QFile::encodeName(scratch + "/stdout");
    const QByteArray errPath = QFile::encodeName(scratch + "/stderr");
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&files, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char *> argv;
    for (const QByteArray &argument : command)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    MeasuredRun run;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    EXPECT_EQ(spawned, 0) << command.first().constData();
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    EXPECT_EQ(::wait4(pid, &status, 0, &usage), pid);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMb = usage.ru_maxrss / 1024;
    run.out = readAll(scratch + "/stdout");
    run.err = readAll(scratch + "/stderr");
    return run;
}

void makeSparse(const QString &path, qint64 size, const QByteArray &head = {}) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, head.constData(), size_t(head.size())), head.size());
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

// Memory a run may take beyond the largest script it has to hold, three times over.
constexpr qint64 baseAllowanceMb = 60;

class HostileInputs : public ::testing::Test {
protected:
    ArchiveFolder folder;
    QTemporaryDir scratch;

    MeasuredRun rfapack(const QByteArrayList &arguments) {
        return runMeasured(QByteArrayList{RFAPACK_EXE} + arguments, scratch.path());
    }
    QByteArray path(const QString &name) const { return QFile::encodeName(folder.path(name)); }
};

TEST_F(HostileInputs, ListingReadsTheTableAtTheStartOfAThreeGigabyteArchiveAlone) {
    QByteArray head(156, '\0');
    qToLittleEndian(quint32(156), head.data());
    const QByteArray name = "bf1942/levels/big/far.con";
    putU32(head, 1);
    putU32(head, quint32(name.size()));
    head += name;
    putU32(head, 50);
    putU32(head, 50);
    putU32(head, quint32(3000000000u - 100));
    head += QByteArray(12, '\0');
    putU32(head, 0);
    makeSparse(folder.path("big.rfa"), 3000000000LL, head);

    const MeasuredRun run = rfapack({"list", path("big.rfa")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("        50        50  bf1942/levels/big/far.con\n"))
        << run.out.toStdString();
    EXPECT_LT(run.peakMb, baseAllowanceMb);
}

TEST_F(HostileInputs, PackingRefusesAFileOverFourGigabytesWithoutReadingIt) {
    folder.put("src/a.con", "a");
    makeSparse(folder.path("src/huge.bin"), 4500LL * 1000 * 1000);
    const MeasuredRun run = rfapack({"pack", path("src"), "x", path("x.rfa")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("huge.bin is larger than the 4 GB")) << run.err.toStdString();
    EXPECT_LT(run.peakMb, baseAllowanceMb);
    EXPECT_FALSE(QFileInfo::exists(folder.path("x.rfa")));
}

TEST_F(HostileInputs, PackingAndExtractingALargeFileStreamIt) {
    constexpr qint64 size = 300LL * 1000 * 1000;
    QDir().mkpath(folder.path("src/sound"));
    makeSparse(folder.path("src/sound/long.wav"), size);
    const MeasuredRun pack = rfapack({"pack", path("src"), "sound", path("s.rfa"), "--compress"});
    EXPECT_EQ(pack.status, 0) << pack.err.toStdString();
    EXPECT_TRUE(pack.out.contains("Packed 1 file (300.0 MB)")) << pack.out.toStdString();
    EXPECT_LT(pack.peakMb, baseAllowanceMb);

    const MeasuredRun extract = rfapack({"extract", path("s.rfa"), path("out")});
    EXPECT_EQ(extract.status, 0) << extract.err.toStdString();
    EXPECT_EQ(QFileInfo(folder.path("out/sound/sound/long.wav")).size(), size);
    EXPECT_LT(extract.peakMb, baseAllowanceMb);
}

// A small archive whose entries claim hundreds of megabytes to gigabytes, with an honest script
// between them and one too large for a script.
QByteArray hostileArchive() {
    QByteArray zeros;
    marlix::lzo::compress(QByteArray(32768, '\0').constData(), 32768, zeros);
    const quint32 packed = quint32(zeros.size());
    QByteArray script;
    marlix::lzo::compress("rem fine\r\n", 10, script);
    QByteArray bigScript;
    QList<SegmentRecord> bigRecords;
    const QByteArray text =
        QByteArray("rem a line of a script\r\n").repeated(32768 / 24 + 1).left(32768);
    for (int s = 0; s < 12 * 32; ++s) { // 12 MB
        QByteArray segment;
        marlix::lzo::compress(text.constData(), 32768, segment);
        bigRecords.append({quint32(segment.size()), 32768, quint32(bigScript.size())});
        bigScript += segment;
    }
    return rawArchive(
        {{"objects/a_claims_gigabytes.con", segmentBlock({{packed, 32768, 0}}, zeros), 0xFFFFFF00u},
         {"objects/b_many_records.con",
          segmentBlock(QList<SegmentRecord>(30000, {packed, 32768, 0}), zeros), 30000u * 32768},
         {"objects/c_too_big.con", segmentBlock(bigRecords, bigScript), 12u * 1024 * 1024},
         {"objects/d_fine.con", segmentBlock({{quint32(script.size()), 10, 0}}, script), 10},
         {"objects/f_large_but_honest.con", segmentBlock(bigRecords.mid(0, 4 * 32), bigScript),
          4u * 1024 * 1024},
         {"objects/e_alias.con", {}, 30000u * 32768, 1}},
        true);
}

TEST_F(HostileInputs, ExtractingAnArchiveOfLiesFailsFastInLittleMemory) {
    folder.put("lies.rfa", hostileArchive());
    ASSERT_LT(readAll(folder.path("lies.rfa")).size(), 1000000);
    QElapsedTimer timer;
    timer.start();
    const MeasuredRun run = rfapack({"extract", path("lies.rfa"), path("out")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("objects/a_claims_gigabytes.con")) << run.err.toStdString();
    EXPECT_LT(run.peakMb, baseAllowanceMb);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(QFileInfo::exists(folder.path("out/objects")));
}

TEST_F(HostileInputs, TheModCheckReportsAnArchiveOfLiesAndChecksTheRest) {
    folder.put("MyMod/objects/tank.con", "ObjectTemplate.create Bundle Tank\r\n");
    folder.put("MyMod/archives/objects.rfa", hostileArchive());
    const MeasuredRun run = runMeasured({MODCHECK_EXE, path("MyMod")}, scratch.path());
    // 2: the check is incomplete, which is neither a clean mod nor a crash.
    EXPECT_EQ(run.status, 2) << "not a crash: " << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("objects/a_claims_gigabytes.con")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("objects/b_many_records.con")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("objects/c_too_big.con")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("objects/e_alias.con")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("f_large_but_honest")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("3 scripts checked")) << run.err.toStdString();
    // The largest script it holds is 4 MB.
    EXPECT_LT(run.peakMb, baseAllowanceMb + 3 * 4);
}

TEST_F(HostileInputs, TheModCheckReportsAScriptTooLargeForTheMemoryLeftInsteadOfDying) {
    if (!QFileInfo::exists("/usr/bin/prlimit"))
        GTEST_SKIP() << "no prlimit(1) to limit the checker's memory";
    folder.put("MyMod/objects/tank.con", "ObjectTemplate.create Bundle Tank\r\n");
    makeSparse(folder.path("MyMod/objects/huge.con"), 1500LL * 1024 * 1024);
    const MeasuredRun run =
        runMeasured({"/usr/bin/prlimit", "--as=" + QByteArray::number(500 * 1024 * 1024), "--",
                     MODCHECK_EXE, path("MyMod")},
                    scratch.path());
    EXPECT_EQ(run.status, 2) << "not an abort: " << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Not enough memory to read " + path("MyMod/objects/huge.con")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("1 script")) << run.err.toStdString();
}

TEST_F(HostileInputs, NamesThatAreNotUtf8ArePackedListedAndExtractedAsTheyAre) {
    const QByteArray src = path("src") + "/objects/";
    QDir().mkpath(folder.path("src/objects"));
    folder.put("src/objects/caf\xC3\xA9.con", "utf-8");
    writeAll(QFile::decodeName(src + "plain.con"), "plain");
    {
        const int fd = ::open(src + "caf\xE9.con", O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "latin-1", 7), 7);
        ::close(fd);
    }
    const MeasuredRun pack = rfapack({"pack", path("src/objects"), "objects", path("o.rfa")});
    EXPECT_EQ(pack.status, 0) << pack.err.toStdString();
    EXPECT_TRUE(pack.out.contains("Packed 3 files")) << pack.out.toStdString();

    const MeasuredRun list = rfapack({"list", path("o.rfa")});
    EXPECT_TRUE(list.out.contains("  objects/caf\xE9.con\n")) << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("  objects/caf\xC3\xA9.con\n")) << list.out.toStdString();

    const MeasuredRun all = rfapack({"extract", path("o.rfa"), path("out")});
    EXPECT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.startsWith("Extracted 3 files")) << all.out.toStdString();
    EXPECT_EQ(readAll(folder.path("out/objects/caf\xC3\xA9.con")), "utf-8");
    EXPECT_EQ(QDir(folder.path("out/objects")).entryList(QDir::Files).size(), 2)
        << "QDir does not list the name that is not UTF-8; the bytes below do";
    struct stat status;
    EXPECT_EQ(::stat(path("out/objects/") + "caf\xE9.con", &status), 0);
    EXPECT_EQ(status.st_size, 7);

    const MeasuredRun one = rfapack({"extract", path("o.rfa"), path("one"), "objects/caf\xE9.con"});
    EXPECT_EQ(one.status, 0) << one.err.toStdString();
    EXPECT_TRUE(one.out.startsWith("Extracted 1 file")) << one.out.toStdString();
    EXPECT_EQ(::stat(path("one/objects/") + "caf\xE9.con", &status), 0);
    EXPECT_FALSE(QFileInfo::exists(folder.path("one/objects/caf\xC3\xA9.con")));
}

TEST_F(HostileInputs, PackingListsWhatItCannotReadAndFails) {
    // Permissions stop every user but root, so the packer runs as nobody when the test is root.
    QByteArrayList asUser;
    if (::geteuid() == 0)
        asUser = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    ::chmod(QFile::encodeName(folder.dir.path()), 0755);
    folder.put("src/readable.con", "fine");
    folder.put("src/locked/secret.con", "x");
    folder.put("src/closed.con", "x");
    QDir().mkpath(folder.path("out"));
    ::chmod(path("out"), 0777);
    ::chmod(path("src/locked"), 0);
    ::chmod(path("src/closed.con"), 0);
    const MeasuredRun run = runMeasured(
        asUser + QByteArrayList{RFAPACK_EXE, "pack", path("src"), "objects", path("out/o.rfa")},
        scratch.path());
    ::chmod(path("src/locked"), 0755);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("2 items cannot be read")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("marlix-rfapack: " + path("src/locked") + ": "))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("marlix-rfapack: " + path("src/closed.con") + ": "))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.path("out/o.rfa")));
}

TEST_F(HostileInputs, ExtractionRefusesToWriteThroughPlantedLinks) {
    folder.put("outside/victimfile", "precious");
    QDir().mkpath(folder.path("dest/objects"));
    ASSERT_EQ(::symlink("../../outside/victimfile", path("dest/objects/victim.con")), 0);
    ASSERT_EQ(::symlink("../../outside/victimfile", path("dest/objects/other.con.part")), 0);
    ASSERT_EQ(::symlink("../outside", path("dest/linkdir")), 0);
    folder.put("a.rfa",
               handMadeArchive({{"objects/other.con", "other"}, {"objects/victim.con", "evil"}}));
    folder.put("b.rfa", handMadeArchive({{"linkdir/x.con", "evil"}}));

    const MeasuredRun a = rfapack({"extract", path("a.rfa"), path("dest")});
    EXPECT_EQ(a.status, 1);
    EXPECT_TRUE(a.err.contains("objects/victim.con")) << a.err.toStdString();
    EXPECT_TRUE(a.err.contains("is a link")) << a.err.toStdString();
    const MeasuredRun b = rfapack({"extract", path("b.rfa"), path("dest")});
    EXPECT_EQ(b.status, 1);
    EXPECT_TRUE(b.err.contains("dest/linkdir in the destination is a link")) << b.err.toStdString();
    EXPECT_EQ(readAll(folder.path("outside/victimfile")), "precious");
    EXPECT_EQ(readAll(folder.path("dest/objects/other.con")), "other");
    EXPECT_FALSE(QFileInfo::exists(folder.path("outside/x.con")));
}

} // namespace
