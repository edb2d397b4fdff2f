#include "core/prefs/PreferenceFiles.h"

#include "core/common/Error.h"
#include "core/script/LanguageTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

class PreferenceFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        files.setFolder(dir.path() + "/");
    }
    QString path(const char *name) const { return dir.path() + "/" + name; }
    void write(const char *name, const QByteArray &bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const char *name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void makeReadOnly(const char *name) const {
        QFile::setPermissions(path(name), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    }

    QTemporaryDir dir;
    PreferenceFiles files;
};

} // namespace

TEST_F(PreferenceFilesTest, MissingFilesChangeNothingAndAreCreatedAtClosing) {
    Preferences p;
    p.intellisense = {{"kept", "in", "memory"}};
    p.options.autoUpdate = false;
    files.loadOptions(p.options);
    files.loadIntellisense(p.intellisense);
    files.loadHighlighting(p.highlighting);
    EXPECT_FALSE(p.options.autoUpdate);
    EXPECT_EQ(p.intellisense, TableRows({{"kept", "in", "memory"}}));

    files.save(p);
    EXPECT_EQ(read("intellisense.ini"), "kept\r\nin\r\nmemory\r\n");
    EXPECT_EQ(read("highlighting.ini"), "");
    EXPECT_EQ(read("marlix.ini"), "1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
}

TEST_F(PreferenceFilesTest, ReadsAnyLineEndsAndWritesCrLfWithEveryByteKept) {
    write("highlighting.ini", "caf\xE9\r1\nclGreen\r\n1\n2\n3\nx");
    write("marlix.ini", "0\r1\n0\n1\n1\n0\n1\n");
    Preferences p;
    files.loadOptions(p.options);
    files.loadHighlighting(p.highlighting);
    EXPECT_EQ(p.highlighting.size(), 2);
    EXPECT_EQ(p.highlighting[0][0], QString::fromLatin1("caf\xE9"));
    files.save(p);
    // The trailing incomplete group and the eighth line of the options are gone.
    EXPECT_EQ(read("highlighting.ini"), "caf\xE9\r\n1\r\nclGreen\r\n1\r\n2\r\n3\r\n");
    EXPECT_EQ(read("marlix.ini"), "0\r\n1\r\n0\r\n1\r\n1\r\n0\r\n");
}

TEST_F(PreferenceFilesTest, UnreadableFileReportsAndLeavesTheTarget) {
    QDir(dir.path()).mkdir("marlix.ini");
    QDir(dir.path()).mkdir("intellisense.ini");
    Preferences p;
    p.options.darkText = false;
    p.intellisense = {{"a", "b", "c"}};
    try {
        files.loadOptions(p.options);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), "Cannot open file " + path("marlix.ini"));
    }
    EXPECT_THROW(files.loadIntellisense(p.intellisense), Error);
    EXPECT_FALSE(p.options.darkText);
    EXPECT_EQ(p.intellisense, TableRows({{"a", "b", "c"}}));
}

TEST_F(PreferenceFilesTest, TableThatFailedToReadIsNeverWritten) {
    write("highlighting.ini", "rem\r\n1\r\nclGreen\r\n");
    Preferences p;
    files.loadHighlighting(p.highlighting);
    p.highlighting = {{"if", "0", "clRed"}};

    // Unreadable at the next opening (a folder in the way, then the file back again).
    QFile::rename(path("highlighting.ini"), path("saved"));
    QDir(dir.path()).mkdir("highlighting.ini");
    EXPECT_THROW(files.loadHighlighting(p.highlighting), Error);
    EXPECT_FALSE(files.writesHighlighting());
    QDir(dir.path()).rmdir("highlighting.ini");
    QFile::rename(path("saved"), path("highlighting.ini"));

    files.save(p);
    EXPECT_EQ(read("highlighting.ini"), "rem\r\n1\r\nclGreen\r\n");
    EXPECT_EQ(read("intellisense.ini"), ""); // the others are still written
    EXPECT_EQ(read("marlix.ini"), "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");

    // A good read at a later opening makes the table writable again.
    files.loadHighlighting(p.highlighting);
    EXPECT_TRUE(files.writesHighlighting());
    p.highlighting = {{"if", "0", "clRed"}};
    files.save(p);
    EXPECT_EQ(read("highlighting.ini"), "if\r\n0\r\nclRed\r\n");
}

TEST_F(PreferenceFilesTest, WriteFailureStopsBeforeTheLaterFiles) {
    write("intellisense.ini", "old\r\n");
    write("highlighting.ini", "old\r\n");
    write("marlix.ini", "0\r\n");
    makeReadOnly("highlighting.ini");
    Preferences p;
    p.intellisense = {{"new", "file.txt", "1"}};
    p.highlighting = {{"new", "0", "clRed"}};
    try {
        files.save(p);
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), "Cannot create file " + path("highlighting.ini"));
    }
    EXPECT_EQ(read("intellisense.ini"), "new\r\nfile.txt\r\n1\r\n");
    EXPECT_EQ(read("highlighting.ini"), "old\r\n");
    EXPECT_EQ(read("marlix.ini"), "0\r\n");

    makeReadOnly("intellisense.ini");
    QFile::setPermissions(path("highlighting.ini"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    p.intellisense = {{"newer", "file.txt", "1"}};
    EXPECT_THROW(files.save(p), Error);
    EXPECT_EQ(read("intellisense.ini"), "new\r\nfile.txt\r\n1\r\n");
    EXPECT_EQ(read("highlighting.ini"), "old\r\n");
    EXPECT_EQ(read("marlix.ini"), "0\r\n");
}

// A completion file chosen under a Cyrillic name was written as "????" and then failed to
// load. The file column holds the file system's bytes; codes stay 8-bit text.
TEST_F(PreferenceFilesTest, CompletionFileNamesSurviveAsFileSystemBytes) {
    const QString cyrillic = dir.path() + QString::fromUtf8("/моды/список.txt");
    const QString accented = dir.path() + QString::fromUtf8("/Élan/café.txt");
    Preferences p;
    p.intellisense = {{"Obj.", cyrillic, "0"}, {QString::fromLatin1("caf\xE9."), accented, "1"}};
    files.save(p);
    EXPECT_EQ(read("intellisense.ini"), "Obj.\r\n" + QFile::encodeName(cyrillic) +
                                            "\r\n0\r\ncaf\xE9.\r\n" + QFile::encodeName(accented) +
                                            "\r\n1\r\n");

    Preferences again;
    files.loadIntellisense(again.intellisense);
    EXPECT_EQ(again.intellisense, p.intellisense);

    // The editor's table names the same files, so the trigger finds them.
    IntellisenseTable table;
    readIntellisenseTable(path("intellisense.ini"), table);
    EXPECT_EQ(table.files, QStringList({cyrillic, accented}));
    EXPECT_EQ(table.triggers[1], QString::fromLatin1("caf\xE9."));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(cyrillic).path()));
    QFile list(cyrillic);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.close();
    EXPECT_TRUE(QFile::exists(table.files[0]));

    // A table an older version wrote with an 8-bit name still names that file.
    write("intellisense.ini", "a.\r\n/mods/caf\xE9.txt\r\n0\r\n");
    files.loadIntellisense(again.intellisense);
    EXPECT_EQ(again.intellisense[0][1], QString::fromUtf8("/mods/café.txt"));
    readIntellisenseTable(path("intellisense.ini"), table);
    EXPECT_EQ(table.files[0], QString::fromUtf8("/mods/café.txt"));
}

// A table beyond what the grid shows is shown in part and never written back cut: closing the
// dialog would have dropped the entries it did not hold.
TEST_F(PreferenceFilesTest, TableBeyondTheLimitsIsShownInPartAndKeptWhole) {
    QByteArray big;
    for (qsizetype i = 0; i <= MaxTableEntries; ++i)
        big += "phrase" + QByteArray::number(i) + "\r\n0\r\nclRed\r\n";
    write("highlighting.ini", big);
    write("intellisense.ini", "ObjectTemplate.\r\nobjecttemplate.txt\r\n0\r\n");
    Preferences p;
    files.loadIntellisense(p.intellisense);
    try {
        files.loadHighlighting(p.highlighting);
        FAIL() << "a cut table is reported";
    } catch (const Error &error) {
        EXPECT_TRUE(error.text().startsWith("highlighting.ini holds more than"));
    }
    ASSERT_EQ(p.highlighting.size(), MaxTableEntries);
    EXPECT_EQ(p.highlighting.last()[0], QString("phrase%1").arg(MaxTableEntries - 1));
    EXPECT_FALSE(files.writesHighlighting());
    EXPECT_TRUE(files.writesIntellisense());
    files.save(p);
    EXPECT_EQ(read("highlighting.ini"), big);

    // A line longer than a table line can be is cut in the grid: the same.
    write("highlighting.ini", "if\r\n0\r\n" + QByteArray(5000, 'x') + "\r\n");
    EXPECT_THROW(files.loadHighlighting(p.highlighting), Error);
    EXPECT_FALSE(files.writesHighlighting());
}
