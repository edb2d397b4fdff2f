#include "core/workspace/SessionFile.h"

#include "core/common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace marlix;

namespace {

struct SessionFolder {
    QTemporaryDir dir;
    QString path = sessionPath(dir.path() + QLatin1Char('/'));
    void put(const QByteArray &bytes) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

} // namespace

TEST(SessionFileTest, WhatIsWrittenIsReadBack) {
    SessionFolder folder;
    Session session;
    session.reopen = true;
    session.showTree = true;
    session.scripts = {{QStringLiteral("/mods/My Mod/objects/tank.con"), 120, 4, 100},
                       {QStringLiteral("/mods/Мой/levels/Init.con"), 0, 0, 0}};
    session.active = 1;
    writeSession(folder.path, session);
    const Session back = readSession(folder.path);
    EXPECT_TRUE(back.reopen);
    EXPECT_TRUE(back.showTree);
    EXPECT_EQ(back.active, 1);
    EXPECT_EQ(back.scripts, session.scripts);
}

TEST(SessionFileTest, AMissingFileGivesTheDefaults) {
    SessionFolder folder;
    const Session session = readSession(folder.path);
    EXPECT_TRUE(session.reopen);
    EXPECT_FALSE(session.showTree);
    EXPECT_EQ(session.active, -1);
    EXPECT_TRUE(session.scripts.isEmpty());
}

TEST(SessionFileTest, TheSwitchOffIsKept) {
    SessionFolder folder;
    folder.put("reopen 0\r\n");
    EXPECT_FALSE(readSession(folder.path).reopen);
    folder.put("reopen yes\n");
    EXPECT_FALSE(readSession(folder.path).reopen);
}

TEST(SessionFileTest, HostileContentIsHarmless) {
    SessionFolder folder;
    QByteArray bytes = "reopen 1\n"
                       "active 99999999999999999999\n"
                       "script -5 x 2147483648 /mods/a.con\n" // numbers out of range: 0
                       "script 1 1 1 relative/b.con\n"        // not absolute: skipped
                       "script 1 1 1\n"                       // no path
                       "script 1 1 1 /mods/a.con\n";          // twice: once
    const char withNul[] = "script 3 4 5 /mods/with\0nul.con\n";
    bytes += QByteArray(withNul, sizeof withNul - 1);
    bytes += "unknown line \xff\xfe\n"
             "script 7 8 9 /mods/c.con\r\n";
    bytes += QByteArray(5000, '\n');
    bytes += "script 1 2 3 " + QByteArray(9000, 'a') + "\n"; // too long a path
    folder.put(bytes);
    const Session session = readSession(folder.path);
    ASSERT_EQ(session.scripts.size(), 2);
    EXPECT_EQ(session.scripts[0], (SessionScript{QStringLiteral("/mods/a.con"), 0, 0, 0}));
    EXPECT_EQ(session.scripts[1], (SessionScript{QStringLiteral("/mods/c.con"), 7, 8, 9}));
    EXPECT_EQ(session.active, -1);
}

TEST(SessionFileTest, AtMostTwentyNineScriptsAndOnlyTheStartOfAHugeFile) {
    SessionFolder folder;
    QByteArray bytes;
    for (int i = 0; i < 40; ++i)
        bytes += "script 1 1 1 /mods/s" + QByteArray::number(i) + ".con\n";
    bytes += QByteArray(1024 * 1024, 'x');
    bytes += "\nreopen 0\n"; // beyond what is read
    folder.put(bytes);
    const Session session = readSession(folder.path);
    EXPECT_EQ(session.scripts.size(), 29);
    EXPECT_TRUE(session.reopen);
}

TEST(SessionFileTest, APipeOrAFolderInItsPlaceIsNotRead) {
    SessionFolder folder;
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.path).constData(), 0600), 0);
    // Reading a pipe would wait for a writer forever.
    EXPECT_TRUE(readSession(folder.path).scripts.isEmpty());
    QFile::remove(folder.path);
    QDir().mkdir(folder.path);
    EXPECT_TRUE(readSession(folder.path).reopen);
}

TEST(SessionFileTest, PathsThatCannotBeHeldOnALineAreLeftOut) {
    SessionFolder folder;
    Session session;
    session.scripts = {{QStringLiteral("/mods/two\nlines.con"), 1, 1, 1},
                       {QStringLiteral("/mods/fine.con"), 2, 2, 2}};
    session.active = 1;
    writeSession(folder.path, session);
    const Session back = readSession(folder.path);
    ASSERT_EQ(back.scripts.size(), 1);
    EXPECT_EQ(back.scripts[0].path, QStringLiteral("/mods/fine.con"));
    EXPECT_EQ(back.active, 0);
}

TEST(SessionFileTest, AFailedWriteThrowsAndKeepsTheOldFile) {
    SessionFolder folder;
    folder.put("reopen 0\r\n");
    QFile::setPermissions(folder.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (QFile(folder.dir.filePath("probe")).open(QIODevice::WriteOnly))
        GTEST_SKIP() << "running with rights that ignore the folder's mode";
    EXPECT_THROW(writeSession(folder.path, Session{}), Error);
    QFile::setPermissions(folder.dir.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(readSession(folder.path).reopen);
}
