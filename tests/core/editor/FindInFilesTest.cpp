#include "core/search/FindInFiles.h"
#include "core/search/FindInFilesJob.h"

#include "../FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

const SearchOptions wholeWord{false, true, false, true};

struct Hit {
    QString file;
    int line;
    qsizetype column;
    QByteArray text;
    bool operator==(const Hit &o) const {
        return file == o.file && line == o.line && column == o.column && text == o.text;
    }
};

QList<Hit> hits(const FindInFilesResult &result) {
    QList<Hit> out;
    for (const FileMatch &m : result.matches)
        out.append({QFileInfo(m.path).fileName(), m.line, m.column, m.lineText});
    return out;
}

} // namespace

TEST(FindInFiles, GivesFileLineAndTextOfEachMatchWhateverTheLineEnds) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.con"), b = dir.filePath("b.con");
    writeAll(a, "rem top\r\nObjectTemplate.create Scout\r\n\r\n  scout again, Scout\r\n");
    writeAll(b, QByteArray("one\rtwo\nScout\x80\0\n\r\nlast scout", 28));
    const FindInFilesResult result = findInFiles({a, b}, "scout", wholeWord);
    EXPECT_EQ(result.filesSearched, 2);
    EXPECT_TRUE(result.unreadable.isEmpty());
    EXPECT_FALSE(result.cancelled);
    const QList<Hit> expected{
        {"a.con", 2, 22, "ObjectTemplate.create Scout"},
        {"a.con", 4, 2, "  scout again, Scout"},
        {"a.con", 4, 15, "  scout again, Scout"},
        {"b.con", 3, 0, QByteArray("Scout\x80\0", 7)},
        {"b.con", 5, 5, "last scout"},
    };
    EXPECT_EQ(hits(result), expected);
}

TEST(FindInFiles, KeepsTheOrderOfTheListOnSeveralThreadsAndNamesUnreadableFiles) {
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 200; ++i) {
        paths << dir.filePath(QStringLiteral("s%1.con").arg(i));
        writeAll(paths.last(), QByteArray("x\r\nhit ") + QByteArray::number(i));
    }
    paths.insert(50, dir.filePath("missing.con"));
    FindInFilesOptions run;
    run.threads = 4;
    const FindInFilesResult result = findInFiles(paths, "hit", {true, true, false, true}, run);
    ASSERT_EQ(result.matches.size(), 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(result.matches[i].lineText, QByteArray("hit ") + QByteArray::number(i));
    EXPECT_EQ(result.unreadable, QStringList{dir.filePath("missing.con")});
    EXPECT_EQ(result.filesSearched, 201);
}

TEST(FindInFiles, StopsWhenCancelledOrAtTheMatchLimit) {
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 20; ++i) {
        paths << dir.filePath(QStringLiteral("s%1.con").arg(i));
        writeAll(paths.last(), "e e e e e");
    }
    const std::atomic<bool> cancelled{true};
    FindInFilesOptions run;
    run.cancel = &cancelled;
    const FindInFilesResult stopped = findInFiles(paths, "e", wholeWord, run);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.filesSearched, 0);
    EXPECT_TRUE(stopped.matches.isEmpty());

    FindInFilesOptions limited;
    limited.threads = 1;
    limited.maxMatches = 12;
    const FindInFilesResult capped = findInFiles(paths, "e", wholeWord, limited);
    EXPECT_TRUE(capped.truncated);
    EXPECT_EQ(capped.matches.size(), 12);
    EXPECT_LT(capped.filesSearched, 20);
}

TEST(FindInFiles, AnInvalidSearchSearchesNothing) {
    QTemporaryDir dir;
    writeAll(dir.filePath("a.con"), "(");
    const FindInFilesResult result =
        findInFiles({dir.filePath("a.con")}, "(", {false, false, true, true});
    EXPECT_FALSE(result.errorText.isEmpty());
    EXPECT_EQ(result.filesSearched, 0);
}

namespace {

QCoreApplication &application() {
    static int argc = 1;
    static char name[] = "core_editor";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                : new QCoreApplication(argc, argv);
    return *app;
}

} // namespace

TEST(FindInFilesJob, ResultComesBackOnTheJobsThreadAndANewSearchDropsTheOldOne) {
    application();
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 50; ++i) {
        paths << dir.filePath(QStringLiteral("s%1.con").arg(i));
        writeAll(paths.last(), "rem old\r\nnew here");
    }
    FindInFilesJob job;
    QList<FindInFilesResult> results;
    QList<bool> onOwnThread;
    QEventLoop loop;
    QObject::connect(&job, &FindInFilesJob::finished, [&](const FindInFilesResult &result) {
        results.append(result);
        onOwnThread.append(QThread::currentThread() == job.thread());
        loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit); // a guard only: the signal ends it
    job.start(paths, "old", wholeWord);
    job.start(paths, "new", wholeWord);
    EXPECT_TRUE(job.isRunning());
    loop.exec();
    QCoreApplication::processEvents(); // a dropped result would arrive here
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(onOwnThread, QList<bool>{true});
    EXPECT_EQ(results[0].matches.size(), 50);
    EXPECT_EQ(results[0].matches[0].lineText, QByteArray("new here"));
    EXPECT_FALSE(job.isRunning());
}

TEST(FindInFiles, NamesTheFileAndLineWhereTheEngineGaveUp) {
    QTemporaryDir dir;
    const QStringList paths = {dir.filePath("a.con"), dir.filePath("b.con")};
    writeAll(paths[0], "x1\r\n");
    writeAll(paths[1], "x2\r\nrem\r\n" + QByteArray(30, 'a') + "b\r\nx3\r\n");
    const FindInFilesResult result = findInFiles(paths, "x\\d|(a+)+$", {false, false, true, true});
    ASSERT_EQ(result.matches.size(), 2); // x1 and x2: x3 lies after the place
    ASSERT_EQ(result.stopped.size(), 1);
    EXPECT_EQ(result.stopped[0].path, paths[1]);
    EXPECT_EQ(result.stopped[0].line, 3);
}
