#include "core/startup/HandOff.h"
#include "core/common/Error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

#include "tests/core/FileBytes.h"

using namespace marlix;

// A file manager's "Open with" passes each file as its own argument; joined, they named no file.
TEST(HandOff, EveryParameterNamesOneFile) {
    EXPECT_EQ(commandLineFiles({"/opt/marlix"}, "/m"), QStringList());
    EXPECT_EQ(commandLineFiles({}, "/m"), QStringList());
    EXPECT_EQ(commandLineFiles({"marlix", "/mods/A.con", "/mods/B.con"}, "/m"),
              QStringList({"/mods/A.con", "/mods/B.con"}));
    // A path with blanks is one argument, as a shell or a file manager passes it.
    EXPECT_EQ(commandLineFiles({"marlix", "/home/u/my mod/init.con", "x.con"}, "/m"),
              QStringList({"/home/u/my mod/init.con", "/m/x.con"}));
    // An empty argument names nothing.
    EXPECT_EQ(commandLineFiles({"marlix", "", "/a.con"}, "/m"), QStringList({"/a.con"}));
}

TEST(HandOff, RelativeNameIsMadeAbsoluteAgainstTheStartingFolderAndCleaned) {
    EXPECT_EQ(commandLineFiles({"marlix", "Objects.con"}, "/mods/a/objects"),
              QStringList({"/mods/a/objects/Objects.con"}));
    EXPECT_EQ(commandLineFiles({"marlix", "/abs/x.con"}, "/mods/a"), QStringList({"/abs/x.con"}));
    EXPECT_EQ(commandLineFiles({"marlix", "./x.con", "/abs//y.con"}, "/mods/a"),
              QStringList({"/mods/a/x.con", "/abs/y.con"}));

    // ".." goes where the file it names is the same; a folder link keeps it.
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    ASSERT_TRUE(QDir().mkpath(root + "/mod/objects"));
    ASSERT_TRUE(QDir().mkpath(root + "/elsewhere/deep"));
    writeAll(root + "/mod/b.con", "rem\r\n");
    writeAll(root + "/elsewhere/b.con", "rem\r\n");
    EXPECT_EQ(commandLineFiles({"marlix", "../b.con"}, root + "/mod/objects"),
              QStringList({root + "/mod/b.con"}));
    ASSERT_TRUE(QFile::link(root + "/elsewhere/deep", root + "/mod/link"));
    EXPECT_EQ(commandLineFiles({"marlix", "../b.con"}, root + "/mod/link"),
              QStringList({root + "/mod/link/../b.con"}));
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
                writeHandOff(file, {"/mods/x.con"});
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
    writeHandOff(file, {"/last.con"});
    EXPECT_EQ(readAll(file), QByteArray("/last.con\r\n"));
}

TEST(HandOff, FileHoldsALinePerFileOneEvenWhenEmptyAndIsReplacedWhole) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    writeHandOff(file, {});
    EXPECT_EQ(readAll(file), QByteArray("\r\n"));
    writeHandOff(file, {"/first/path.con", "/first/other.con"});
    EXPECT_EQ(readAll(file), QByteArray("/first/path.con\r\n/first/other.con\r\n"));
    writeHandOff(file, {"/second.con"});
    EXPECT_EQ(readAll(file), QByteArray("/second.con\r\n"));
}

TEST(HandOff, CyrillicAndAccentedNamesSurviveAsFileSystemBytes) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    for (const QString &name :
         {QString::fromUtf8("/mods/моды/объекты.con"), QString::fromUtf8("/mods/Élan/café.con")}) {
        writeHandOff(file, {name});
        EXPECT_EQ(readAll(file), QFile::encodeName(name) + "\r\n");
        EXPECT_EQ(takeHandOff(file), std::optional<QStringList>(QStringList{name}));
    }
}

TEST(HandOff, TakingReadsEveryLineAndDeletesTheFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    EXPECT_FALSE(takeHandOff(file).has_value());

    writeAll(file, "/a.con\n/b.con\n");
    EXPECT_EQ(takeHandOff(file), std::optional<QStringList>({"/a.con", "/b.con"}));
    EXPECT_FALSE(QFile::exists(file));
    // Taken once only: a second paint finds nothing.
    EXPECT_FALSE(takeHandOff(file).has_value());

    writeAll(file, "");
    EXPECT_FALSE(takeHandOff(file).has_value());
    EXPECT_FALSE(QFile::exists(file));

    writeAll(file, "\r\n");
    EXPECT_EQ(takeHandOff(file), std::optional<QStringList>(QStringList{""}));
    EXPECT_FALSE(QFile::exists(file));

    // A folder in its place is no hand-off and is left alone.
    QDir().mkpath(file);
    EXPECT_FALSE(takeHandOff(file).has_value());
}

// The start that wrote the file was heard on the socket: the file goes, unless another start
// has replaced it meanwhile.
TEST(HandOff, DeliveredFilesTakeTheirOwnHandOffFileAlong) {
    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    EXPECT_FALSE(dropHandOffOf(file, {"/a.con"}));
    writeHandOff(file, {"/b.con"});
    EXPECT_FALSE(dropHandOffOf(file, {"/a.con"}));
    EXPECT_FALSE(dropHandOffOf(file, {"/b.con", "/a.con"}));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(dropHandOffOf(file, {"/b.con"}));
    EXPECT_FALSE(QFile::exists(file));
    writeHandOff(file, {});
    EXPECT_TRUE(dropHandOffOf(file, {}));
}

// Later starts take turns: the second waits for the first, and goes on without its turn
// when the first never ends.
TEST(HandOff, LaterStartsTakeTurns) {
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    auto first = std::make_unique<HandOffTurn>(0);
    EXPECT_TRUE(first->taken());
    QElapsedTimer clock;
    clock.start();
    {
        HandOffTurn blocked(150);
        EXPECT_FALSE(blocked.taken());
        EXPECT_GE(clock.elapsed(), 140);
    }
    std::atomic<bool> secondTaken{false};
    std::thread second([&] {
        HandOffTurn turn(5000);
        secondTaken = turn.taken();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(secondTaken);
    first.reset();
    second.join();
    EXPECT_TRUE(secondTaken);
    qunsetenv("XDG_RUNTIME_DIR");
}
