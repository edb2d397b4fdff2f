#include "core/prefs/RecentFiles.h"
#include "core/common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/core/FileBytes.h"

using namespace marlix;

TEST(RecentList, OpeningMovesToTopWithoutGrowingAndKeepsTen) {
    const QStringList start = {"/a.con", "/b.con", "/c.con"};
    EXPECT_EQ(recentAfterOpening(start, "/c.con"), QStringList({"/c.con", "/a.con", "/b.con"}));
    EXPECT_EQ(recentAfterOpening(start, "/n.con"),
              QStringList({"/n.con", "/a.con", "/b.con", "/c.con"}));
    // Letter case counts: a path differing only in case is another entry.
    EXPECT_EQ(recentAfterOpening(start, "/A.con").size(), 4);

    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten.append(QString("/f%1.con").arg(i));
    const QStringList eleven = recentAfterOpening(ten, "/new.con");
    ASSERT_EQ(eleven.size(), 10);
    EXPECT_EQ(eleven.first(), "/new.con");
    EXPECT_EQ(eleven.last(), "/f8.con"); // the oldest went
}

TEST(RecentList, HandEditedListIsCutToTenOnTheNextOpen) {
    QStringList fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.append(QString("/f%1.con").arg(i));
    // An entry beyond the tenth is removed from its old place and comes to the top.
    const QStringList after = recentAfterOpening(fifteen, "/f12.con");
    ASSERT_EQ(after.size(), 10);
    EXPECT_EQ(after.first(), "/f12.con");
    EXPECT_EQ(after.mid(1), fifteen.mid(0, 9));
    // Only the first of two equal (hand-written) entries is removed.
    EXPECT_EQ(recentAfterOpening({"/x", "/y", "/x"}, "/x"), QStringList({"/x", "/y", "/x"}));
}

TEST(RecentFile, MissingFileIsEmptyAndFirstOpenCreatesIt) {
    QTemporaryDir dir;
    const QString file = dir.filePath("recent.ini");
    EXPECT_TRUE(readRecentFile(file).isEmpty());
    addToRecentFile(file, "/home/u/my mod/init.con");
    EXPECT_EQ(readAll(file), QByteArray("/home/u/my mod/init.con\r\n"));
    // Lone CR and LF end lines as well; empty lines are entries.
    writeAll(file, "/a\r/b\n\r\n/c");
    EXPECT_EQ(readRecentFile(file), QStringList({"/a", "/b", "", "/c"}));
    addToRecentFile(file, "/b");
    EXPECT_EQ(readAll(file), QByteArray("/b\r\n/a\r\n\r\n/c\r\n"));
}

TEST(RecentFile, UnwritableFileRaisesAndStaysIntact) {
    QTemporaryDir dir;
    const QString file = dir.filePath("recent.ini");
    writeAll(file, "/a\r\n");
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    try {
        addToRecentFile(file, "/b");
        FAIL() << "a read-only recent.ini was written";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), "Cannot create file " + file);
    }
    EXPECT_EQ(readAll(file), QByteArray("/a\r\n"));
    // A folder where the file should be cannot be read.
    const QString folder = dir.filePath("other.ini");
    QDir().mkpath(folder);
    EXPECT_THROW(readRecentFile(folder), Error);
}

TEST(RecentMenu, CaptionsGiveBackTheExactPath) {
    for (const QString &path :
         {QString("/plain/path.con"), QString("/Tom & Jerry/a&&b.con"), QString("&"), QString()}) {
        EXPECT_EQ(recentEntryPath(mnemonicFree(path)), path) << path.toStdString();
    }
    // A caption with single access-key markers loses them.
    EXPECT_EQ(recentEntryPath("/a&b/&c"), "/ab/c");
    EXPECT_EQ(recentEntryPath("trailing&"), "trailing");
}

// Names beyond Latin-1 were stored as "?" and could never be opened again.
TEST(RecentFile, CyrillicAndAccentedNamesSurviveAsFileSystemBytes) {
    QTemporaryDir dir;
    const QString file = dir.filePath("recent.ini");
    const QString cyrillic = QString::fromUtf8("/mods/моды/объекты.con");
    const QString accented = QString::fromUtf8("/mods/Élan/café.con");
    addToRecentFile(file, cyrillic);
    addToRecentFile(file, accented);
    EXPECT_EQ(readAll(file),
              QFile::encodeName(accented) + "\r\n" + QFile::encodeName(cyrillic) + "\r\n");
    EXPECT_EQ(readRecentFile(file), QStringList({accented, cyrillic}));
    // A line an older version wrote as 8-bit text still reads as the name it meant.
    writeAll(file, "/mods/caf\xe9.con\r\n");
    EXPECT_EQ(readRecentFile(file), QStringList({QString::fromUtf8("/mods/café.con")}));
}

// A recent.ini of 200 MB froze the window at start for minutes: only ten entries are kept.
TEST(RecentFile, OnlyTheTenEntriesAreReadFromAHugeFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("recent.ini");
    QByteArray many;
    for (int i = 0; i < 200000; ++i)
        many += "/mods/m/objects/tank" + QByteArray::number(i) + ".con\r\n";
    writeAll(file, many);
    const QStringList list = readRecentFile(file);
    ASSERT_EQ(list.size(), RecentFilesLimit);
    EXPECT_EQ(list.first(), "/mods/m/objects/tank0.con");
    EXPECT_EQ(list.last(), "/mods/m/objects/tank9.con");
    addToRecentFile(file, "/new.con");
    EXPECT_EQ(readRecentFile(file).size(), RecentFilesLimit);
}
