#include "core/modindex/RfaScripts.h"
#include "core/archive/RfaWriter.h"
#include "core/common/Error.h"
#include "tests/core/archive/ArchiveFixture.h"

#include <gtest/gtest.h>

using namespace marlix;

// The scripts of an archive reach the mod index one at a time; what cannot be taken is named.
namespace {

TEST(RfaScripts, ScriptsArriveOneAtATimeAndOversizedOrDamagedOnesAreNamed) {
    ArchiveFolder folder;
    folder.put("src/a.con", "rem a\r\n");
    folder.put("src/b.inc", "rem b\r\n");
    folder.put("src/texture.dds", "not a script");
    // Honest, and it compresses to little, but a script of 9 MB is no script.
    folder.put("src/huge.con", QByteArray("rem padding\r\n").repeated(9 * 1024 * 1024 / 13 + 1));
    folder.put("src/z.con", "rem z\r\n");
    packFolder(folder.path("src"), "objects", folder.path("o.rfa"), true);
    // And one whose table entry lies about its size.
    QByteArray bytes = readAll(folder.path("o.rfa"));
    const qsizetype zEntry = bytes.lastIndexOf("objects/z.con");
    qToLittleEndian(quint32(0x7FFFFFFF), bytes.data() + zEntry + 13 + 4);
    folder.put("o.rfa", bytes);

    QList<QByteArray> names;
    QStringList problems;
    readRfaScripts(
        folder.path("o.rfa"),
        [&](ArchiveScript &&script) {
            names << script.name + "=" + script.bytes;
            return true;
        },
        problems);
    EXPECT_EQ(names, QList<QByteArray>({"objects/a.con=rem a\r\n", "objects/b.inc=rem b\r\n"}));
    ASSERT_EQ(problems.size(), 2) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].contains("objects/huge.con")) << problems[0].toStdString();
    EXPECT_TRUE(problems[0].contains("more than the 8388608")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].contains("objects/z.con")) << problems[1].toStdString();

    // The visitor can stop the reading.
    int taken = 0;
    readRfaScripts(
        folder.path("o.rfa"), [&](ArchiveScript &&) { return ++taken < 1; }, problems);
    EXPECT_EQ(taken, 1);
}

TEST(RfaScripts, ADamagedTableFailsTheWholeArchive) {
    ArchiveFolder folder;
    folder.put("bad.rfa", "not an archive at all, just some text");
    QStringList problems;
    EXPECT_THROW(readRfaScripts(
                     folder.path("bad.rfa"), [](ArchiveScript &&) { return true; }, problems),
                 Error);
}

} // namespace
