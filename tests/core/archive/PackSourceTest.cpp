#include "core/archive/RfaExtract.h"
#include "core/archive/RfaReader.h"
#include "core/archive/RfaWriter.h"
#include "core/common/Error.h"
#include "tests/core/archive/ArchiveFixture.h"

#include <QElapsedTimer>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace marlix;

// What packing takes from the folder: every file by its bytes, and a loud refusal for what it
// cannot read.
namespace {

QString errorText(const std::function<void()> &action) {
    try {
        action();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

void putRaw(const QByteArray &path, const QByteArray &bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

TEST(RfaPackSource, FileNamesThatAreNotUtf8ArePackedByTheirBytes) {
    ArchiveFolder folder;
    folder.put("src/Vehicles/keep.con", "kept");
    const QByteArray src = QFile::encodeName(folder.path("src/"));
    putRaw(src + "caf\xE9.con", "latin-1");
    putRaw(src + "caf\xC3\xA9.con", "utf-8");
    ASSERT_EQ(::mkdir(src + "V\xE9hicules", 0755), 0);
    putRaw(src + "V\xE9hicules/t.con", "in a latin-1 folder");

    for (bool compress : {false, true}) {
        const PackResult packed =
            packFolder(folder.path("src"), "objects", folder.path("o.rfa"), compress);
        EXPECT_EQ(packed.files, 4);
        RfaReader reader(folder.path("o.rfa"));
        QList<QByteArray> names;
        for (const RfaEntry &entry : reader.entries())
            names << entry.rawName;
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names,
                  QList<QByteArray>({"objects/Vehicles/keep.con", "objects/V\xE9hicules/t.con",
                                     "objects/caf\xC3\xA9.con", "objects/caf\xE9.con"}));
        EXPECT_EQ(reader.read(reader.indexOfBytes("objects/caf\xE9.con")), "latin-1");
        EXPECT_EQ(reader.read(reader.indexOfBytes("objects/caf\xC3\xA9.con")), "utf-8");
        EXPECT_EQ(reader.read(reader.indexOfBytes("OBJECTS/V\xE9HICULES/T.CON")),
                  "in a latin-1 folder");
    }
}

TEST(RfaPackSource, WhatCannotBeReadIsListedAndNothingIsWritten) {
    ArchiveFolder folder;
    folder.put("src/good.con", "good");
    folder.put("src/sub/fine.con", "fine");
    folder.put("objects.rfa", "the earlier archive");
    ASSERT_EQ(::symlink("nowhere.con", QFile::encodeName(folder.path("src/dangling.con"))), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.path("src/sub/pipe")), 0644), 0);
    ASSERT_EQ(::symlink("..", QFile::encodeName(folder.path("src/sub/loop"))), 0);
    // A folder without read permission stops anyone but root.
    const bool root = ::geteuid() == 0;
    if (!root) {
        folder.put("src/locked/x.con", "x");
        ::chmod(QFile::encodeName(folder.path("src/locked")), 0);
    }

    const QString text = errorText(
        [&] { packFolder(folder.path("src"), "objects", folder.path("objects.rfa"), false); });
    if (!root)
        ::chmod(QFile::encodeName(folder.path("src/locked")), 0755);
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), root ? 4 : 5) << text.toStdString();
    EXPECT_TRUE(lines[0].contains(root ? "3 items cannot be read" : "4 items cannot be read"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(folder.path("src/dangling.con") + ": a link to nothing"));
    EXPECT_TRUE(text.contains(folder.path("src/sub/pipe") + ": neither a file nor a folder"));
    EXPECT_TRUE(text.contains(folder.path("src/sub/loop") + ": a link back"));
    if (!root) {
        EXPECT_TRUE(text.contains(folder.path("src/locked") + ": "));
    }
    EXPECT_EQ(readAll(folder.path("objects.rfa")), "the earlier archive");
    EXPECT_EQ(QDir(folder.dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"objects.rfa"});
}

TEST(RfaPackSource, LinksToFilesAndFoldersArePackedAsWhatTheyShow) {
    ArchiveFolder folder;
    folder.put("shared/common.con", "shared");
    folder.put("src/own.con", "own");
    ASSERT_EQ(::symlink(QFile::encodeName(folder.path("shared")),
                        QFile::encodeName(folder.path("src/linked"))),
              0);
    ASSERT_EQ(::symlink("own.con", QFile::encodeName(folder.path("src/alias.con"))), 0);
    // The archive being written inside the folder is not packed into itself.
    folder.put("src/objects.rfa", "earlier");
    packFolder(folder.path("src"), "objects", folder.path("src/objects.rfa"), true);
    RfaReader reader(folder.path("src/objects.rfa"));
    QStringList names;
    for (const RfaEntry &entry : reader.entries())
        names << entry.name;
    EXPECT_EQ(names,
              QStringList({"objects/alias.con", "objects/linked/common.con", "objects/own.con"}));
    EXPECT_EQ(reader.read(1), "shared");
}

TEST(RfaPackSource, CompressedFilesAreWrittenASegmentAtATimeWithTheirTableFilledIn) {
    // Both sides of segment boundaries, and a file that fills its last segment exactly.
    ArchiveFolder folder;
    const QByteArray mixed = randomBytes(70000, 11) + QByteArray(60000, 'z');
    folder.put("src/mixed.bin", mixed);
    folder.put("src/three.bin", randomBytes(3 * 32768, 12));
    const PackResult packed = packFolder(folder.path("src"), "t", folder.path("t.rfa"), true);
    EXPECT_EQ(packed.originalBytes, mixed.size() + 3 * 32768);
    EXPECT_EQ(packed.archiveBytes, QFileInfo(folder.path("t.rfa")).size());
    RfaReader reader(folder.path("t.rfa"));
    EXPECT_EQ(reader.read(reader.indexOf("t/mixed.bin")), mixed);
    EXPECT_EQ(reader.read(reader.indexOf("t/three.bin")), randomBytes(3 * 32768, 12));
    const QByteArray bytes = readAll(folder.path("t.rfa"));
    const RfaEntry &three = reader.entries().at(reader.indexOf("t/three.bin"));
    EXPECT_EQ(u32At(bytes, three.offset), 3u);
    quint32 offset = 0;
    for (int s = 0; s < 3; ++s) {
        const qsizetype record = three.offset + 4 + s * 12;
        EXPECT_EQ(u32At(bytes, record + 4), 32768u);
        EXPECT_EQ(u32At(bytes, record + 8), offset);
        offset += u32At(bytes, record);
    }
    EXPECT_EQ(three.storedSize, 4 + 3 * 12 + offset);
}

TEST(RfaPackSource, AFileOverFourGigabytesIsRefusedByItsSize) {
    ArchiveFolder folder;
    folder.put("src/a.con", "a");
    const QByteArray huge = QFile::encodeName(folder.path("src/huge.bin"));
    const int fd = ::open(huge.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 4500LL * 1000 * 1000), 0); // sparse: takes no disk
    ::close(fd);
    for (bool compress : {false, true}) {
        QElapsedTimer timer;
        timer.start();
        const QString text =
            errorText([&] { packFolder(folder.path("src"), "x", folder.path("x.rfa"), compress); });
        EXPECT_TRUE(text.contains("huge.bin is larger than the 4 GB")) << text.toStdString();
        EXPECT_LT(timer.elapsed(), 2000) << "refused before it was read";
        EXPECT_FALSE(QFileInfo::exists(folder.path("x.rfa")));
    }
}

} // namespace
