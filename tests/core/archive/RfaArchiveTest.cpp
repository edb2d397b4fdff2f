#include "core/archive/RfaExtract.h"
#include "core/archive/RfaReader.h"
#include "core/archive/RfaWriter.h"
#include "core/common/Error.h"
#include "tests/core/archive/ArchiveFixture.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

// Text with CR LF, every byte value, both sides of the segment size, an empty file, nested
// folders, non-ASCII names and names that sort differently with and without case.
QMap<QString, QByteArray> sampleMod() {
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.append(char(i));
    return {
        {"Init.con", "rem init\r\nobjectTemplate.create Bundle x\r\n"},
        {"binary.dat", allBytes.repeated(40)},
        {"exact.bin", randomBytes(32768, 1)},
        {"over.bin", randomBytes(32769, 2)},
        {"zeros.bin", QByteArray(100000, '\0')},
        {"empty.con", {}},
        {"Vehicles/Tank/Objects.con", "rem tank\r\n"},
        {"vehicles/apc.con", "rem apc\r\n"},
        {QString::fromUtf8("Ünïcode/señal.con"), "rem non-ascii\r\n"},
    };
}

QString errorText(const std::function<void()> &action) {
    try {
        action();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

class RfaRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(RfaRoundTrip, ListAndExtractGiveBackEveryFileByteForByte) {
    const bool compress = GetParam();
    ArchiveFolder folder;
    const auto files = sampleMod();
    for (auto it = files.begin(); it != files.end(); ++it)
        folder.put("src/objects/" + it.key(), it.value());

    const PackResult packed =
        packFolder(folder.path("src/objects"), "objects", folder.path("objects.rfa"), compress);
    EXPECT_EQ(packed.files, files.size());

    RfaReader reader(folder.path("objects.rfa"));
    EXPECT_EQ(reader.isCompressed(), compress);
    QStringList names;
    for (const RfaEntry &entry : reader.entries())
        names << entry.name;
    QStringList expected;
    for (const QString &name : files.keys())
        expected << "objects/" + name;
    std::sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(names, expected);

    for (const RfaEntry &entry : reader.entries()) {
        const QByteArray original = files.value(entry.name.mid(8));
        EXPECT_EQ(entry.originalSize, quint32(original.size())) << entry.name.toStdString();
        EXPECT_EQ(reader.read(entry), original) << entry.name.toStdString();
        if (!compress) {
            EXPECT_EQ(entry.storedSize, entry.originalSize);
        }
    }

    extractEntries(reader, folder.path("out"));
    for (auto it = files.begin(); it != files.end(); ++it)
        EXPECT_EQ(readAll(folder.path("out/objects/" + it.key())), it.value())
            << it.key().toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothModes, RfaRoundTrip, ::testing::Values(false, true));

TEST(RfaArchive, CompressedEntriesAreCutIntoSegmentsOfAtMost32768Bytes) {
    ArchiveFolder folder;
    folder.put("src/exact.bin", randomBytes(32768, 3));
    folder.put("src/over.bin", randomBytes(32769, 4));
    folder.put("src/empty.con", {});
    packFolder(folder.path("src"), "t", folder.path("t.rfa"), true);
    RfaReader reader(folder.path("t.rfa"));
    const QByteArray bytes = readAll(folder.path("t.rfa"));
    const auto segmentsOf = [&](const char *name) {
        return u32At(bytes, reader.entries().at(reader.indexOf(name)).offset);
    };
    EXPECT_EQ(segmentsOf("t/empty.con"), 0u);
    EXPECT_EQ(segmentsOf("t/exact.bin"), 1u);
    EXPECT_EQ(segmentsOf("t/over.bin"), 2u);
    const RfaEntry &over = reader.entries().at(reader.indexOf("T/OVER.BIN"));
    EXPECT_EQ(u32At(bytes, over.offset + 4 + 4), 32768u);
    EXPECT_EQ(u32At(bytes, over.offset + 4 + 12 + 4), 1u);
    const quint32 packedBytes = u32At(bytes, over.offset + 4) + u32At(bytes, over.offset + 16);
    EXPECT_EQ(over.storedSize, 4 + 2 * 12 + packedBytes);
}

TEST(RfaArchive, PackingTwiceGivesIdenticalBytesWithTheHeaderCheckValue) {
    ArchiveFolder folder;
    const auto files = sampleMod();
    for (auto it = files.begin(); it != files.end(); ++it)
        folder.put("src/" + it.key(), it.value());
    for (bool compress : {false, true}) {
        packFolder(folder.path("src"), "menu", folder.path("a.rfa"), compress);
        packFolder(folder.path("src"), "menu", folder.path("b.rfa"), compress);
        const QByteArray a = readAll(folder.path("a.rfa"));
        EXPECT_EQ(a, readAll(folder.path("b.rfa")));
        EXPECT_EQ(u32At(a, 4), compress ? 1u : 0u);
        quint32 check = 0x48128321;
        for (int i = 8; i < 151; ++i)
            check += quint8(a.at(i));
        EXPECT_EQ(a.at(151), '\0');
        EXPECT_EQ(u32At(a, 152), check);
        EXPECT_TRUE(a.mid(8, 143).startsWith("Packed by marlix-rfapack"));
        EXPECT_EQ(u32At(a, a.size() - 4), 0u);
    }
}

TEST(RfaArchive, EmptyFolderMakesAnArchiveWithNoEntries) {
    ArchiveFolder folder;
    QDir().mkpath(folder.path("src"));
    packFolder(folder.path("src"), "sound", folder.path("sound.rfa"), false);
    EXPECT_EQ(readAll(folder.path("sound.rfa")).size(), 156 + 4 + 4);
    RfaReader reader(folder.path("sound.rfa"));
    EXPECT_TRUE(reader.entries().isEmpty());
    EXPECT_EQ(extractEntries(reader, folder.path("out")), 0);
}

TEST(RfaArchive, ReadsTheFlatArchive11LayoutCompressedOrNot) {
    ArchiveFolder folder;
    folder.put("src/a.con", "rem a\r\n");
    folder.put("src/big.bin", randomBytes(70000, 5));
    for (bool compress : {false, true}) {
        packFolder(folder.path("src"), "lvl", folder.path("plain.rfa"), compress);
        folder.put("variant.rfa", asVariantLayout(readAll(folder.path("plain.rfa"))));
        RfaReader reader(folder.path("variant.rfa"));
        EXPECT_EQ(reader.isCompressed(), compress);
        ASSERT_EQ(reader.entries().size(), 2);
        EXPECT_EQ(reader.read(reader.indexOf("lvl/a.con")), "rem a\r\n");
        EXPECT_EQ(reader.read(reader.indexOf("lvl/big.bin")), randomBytes(70000, 5));
    }
}

TEST(RfaArchive, InterruptedPackLeavesTheEarlierArchiveAndNoTemporaryFile) {
    ArchiveFolder folder;
    folder.put("src/a.con", "new a");
    folder.put("src/b.con", "new b");
    folder.put("out/objects.rfa", "the earlier archive");
    EXPECT_THROW(packFolder(folder.path("src"), "objects", folder.path("out/objects.rfa"), false,
                            [](int done, int, const QString &) {
                                if (done == 1)
                                    throw Error("interrupted");
                            }),
                 Error);
    EXPECT_EQ(readAll(folder.path("out/objects.rfa")), "the earlier archive");
    EXPECT_EQ(QDir(folder.path("out")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"objects.rfa"});
}

TEST(RfaArchive, MissingSourceFolderAndClimbingBaseNameAreRefused) {
    ArchiveFolder folder;
    EXPECT_TRUE(errorText([&] {
                    packFolder(folder.path("none"), "x", folder.path("x.rfa"), false);
                }).contains("none"));
    QDir().mkpath(folder.path("src"));
    EXPECT_FALSE(errorText([&] {
                     packFolder(folder.path("src"), "../x", folder.path("x.rfa"), false);
                 }).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder.path("x.rfa")));
}

// Damaged archives: each is refused with a text naming the archive and, where one is involved,
// the entry.
TEST(RfaCorruption, TruncatedArchiveAndTablePastTheEndAreRefused) {
    ArchiveFolder folder;
    folder.put("src/a.con", "rem a\r\n");
    packFolder(folder.path("src"), "objects", folder.path("good.rfa"), false);
    const QByteArray good = readAll(folder.path("good.rfa"));

    folder.put("head.rfa", good.left(100));
    EXPECT_TRUE(
        errorText([&] { RfaReader r(folder.path("head.rfa")); }).contains(folder.path("head.rfa")));

    folder.put("cut.rfa", good.left(good.size() - 20));
    const QString cut = errorText([&] { RfaReader r(folder.path("cut.rfa")); });
    EXPECT_TRUE(cut.contains(folder.path("cut.rfa"))) << cut.toStdString();
    EXPECT_TRUE(cut.contains("entry 1")) << cut.toStdString();

    QByteArray pastEnd = good;
    qToLittleEndian(quint32(good.size() + 10), pastEnd.data());
    folder.put("past.rfa", pastEnd);
    EXPECT_TRUE(errorText([&] {
                    RfaReader r(folder.path("past.rfa"));
                }).contains("table of contents lies past the end"));

    QByteArray dataPastEnd = good;
    const qsizetype offsetField = u32At(good, 0) + 4 + 4 + 13 + 8;
    qToLittleEndian(quint32(good.size()), dataPastEnd.data() + offsetField);
    folder.put("data.rfa", dataPastEnd);
    const QString data = errorText([&] { RfaReader r(folder.path("data.rfa")); });
    EXPECT_TRUE(data.contains("objects/a.con")) << data.toStdString();
    EXPECT_TRUE(data.contains("past the end")) << data.toStdString();

    EXPECT_EQ(errorText([&] { RfaReader r(folder.path("missing.rfa")); }),
              "Cannot open file " + folder.path("missing.rfa"));
}

TEST(RfaCorruption, SegmentThatDoesNotDecompressToItsSizeIsRefusedAndNothingIsWritten) {
    ArchiveFolder folder;
    folder.put("src/a.con", QByteArray("rem a\r\n").repeated(2000));
    folder.put("src/b.con", "rem b\r\n");
    packFolder(folder.path("src"), "objects", folder.path("good.rfa"), true);
    const QByteArray good = readAll(folder.path("good.rfa"));
    const RfaEntry first = RfaReader(folder.path("good.rfa")).entries().first();

    QByteArray wrongSize = good;
    // The segment and the table agree on a size the data does not come out at.
    qToLittleEndian(quint32(100), wrongSize.data() + first.offset + 8);
    qToLittleEndian(quint32(100), wrongSize.data() + u32At(good, 0) + 4 + 4 + 13 + 4);
    folder.put("size.rfa", wrongSize);
    QByteArray garbled = good;
    for (int i = 0; i < 40; ++i)
        garbled[first.offset + 16 + 5 + i] = char(0xFF);
    folder.put("garbled.rfa", garbled);

    for (const char *name : {"size.rfa", "garbled.rfa"}) {
        RfaReader reader(folder.path(name));
        const QString text = errorText([&] { reader.read(0); });
        EXPECT_TRUE(text.contains(folder.path(name))) << text.toStdString();
        EXPECT_TRUE(text.contains("objects/a.con")) << text.toStdString();
        EXPECT_TRUE(text.contains("segment 1")) << text.toStdString();
        EXPECT_THROW(extractEntries(reader, folder.path("out")), Error);
        EXPECT_FALSE(QFileInfo::exists(folder.path("out/objects/a.con")));
    }
}

TEST(RfaCorruption, ExtractionRefusesNamesLeadingOutOfTheDestination) {
    ArchiveFolder folder;
    for (const QByteArray &evil :
         {QByteArray("objects/../../evil.con"), QByteArray("/tmp/evil.con"),
          QByteArray("objects\\..\\..\\evil.con"), QByteArray("C:evil")}) {
        folder.put("evil.rfa", handMadeArchive({{"objects/fine.con", "fine"}, {evil, "evil"}}));
        RfaReader reader(folder.path("evil.rfa"));
        EXPECT_EQ(reader.read(1), "evil"); // listing and reading stay possible
        const QString text = errorText([&] { extractEntries(reader, folder.path("dest/in")); });
        EXPECT_TRUE(text.contains(QString::fromLatin1(evil))) << text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder.path("dest/in/objects/fine.con")));
        EXPECT_FALSE(QFileInfo::exists(folder.path("dest/evil.con")));
        EXPECT_FALSE(QFileInfo::exists(folder.path("evil.con")));
    }
    EXPECT_TRUE(isSafeEntryName("objects/..hidden/a..b.con"));
}

TEST(RfaArchive, RelativeSourceFolderNamesEntriesBelowItNotBelowTheWorkingFolder) {
    ArchiveFolder folder;
    folder.put("mod/objects/a.con", "a");
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path(""));
    packFolder("mod/objects", "objects", "objects.rfa", false);
    QDir::setCurrent(before);
    RfaReader reader(folder.path("objects.rfa"));
    ASSERT_EQ(reader.entries().size(), 1);
    EXPECT_EQ(reader.entries().first().name, "objects/a.con");
}

TEST(RfaArchive, ExtractsOnlyTheNamedEntriesIgnoringCase) {
    ArchiveFolder folder;
    folder.put("src/a.con", "a");
    folder.put("src/b.con", "b");
    packFolder(folder.path("src"), "m", folder.path("m.rfa"), false);
    RfaReader reader(folder.path("m.rfa"));
    EXPECT_EQ(extractEntries(reader, folder.path("out"), {"M/B.CON"}), 1);
    EXPECT_FALSE(QFileInfo::exists(folder.path("out/m/a.con")));
    EXPECT_EQ(readAll(folder.path("out/m/b.con")), "b");
    EXPECT_TRUE(errorText([&] {
                    extractEntries(reader, folder.path("out2"), {"m/a.con", "m/none.con"});
                }).contains("m/none.con"));
    EXPECT_FALSE(QFileInfo::exists(folder.path("out2")));
}

} // namespace
