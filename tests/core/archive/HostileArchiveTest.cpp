#include "core/archive/Lzo.h"
#include "core/archive/RfaExtract.h"
#include "core/archive/RfaReader.h"
#include "core/common/Error.h"
#include "tests/core/archive/ArchiveFixture.h"

#include <gtest/gtest.h>

using namespace marlix;

// Archives that lie about their sizes: each lie is refused before the bytes it claims are made,
// and the honest entries beside it stay readable.
namespace {

QString errorText(const std::function<void()> &action) {
    try {
        action();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

QByteArray zerosSegment() {
    QByteArray packed;
    const QByteArray zeros(32768, '\0');
    lzo::compress(zeros.constData(), int(zeros.size()), packed);
    return packed;
}

// Reads the entry through readTo, counting what it hands on.
qint64 bytesHandedOn(RfaReader &reader, int index, QString &error) {
    qint64 total = 0;
    error = errorText([&] {
        reader.readTo(reader.entries().at(index),
                      [&](const char *, qsizetype size) { total += size; });
    });
    return total;
}

TEST(RfaHostile, EntriesClaimingGigabytesAreRefusedUnreadAndTheirNeighboursStayReadable) {
    ArchiveFolder folder;
    const QByteArray packed = zerosSegment();
    const QByteArray honest = segmentBlock({{quint32(packed.size()), 32768, 0}}, packed);
    folder.put("huge.rfa", rawArchive({{"objects/huge.con", honest, 0xF0000000u},
                                       {"objects/fine.con", honest, 32768},
                                       {"objects/big.con", honest, 40000}},
                                      true));

    RfaReader reader(folder.path("huge.rfa"));
    ASSERT_EQ(reader.entries().size(), 3);
    EXPECT_TRUE(reader.entries().at(0).damage.contains("more than")) << "listing still works";
    QString error;
    EXPECT_EQ(bytesHandedOn(reader, 0, error), 0);
    EXPECT_TRUE(error.contains("objects/huge.con")) << error.toStdString();
    EXPECT_EQ(reader.read(1), QByteArray(32768, '\0'));
    // Within what the bytes could hold, but not what its one segment says: refused before a
    // byte is handed on.
    EXPECT_EQ(bytesHandedOn(reader, 2, error), 0);
    EXPECT_TRUE(error.contains("do not add up")) << error.toStdString();
}

TEST(RfaHostile, SegmentRecordsThatShareOneCompressedBlockAreRefused) {
    ArchiveFolder folder;
    const QByteArray packed = zerosSegment();
    const quint32 size = quint32(packed.size());

    // Ten thousand records, 12 bytes each, all making 32 KB of the same 160 bytes: 330 MB
    // claimed by an entry of 120 KB.
    QList<SegmentRecord> many(10000, {size, 32768, 0});
    // A hundred such records behind enough stored bytes to pass for compressed data: the
    // segments' own sizes give the lie away.
    QList<SegmentRecord> padded(100, {size, 32768, 0});
    const QByteArray padding(13000, 'x');
    folder.put(
        "shared.rfa",
        rawArchive({{"objects/many.con", segmentBlock(many, packed), 10000u * 32768},
                    {"objects/padded.con", segmentBlock(padded, packed + padding), 100u * 32768},
                    {"objects/one.con", segmentBlock({{size, 32768, 0}}, packed), 32768}},
                   true));

    RfaReader reader(folder.path("shared.rfa"));
    QString error;
    EXPECT_EQ(bytesHandedOn(reader, 0, error), 0);
    EXPECT_TRUE(error.contains("objects/many.con")) << error.toStdString();
    EXPECT_EQ(bytesHandedOn(reader, 1, error), 0);
    EXPECT_TRUE(error.contains("share their compressed bytes")) << error.toStdString();
    EXPECT_EQ(bytesHandedOn(reader, 2, error), 32768);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();

    // A segment may not claim more than LZO1X makes of its bytes, nor more than a segment
    // holds.
    folder.put("ratio.rfa",
               rawArchive({{"a.con", segmentBlock({{4, 32768, 0}}, QByteArray(200, 'x')), 32768},
                           {"b.con", segmentBlock({{size, 40000, 0}}, packed), 40000}},
                          true));
    RfaReader ratio(folder.path("ratio.rfa"));
    EXPECT_TRUE(errorText([&] { ratio.read(0); }).contains("segment 1 claims 32768 bytes"));
    EXPECT_TRUE(errorText([&] { ratio.read(1); }).contains("larger than 32768"));
}

TEST(RfaHostile, EntriesPointingAtOneBlockAreRefusedButEmptyFilesMayShare) {
    ArchiveFolder folder;
    const QByteArray block = randomBytes(5000, 9);
    folder.put("alias.rfa", rawArchive({{"a/first.con", block, 5000},
                                        {"a/copy.con", {}, 5000, 0},
                                        {"a/empty.con", {}, 0},
                                        {"a/empty2.con", {}, 0, 2}},
                                       false));
    RfaReader reader(folder.path("alias.rfa"));
    ASSERT_EQ(reader.entries().size(), 4);
    EXPECT_EQ(reader.read(0), block);
    const QString copy = errorText([&] { reader.read(1); });
    EXPECT_TRUE(copy.contains("a/copy.con")) << copy.toStdString();
    EXPECT_TRUE(copy.contains("overlaps that of a/first.con")) << copy.toStdString();
    EXPECT_EQ(reader.read(2), QByteArray());
    EXPECT_EQ(reader.read(3), QByteArray());
    // Extraction refuses such an archive before writing anything.
    EXPECT_THROW(extractEntries(reader, folder.path("out")), Error);
    EXPECT_FALSE(QFileInfo::exists(folder.path("out/a/first.con")));
}

TEST(RfaHostile, TablesBeyondTheLimitsAreRefusedAtOnce) {
    ArchiveFolder folder;
    QByteArray many(156, '\0');
    qToLittleEndian(quint32(156), many.data());
    putU32(many, 0xFFFFFFF0u); // entries claimed, none there
    many.append(QByteArray(64, '\0'));
    folder.put("count.rfa", many);
    EXPECT_TRUE(errorText([&] {
                    RfaReader r(folder.path("count.rfa"));
                }).contains("more than the 100000 an archive may hold"));

    QByteArray longName(156, '\0');
    qToLittleEndian(quint32(156), longName.data());
    putU32(longName, 1);
    putU32(longName, 100000); // a name of 100 KB that is there
    longName.append(QByteArray(100000 + 24 + 4, 'n'));
    folder.put("name.rfa", longName);
    EXPECT_TRUE(errorText([&] {
                    RfaReader r(folder.path("name.rfa"));
                }).contains("a name of 100000 bytes"));
}

TEST(RfaHostile, TableAtTheStartIsReadWithoutTheDataBehindIt) {
    // Some tools write the table first; offsets still count from the start of the file.
    ArchiveFolder folder;
    QByteArray archive(156, '\0');
    qToLittleEndian(quint32(156), archive.data());
    QByteArray table;
    putU32(table, 2);
    const quint32 dataAt = quint32(156 + 4 + 2 * (4 + 5 + 24) + 4);
    for (const auto &[name, offset] : {QPair<QByteArray, quint32>{"x/a.c", dataAt},
                                       QPair<QByteArray, quint32>{"x/b.c", dataAt + 3}}) {
        putU32(table, quint32(name.size()));
        table.append(name);
        putU32(table, 3);
        putU32(table, 3);
        putU32(table, offset);
        table.append(QByteArray(12, '\0'));
    }
    putU32(table, 0);
    archive += table + "abcdef";
    folder.put("first.rfa", archive);
    RfaReader reader(folder.path("first.rfa"));
    ASSERT_EQ(reader.entries().size(), 2);
    EXPECT_EQ(reader.read(0), "abc");
    EXPECT_EQ(reader.read(1), "def");
}

} // namespace
