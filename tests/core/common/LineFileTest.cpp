#include "core/common/LineFile.h"
#include "core/common/Error.h"
#include "tests/core/FileBytes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

TEST(LineFile, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(splitLines(""), QByteArrayList());
    EXPECT_EQ(splitLines("a"), QByteArrayList({"a"}));
    EXPECT_EQ(splitLines("a\r\n"), QByteArrayList({"a"}));
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), QByteArrayList({"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("\r\n"), QByteArrayList({""}));
    EXPECT_EQ(splitLines("a\n\nb\n"), QByteArrayList({"a", "", "b"}));
    EXPECT_EQ(splitLines("a\n\r"), QByteArrayList({"a", ""})); // LF then lone CR
    EXPECT_EQ(splitLines("a\r\r\n"), QByteArrayList({"a", ""}));
    EXPECT_EQ(splitLines(QByteArray("x\0y\n", 4)), QByteArrayList({QByteArray("x\0y", 3)}));
}

// Opening a script of millions of lines built a list of them first, more memory than the text.
TEST(LineFile, JoinedLinesMatchTheLinesJoinedWithoutAList) {
    for (const QByteArray &bytes :
         {QByteArray(), QByteArray("a"), QByteArray("a\r\n"), QByteArray("a\r\nb\rc\nd"),
          QByteArray("\r\n"), QByteArray("a\n\nb\n"), QByteArray("a\n\r"), QByteArray("a\r\r\n"),
          QByteArray("\n\n\n"), QByteArray("x\0y\n", 4), QByteArray("\rlast")})
        EXPECT_EQ(joinedLines(bytes), splitLines(bytes).join("\r\n"))
            << bytes.toPercentEncoding().constData();
}

TEST(LineFile, WritesCrLfAfterEveryLineAndReadsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.ini");
    writeLines(path, {"one", "", "three"});
    EXPECT_EQ(readAll(path), QByteArray("one\r\n\r\nthree\r\n"));
    EXPECT_EQ(readLines(path), QByteArrayList({"one", "", "three"}));
    writeLines(path, {});
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_EQ(readAll(path), QByteArray());
}

TEST(LineFile, EveryByteValueSurvivesAsText) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bytes.ini");
    QString line;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            line.append(QChar(b));
    writeTextLines(path, {line});
    EXPECT_EQ(readTextLines(path), QStringList({line}));
}

TEST(LineFile, MissingFileCannotBeOpened) {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing.ini");
    try {
        readLines(path);
        FAIL();
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), "Cannot open file " + path);
    }
    EXPECT_THROW(readLines(dir.path()), Error); // a folder is not a readable file
}

TEST(LineFile, FailedWriteLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.ini");
    writeAll(path, "old\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    try {
        writeLines(path, {"new"});
        FAIL();
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), "Cannot create file " + path);
    }
    EXPECT_EQ(readAll(path), QByteArray("old\r\n"));

    const QString inMissingFolder = dir.filePath("no/such/folder.ini");
    EXPECT_THROW(writeLines(inMissingFolder, {"x"}), Error);
    QDir(dir.path()).mkdir("sub");
    EXPECT_THROW(writeLines(dir.filePath("sub"), {"x"}), Error); // a folder in the way
    EXPECT_TRUE(QFileInfo(dir.filePath("sub")).isDir());
    // Nothing half-written is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"keep.ini"}));
}

TEST(LineFile, LimitedReadStopsAtTheLinesThatCanMeanSomething) {
    QTemporaryDir dir;
    const QString path = dir.filePath("l.ini");
    struct Case {
        QByteArray bytes;
        LineLimits limits;
        QByteArrayList lines;
        bool cut;
    };
    const QList<Case> cases = {
        {"a\r\nb\r\nc\r\n", {2}, {"a", "b"}, true},
        {"a\r\nb\r\nc\r\n", {3}, {"a", "b", "c"}, false},
        {"a\r\nb\r\n", {2}, {"a", "b"}, false}, // the last line end is no further line
        {"a\rb\r", {2}, {"a", "b"}, false},
        {"a\nb", {2}, {"a", "b"}, false},
        {"a\nb\n\n", {2}, {"a", "b"}, true}, // an empty third line is one more
        {"", {2}, {}, false},
        {"abcdefg\r\nxy", {2, 4}, {"abcd", "xy"}, true},
        {"abcd\r\nxy", {2, 4}, {"abcd", "xy"}, false},
        // The byte budget ends in the middle of a line: what came is kept, cut.
        {"abcdefgh\nij", {5, 100, 4}, {"abcd"}, true},
        {"ab\r\n", {5, 100, 3}, {"ab"}, false}, // only the LF of the last CR LF was left
    };
    for (const Case &c : cases) {
        writeAll(path, c.bytes);
        const LimitedLines read = readLinesWithin(path, c.limits);
        EXPECT_EQ(read.lines, c.lines) << c.bytes.toPercentEncoding().constData();
        EXPECT_EQ(read.cut, c.cut) << c.bytes.toPercentEncoding().constData();
    }
    EXPECT_THROW(readLinesWithin(dir.filePath("missing"), {2}), Error);
}

// A settings file of hundreds of megabytes froze the window for minutes while every line of it
// was read, decoded and thrown away.
TEST(LineFile, HugeSettingsFileIsReadOnlyAsFarAsItsLimits) {
    QTemporaryDir dir;
    const QString endless = dir.filePath("endless.ini");
    {
        QFile file(endless);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("/mods/a.con\r\n");
        ASSERT_TRUE(file.resize(200LL * 1024 * 1024)); // one line of NULs, holding no disk
    }
    const QString manyLines = dir.filePath("many.ini");
    {
        QFile file(manyLines);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray block = QByteArray("/mods/mymod/objects/tank.con\n").repeated(10000);
        for (int i = 0; i < 100; ++i)
            file.write(block);
    }
    QElapsedTimer clock;
    clock.start();
    bool cut = false;
    const QStringList first = readPathLines(endless, {10}, &cut);
    EXPECT_TRUE(cut);
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first[0], "/mods/a.con");
    EXPECT_EQ(first[1].size(), MaxPathLineBytes);
    const QStringList second = readTextLines(manyLines, {10}, &cut);
    EXPECT_TRUE(cut);
    EXPECT_EQ(second.size(), 10);
    EXPECT_LT(clock.elapsed(), 500); // reading it all took seconds
}
