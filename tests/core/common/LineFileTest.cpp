#include "core/common/LineFile.h"
#include "core/common/Error.h"
#include "tests/core/FileBytes.h"

#include <QDir>
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
