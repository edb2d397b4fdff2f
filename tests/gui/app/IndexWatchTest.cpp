// The watches on the mod index's scripts and folders: set in pieces, changed only where the
// list changed, and kept on scripts that are saved by replacing them.
#include "core/modindex/IndexWatch.h"
#include "tests/gui/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using marlix::IndexWatch;

namespace {

QStringList scripts(const TempFolder &folder, int count) {
    QStringList files;
    for (int i = 0; i < count; ++i) {
        folder.write(QString("s%1.con").arg(i), "rem\r\n");
        files.append(QDir::cleanPath(folder.file(QString("s%1.con").arg(i))));
    }
    return files;
}

} // namespace

class IndexWatchTest : public QObject {
    Q_OBJECT

private slots:
    void thousandsOfScriptsAreWatchedInPiecesFromTheEventLoop() {
        TempFolder folder;
        const QStringList files = scripts(folder, 1000);
        IndexWatch watch;
        QSignalSpy changed(&watch, &IndexWatch::fileChanged);
        QSignalSpy set(&watch, &IndexWatch::filesWatched);
        watch.watch(files, {QDir::cleanPath(folder.path())});
        QVERIFY(!watch.isSettled()); // the caller gets on with its keys
        QTRY_VERIFY(watch.isSettled());
        QStringList reported;
        for (const QList<QVariant> &piece : set)
            reported += piece.first().toStringList();
        QCOMPARE(reported.size(), 1001);
        folder.write("s999.con", "rem changed\r\n");
        QVERIFY(changed.wait());
        QCOMPARE(changed.first().first().toString(), files.last());

        QSignalSpy added(&watch, &IndexWatch::folderChanged);
        folder.write("new.con", "rem\r\n");
        QVERIFY(added.wait());
    }

    void anotherListChangesOnlyTheWatchesOfScriptsThatCameOrWent() {
        TempFolder folder;
        const QStringList files = scripts(folder, 3);
        IndexWatch watch;
        watch.watch({files[0], files[1]}, {});
        QTRY_VERIFY(watch.isSettled());
        watch.watch({files[1], files[2]}, {});
        QTRY_VERIFY(watch.isSettled());
        QSignalSpy changed(&watch, &IndexWatch::fileChanged);
        folder.write("s0.con", "rem gone from the list\r\n");
        folder.write("s1.con", "rem kept\r\n");
        folder.write("s2.con", "rem new in the list\r\n");
        QTRY_COMPARE(changed.size(), 2);
        QCOMPARE(QSet<QString>({changed[0].first().toString(), changed[1].first().toString()}),
                 QSet<QString>({files[1], files[2]}));
    }

    void aScriptReplacedOrDeletedAndBackIsWatchedAgain() {
        TempFolder folder;
        const QStringList files = scripts(folder, 1);
        IndexWatch watch;
        watch.watch(files, {});
        QTRY_VERIFY(watch.isSettled());
        QSignalSpy changed(&watch, &IndexWatch::fileChanged);

        // Saved as a new file renamed over the old one.
        folder.write("next.con", "rem saved\r\n");
        QVERIFY(QFile::remove(files[0]));
        QVERIFY(QFile::rename(folder.file("next.con"), files[0]));
        QVERIFY(changed.wait());
        watch.rewatch(files[0]);
        changed.clear();
        folder.write("s0.con", "rem saved again\r\n");
        QVERIFY(changed.wait());

        QVERIFY(QFile::remove(files[0]));
        QVERIFY(changed.wait());
        watch.rewatch(files[0]); // nothing to watch now
        folder.write("s0.con", "rem back\r\n");
        watch.watch(files, {});
        QTRY_VERIFY(watch.isSettled());
        changed.clear();
        folder.write("s0.con", "rem changed once back\r\n");
        QVERIFY(changed.wait());
    }
};

QTEST_GUILESS_MAIN(IndexWatchTest)
#include "IndexWatchTest.moc"
