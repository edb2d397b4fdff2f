#include "core/startup/HandOff.h"
#include "core/common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "tests/core/FileBytes.h"

using namespace marlix;

TEST(HandOff, ParametersAreJoinedWithNothingBetweenThem) {
    EXPECT_EQ(joinedParameters({"/opt/marlix"}), "");
    EXPECT_EQ(joinedParameters({}), "");
    // An unquoted path with blanks arrives in pieces and loses its blanks.
    EXPECT_EQ(joinedParameters({"marlix", "/home/u/my", "mod/init.con"}), "/home/u/mymod/init.con");
}

TEST(HandOff, RelativeNameIsMadeAbsoluteAgainstTheStartingFolder) {
    EXPECT_EQ(commandLineFile({"marlix", "Objects.con"}, "/mods/a/objects"),
              "/mods/a/objects/Objects.con");
    EXPECT_EQ(commandLineFile({"marlix", "../b/x.con"}, "/mods/a"), "/mods/a/../b/x.con");
    EXPECT_EQ(commandLineFile({"marlix", "/abs/x.con"}, "/mods/a"), "/abs/x.con");
    EXPECT_EQ(commandLineFile({"marlix", "my", "mod.con"}, "/m"), "/m/mymod.con");
    // No parameters still hand over the empty line.
    EXPECT_EQ(commandLineFile({"marlix"}, "/mods/a"), "");
}

// Later starts in a burst write the file while others replace it and the running window
// deletes it; none of them may fail.
TEST(HandOff, WritesRacingEachOtherAndTheTakerAllSucceed) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    const auto writer = [&] {
        for (int i = 0; i < 400; ++i) {
            try {
                writeHandOff(file, "/mods/x.con");
            } catch (const Error &) {
                ++failures;
            }
        }
    };
    std::thread taker([&] {
        while (!stop)
            QFile::remove(file);
    });
    std::thread first(writer), second(writer);
    first.join();
    second.join();
    stop = true;
    taker.join();
    EXPECT_EQ(failures, 0);
    writeHandOff(file, "/last.con");
    EXPECT_EQ(readAll(file), QByteArray("/last.con\r\n"));
}

TEST(HandOff, FileHoldsOneLineEvenWhenEmptyAndIsReplacedWhole) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    writeHandOff(file, "");
    EXPECT_EQ(readAll(file), QByteArray("\r\n"));
    writeHandOff(file, "/first/path.con");
    writeHandOff(file, "/second.con");
    EXPECT_EQ(readAll(file), QByteArray("/second.con\r\n"));
}

TEST(HandOff, CyrillicAndAccentedNamesSurviveAsFileSystemBytes) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    for (const QString &name :
         {QString::fromUtf8("/mods/моды/объекты.con"), QString::fromUtf8("/mods/Élan/café.con")}) {
        writeHandOff(file, name);
        EXPECT_EQ(readAll(file), QFile::encodeName(name) + "\r\n");
        EXPECT_EQ(takeHandOff(file), std::optional<QString>(name));
    }
}

TEST(HandOff, TakingReadsTheFirstLineAndDeletesTheFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    EXPECT_FALSE(takeHandOff(file).has_value());

    writeAll(file, "/a.con\n/b.con\n");
    EXPECT_EQ(takeHandOff(file), std::optional<QString>("/a.con"));
    EXPECT_FALSE(QFile::exists(file));
    // Taken once only: a second paint finds nothing.
    EXPECT_FALSE(takeHandOff(file).has_value());

    writeAll(file, "");
    EXPECT_FALSE(takeHandOff(file).has_value());
    EXPECT_FALSE(QFile::exists(file));

    writeAll(file, "\r\n");
    EXPECT_EQ(takeHandOff(file), std::optional<QString>(""));
    EXPECT_FALSE(QFile::exists(file));

    // A folder in its place is no hand-off and is left alone.
    QDir().mkpath(file);
    EXPECT_FALSE(takeHandOff(file).has_value());
}
