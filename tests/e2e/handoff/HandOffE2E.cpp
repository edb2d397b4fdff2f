#include "core/common/Version.h"
#include "tests/e2e/support/Installation.h"

#include <QProcess>
#include <QTest>
#include <csignal>

namespace {

const QString SocketName = marlix::mainWindowTitle();

// The installation of the hand-off tests: a later start, its files and the socket.
struct HandOffInstallation : Installation {
    // A later start ends by itself, quickly, having shown nothing.
    bool runLater(const QStringList &arguments, const QString &workingFolder = QDir::rootPath()) {
        QProcess *later = start(arguments, workingFolder);
        return later->waitForFinished(10000) && later->exitStatus() == QProcess::NormalExit &&
               later->exitCode() == 0;
    }
    bool listening() const { return runtime.exists(SocketName); }
    QByteArray recent() const { return program.read("recent.ini"); }
    QString script(const QString &name) const {
        program.write(name, "rem " + name.toLatin1() + "\r\n");
        return program.file(name);
    }
};

} // namespace

class HandOffE2E : public QObject {
    Q_OBJECT

private slots:
    void laterStartHandsItsFileToTheRunningWindow();
    void laterStartWithoutFileOrWithSplitPathOpensNothing();
    void twoQuickLaterStartsOpenOnlyTheLast();
    void killedFirstInstanceNeverBlocksTheNextStart();
    void handOffWaitingFromBeforeTheStartIsTakenUpAtTheFirstPaint();
    void relativeNameOpensTheFileInTheFolderEachStartWasMadeFrom();
    void burstOfLaterStartsAllEndWellAndTheLastWrittenOpens();
};

void HandOffE2E::laterStartHandsItsFileToTheRunningWindow() {
    HandOffInstallation app;
    const QString first = app.script("first.con");
    QProcess *running = app.start({first});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    // The file named on the first start's command line opens at start.
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), first.toLocal8Bit() + "\r\n", 10000);

    const QString second = app.script("second.con");
    QVERIFY(app.runLater({second}));
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(),
                              second.toLocal8Bit() + "\r\n" + first.toLocal8Bit() + "\r\n", 10000);
    QTRY_VERIFY(!app.program.exists("params.ini"));
    QCOMPARE(running->state(), QProcess::Running);
}

void HandOffE2E::laterStartWithoutFileOrWithSplitPathOpensNothing() {
    HandOffInstallation app;
    QProcess *running = app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    QVERIFY(app.runLater({}));
    QTRY_VERIFY_WITH_TIMEOUT(!app.program.exists("params.ini"), 10000);

    // An unquoted path with a blank arrives in two pieces, joined without the blank.
    app.program.write("my mod/init.con", "rem\r\n");
    app.program.write("mymod/init.con/x", ""); // the joined text names a folder, not a file
    QVERIFY(app.runLater({app.program.path() + "my", "mod/init.con"}));
    QTRY_VERIFY_WITH_TIMEOUT(!app.program.exists("params.ini"), 10000);

    // A file handed over afterwards still arrives, so the two above were taken up and dropped.
    const QString real = app.script("real.con");
    QVERIFY(app.runLater({real}));
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), real.toLocal8Bit() + "\r\n", 10000);
    QCOMPARE(running->state(), QProcess::Running);
}

void HandOffE2E::twoQuickLaterStartsOpenOnlyTheLast() {
    HandOffInstallation app;
    QProcess *running = app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    // Hold the first instance so that it cannot repaint between the two later starts.
    ::kill(pid_t(running->processId()), SIGSTOP);
    const QString a = app.script("a.con");
    const QString b = app.script("b.con");
    QVERIFY(app.runLater({a}));
    QVERIFY(app.runLater({b}));
    QCOMPARE(app.program.read("params.ini"), b.toLocal8Bit() + "\r\n");
    ::kill(pid_t(running->processId()), SIGCONT);
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), b.toLocal8Bit() + "\r\n", 10000);
    QTRY_VERIFY(!app.program.exists("params.ini"));
    // Once a further hand-off has been taken up, every earlier request has been handled:
    // the first path never arrived.
    QVERIFY(app.runLater({}));
    QTRY_VERIFY_WITH_TIMEOUT(!app.program.exists("params.ini"), 10000);
    QCOMPARE(app.recent(), b.toLocal8Bit() + "\r\n");
}

void HandOffE2E::killedFirstInstanceNeverBlocksTheNextStart() {
    HandOffInstallation app;
    QProcess *first = app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    first->kill(); // SIGKILL: no clean-up of any kind
    QVERIFY(first->waitForFinished(5000));

    const QString opened = app.script("after.con");
    QProcess *next = app.start({opened});
    // It runs as the first instance: it opens its own file and stays up ...
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), opened.toLocal8Bit() + "\r\n", 10000);
    QCOMPARE(next->state(), QProcess::Running);
    // ... and takes the hand-off of a later start over the socket it made anew.
    const QString handed = app.script("handed.con");
    QVERIFY(app.runLater({handed}));
    QTRY_COMPARE_WITH_TIMEOUT(app.recent().left(handed.size()), handed.toLocal8Bit(), 10000);
}

void HandOffE2E::handOffWaitingFromBeforeTheStartIsTakenUpAtTheFirstPaint() {
    HandOffInstallation app;
    // A later start that found no window left its file behind.
    const QString waiting = app.script("waiting.con");
    app.program.write("params.ini", waiting.toLocal8Bit() + "\r\n");
    QProcess *running = app.start({});
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), waiting.toLocal8Bit() + "\r\n", 10000);
    QVERIFY(!app.program.exists("params.ini"));
    QCOMPARE(running->state(), QProcess::Running);
}

// Every mod folder has its own Objects.con: a relative name given to a later start must not
// open the one in the running window's folder.
void HandOffE2E::relativeNameOpensTheFileInTheFolderEachStartWasMadeFrom() {
    HandOffInstallation app;
    const QString first = app.script("mod/objects/Objects.con");
    const QString second = app.script("other/objects/Objects.con");
    QProcess *running = app.start({"Objects.con"}, app.program.file("mod/objects"));
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), first.toLocal8Bit() + "\r\n", 10000);

    QVERIFY(app.runLater({"Objects.con"}, app.program.file("other/objects")));
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(),
                              second.toLocal8Bit() + "\r\n" + first.toLocal8Bit() + "\r\n", 10000);
    // A relative name with no such file where the later start was made opens nothing.
    QVERIFY(app.runLater({"Objects.con"}, app.program.path()));
    QTRY_VERIFY_WITH_TIMEOUT(!app.program.exists("params.ini"), 10000);
    QVERIFY(app.runLater({"../objects/Objects.con"}, app.program.file("mod/objects")));
    QTRY_VERIFY_WITH_TIMEOUT(!app.program.exists("params.ini"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(app.recent().count("\r\n"), 3, 10000);
    QVERIFY(app.recent().startsWith(
        app.program.file("mod/objects/../objects/Objects.con").toLocal8Bit()));
    QCOMPARE(running->state(), QProcess::Running);
}

void HandOffE2E::burstOfLaterStartsAllEndWellAndTheLastWrittenOpens() {
    HandOffInstallation app;
    QProcess *running = app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    QStringList scripts;
    for (int i = 0; i < 20; ++i)
        scripts << app.script(QString("burst%1.con").arg(i));
    std::vector<QProcess *> later;
    for (const QString &script : scripts)
        later.push_back(app.start({script}));
    for (QProcess *process : later) {
        QVERIFY(process->waitForFinished(20000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }
    // Whatever was taken up on the way, the last hand-off written is the one opened last.
    const QString last = app.script("last.con");
    QVERIFY(app.runLater({last}));
    QTRY_VERIFY_WITH_TIMEOUT(app.recent().startsWith(last.toLocal8Bit() + "\r\n"), 10000);
    for (const QByteArray &line : app.recent().split('\n'))
        QVERIFY(line.isEmpty() || line.contains("burst") || line.contains("last.con"));
    QCOMPARE(running->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(HandOffE2E)
#include "HandOffE2E.moc"
