#include "prefs/PreferenceFiles.h"

#include "common/Error.h"

#include <QDir>
#include <QFile>
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
