#include "core/archive/RfaExtract.h"
#include "core/archive/RfaReader.h"
#include "core/archive/RfaWriter.h"
#include "core/common/Error.h"
#include "tests/core/archive/ArchiveFixture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace marlix;

// Extraction into a destination someone else can write to: links planted there are never
// followed, and names are the file system's bytes.
namespace {

QString errorText(const std::function<void()> &action) {
    try {
        action();
    } catch (const Error &e) {
        return e.text();
    }
    return {};
}

// What the file at these exact bytes holds; "(missing)" when there is none.
QByteArray readRaw(const QByteArray &path) {
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "(missing)";
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

void plantLink(const QString &target, const QString &link) {
    QDir().mkpath(QFileInfo(link).absolutePath());
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()),
              0);
}

bool isLink(const QString &path) {
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

struct PlantedDestination : ArchiveFolder {
    PlantedDestination() {
        put("outside/victimfile", "precious");
        QDir().mkpath(path("dest/objects"));
    }
    void pack(const QList<QPair<QByteArray, QByteArray>> &entries) const {
        put("planted.rfa", handMadeArchive(entries));
    }
};

TEST(RfaSafeExtract, PartFileLinkInTheDestinationIsNeverWrittenThrough) {
    PlantedDestination folder;
    plantLink(folder.path("outside/victimfile"), folder.path("dest/objects/victim.con.part"));
    folder.pack({{"objects/victim.con", "from the archive"}});
    RfaReader reader(folder.path("planted.rfa"));
    EXPECT_EQ(extractEntries(reader, folder.path("dest")), 1);
    EXPECT_EQ(readAll(folder.path("outside/victimfile")), "precious");
    EXPECT_EQ(readAll(folder.path("dest/objects/victim.con")), "from the archive");
    EXPECT_TRUE(isLink(folder.path("dest/objects/victim.con.part")));
    // No temporary file is left behind either.
    EXPECT_EQ(QDir(folder.path("dest/objects")).entryList(QDir::Files | QDir::Hidden),
              QStringList({"victim.con", "victim.con.part"}));
}

TEST(RfaSafeExtract, EntryThatWouldReplaceOrPassThroughALinkIsRefused) {
    PlantedDestination folder;
    plantLink(folder.path("outside/victimfile"), folder.path("dest/objects/victim.con"));
    plantLink(folder.path("outside"), folder.path("dest/linkdir"));
    plantLink(folder.path("outside"), folder.path("dest/deep/er/linkdir"));

    for (const QByteArray &name :
         {QByteArray("objects/victim.con"), QByteArray("linkdir/x.con"),
          QByteArray("linkdir\\x.con"), QByteArray("deep/er/linkdir/x.con"),
          QByteArray("objects/../linkdir/x.con")}) {
        folder.pack({{"objects/a.con", "a"}, {name, "evil"}});
        RfaReader reader(folder.path("planted.rfa"));
        const QString text = errorText([&] { extractEntries(reader, folder.path("dest")); });
        EXPECT_FALSE(text.isEmpty()) << name.constData();
        EXPECT_TRUE(text.contains(QString::fromLatin1(name)) || name.contains(".."))
            << text.toStdString();
        EXPECT_EQ(readAll(folder.path("outside/victimfile")), "precious") << name.constData();
        EXPECT_FALSE(QFileInfo::exists(folder.path("outside/x.con"))) << name.constData();
    }
    EXPECT_TRUE(isLink(folder.path("dest/objects/victim.con")));
    // The entry before the refused one was written, and said so through the error only.
    EXPECT_EQ(readAll(folder.path("dest/objects/a.con")), "a");
}

TEST(RfaSafeExtract, NamesThatDifferOnlyInBytesThatAreNotUtf8GiveTwoFiles) {
    ArchiveFolder folder;
    folder.put("names.rfa", handMadeArchive({{"m/caf\xE9.con", "latin-1 e acute"},
                                             {"m/caf\xE8.con", "latin-1 e grave"},
                                             {"m/caf\xC3\xA9.con", "utf-8 e acute"}}));
    RfaReader reader(folder.path("names.rfa"));
    EXPECT_EQ(reader.entries().at(0).rawName, "m/caf\xE9.con");
    EXPECT_EQ(reader.entries().at(0).name, QString::fromUtf8("m/café.con"))
        << "shown as Latin-1, the way names from Windows tools were meant";
    EXPECT_EQ(extractEntries(reader, folder.path("out")), 3);
    const QByteArray out = QFile::encodeName(folder.path("out/m/"));
    EXPECT_EQ(readRaw(out + "caf\xE9.con"), "latin-1 e acute");
    EXPECT_EQ(readRaw(out + "caf\xE8.con"), "latin-1 e grave");
    EXPECT_EQ(readRaw(out + "caf\xC3\xA9.con"), "utf-8 e acute");

    // Asked for by its bytes, the entry of exactly those bytes comes out.
    EXPECT_EQ(extractEntries(reader, folder.path("one"), {"m/caf\xE8.con"}), 1);
    EXPECT_EQ(readRaw(QFile::encodeName(folder.path("one/m/")) + "caf\xE8.con"), "latin-1 e grave");
    EXPECT_EQ(readRaw(QFile::encodeName(folder.path("one/m/")) + "caf\xE9.con"), "(missing)");
}

TEST(RfaSafeExtract, SecondEntryOfTheSameNameIsRefusedNotCountedTwice) {
    ArchiveFolder folder;
    folder.put("twice.rfa", handMadeArchive({{"m/a.con", "first"}, {"m/a.con", "second"}}));
    RfaReader reader(folder.path("twice.rfa"));
    const QString text = errorText([&] { extractEntries(reader, folder.path("out")); });
    EXPECT_TRUE(text.contains("same file")) << text.toStdString();
    EXPECT_EQ(readAll(folder.path("out/m/a.con")), "first");
}

TEST(RfaSafeExtract, DamagedEntryLeavesNeitherFileNorTheFoldersMadeForIt) {
    ArchiveFolder folder;
    folder.put("src/deep/in/a.con", QByteArray("rem a\r\n").repeated(5000));
    packFolder(folder.path("src"), "o", folder.path("good.rfa"), true);
    QByteArray bad = readAll(folder.path("good.rfa"));
    const RfaEntry entry = RfaReader(folder.path("good.rfa")).entries().first();
    for (int i = 0; i < 40; ++i)
        bad[entry.offset + 4 + 12 + 5 + i] = char(0xFF);
    folder.put("bad.rfa", bad);
    QDir().mkpath(folder.path("out/o"));
    RfaReader reader(folder.path("bad.rfa"));
    EXPECT_THROW(extractEntries(reader, folder.path("out")), Error);
    EXPECT_TRUE(QFileInfo(folder.path("out/o")).isDir()) << "a folder that was there stays";
    EXPECT_FALSE(QFileInfo::exists(folder.path("out/o/deep")));
    EXPECT_EQ(QDir(folder.path("out/o"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

} // namespace
