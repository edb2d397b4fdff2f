#include "core/common/Version.h"
#include "tests/e2e/support/Installation.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

// The order in which files of a folder are first opened, as the kernel reports it: the
// running window reads a script when it opens it, and nothing else reads these.
class OpenWatch {
public:
    explicit OpenWatch(const QString &folder) {
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(m_fd); }
    QStringList opened() {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                break;
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                const QString name = QFile::decodeName(QByteArray(event->name));
                if (event->len > 0 && !m_order.contains(name))
                    m_order.append(name);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return m_order;
    }

private:
    int m_fd = -1;
    QStringList m_order;
};

// A client of the window's socket that connects and says nothing.
int connectSilently(const QString &path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The window closed the connection (or refused it) without a word.
bool closedByWindow(int fd) {
    char byte;
    const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

} // namespace

class HandOffE2E : public QObject {
    Q_OBJECT

private slots:
    void laterStartHandsItsFileToTheRunningWindow();
    void laterStartWithoutFileOrWithSplitPathOpensNothing();
    void laterStartsWhileTheWindowIsHeldAllOpenInTheirOrder();
    void killedFirstInstanceNeverBlocksTheNextStart();
    void handOffWaitingFromBeforeTheStartIsTakenUpAtTheFirstPaint();
    void relativeNameOpensTheFileInTheFolderEachStartWasMadeFrom();
    void burstOfLaterStartsAllEndWellAndTheLastWrittenOpens();
    void twentyQuickLaterStartsOpenEveryFileInTheirOrder();
    void severalFilesOfOneStartAllOpen();
    void listenerOutlivesRunningOutOfDescriptors();
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

    // An unquoted path with a blank arrives in two pieces, each taken as a file: neither is.
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

// Each later start replaced params.ini and the last writer won: only the last file opened.
void HandOffE2E::laterStartsWhileTheWindowIsHeldAllOpenInTheirOrder() {
    HandOffInstallation app;
    QProcess *running = app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    // Hold the first instance so that it cannot take anything up between the later starts.
    ::kill(pid_t(running->processId()), SIGSTOP);
    const QString a = app.script("a.con");
    const QString b = app.script("b.con");
    QVERIFY(app.runLater({a}));
    QVERIFY(app.runLater({b}));
    // params.ini is as a single start leaves it: the last start's file.
    QCOMPARE(app.program.read("params.ini"), b.toLocal8Bit() + "\r\n");
    ::kill(pid_t(running->processId()), SIGCONT);
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), b.toLocal8Bit() + "\r\n" + a.toLocal8Bit() + "\r\n",
                              10000);
    QTRY_VERIFY(!app.program.exists("params.ini"));
    // Once a further hand-off has been taken up, every earlier request has been handled:
    // nothing opened twice.
    QVERIFY(app.runLater({}));
    QTRY_VERIFY_WITH_TIMEOUT(!app.program.exists("params.ini"), 10000);
    QCOMPARE(app.recent(), b.toLocal8Bit() + "\r\n" + a.toLocal8Bit() + "\r\n");
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
    // The same file by way of "..": the open document, not a second tab.
    QVERIFY(app.runLater({"../objects/Objects.con"}, app.program.file("mod/objects")));
    QTRY_VERIFY_WITH_TIMEOUT(!app.program.exists("params.ini"), 10000);
    const QString third = app.script("mod/third.con");
    QVERIFY(app.runLater({"../third.con"}, app.program.file("mod/objects")));
    QTRY_COMPARE_WITH_TIMEOUT(app.recent().count("\r\n"), 3, 10000);
    QCOMPARE(app.recent(), third.toLocal8Bit() + "\r\n" + second.toLocal8Bit() + "\r\n" +
                               first.toLocal8Bit() + "\r\n");
    QCOMPARE(running->state(), QProcess::Running);
}

void HandOffE2E::burstOfLaterStartsAllEndWellAndTheLastWrittenOpens() {
    HandOffInstallation app;
    const TempFolder scripts;
    OpenWatch watch(scripts.path());
    QProcess *running = app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    QStringList names;
    for (int i = 0; i < 20; ++i) {
        names << QString("burst%1.txt").arg(i);
        scripts.write(names.last(), "rem\r\n");
    }
    std::vector<QProcess *> later;
    for (const QString &name : names)
        later.push_back(app.start({scripts.file(name)}));
    for (QProcess *process : later) {
        QVERIFY(process->waitForFinished(30000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }
    // Every start's file opens, each once, whatever order the starts took their turns in.
    QTRY_COMPARE_WITH_TIMEOUT(watch.opened().size(), 20, 20000);
    QStringList opened = watch.opened();
    opened.sort();
    names.sort();
    QCOMPARE(opened, names);
    // The last hand-off written is the one opened last.
    scripts.write("last.txt", "rem\r\n");
    QVERIFY(app.runLater({scripts.file("last.txt")}));
    QTRY_COMPARE_WITH_TIMEOUT(watch.opened().size(), 21, 10000);
    QCOMPARE(watch.opened().last(), QString("last.txt"));
    QCOMPARE(running->state(), QProcess::Running);
}

// Twenty quick later starts, one after another: every file opens, in the order of the starts.
void HandOffE2E::twentyQuickLaterStartsOpenEveryFileInTheirOrder() {
    HandOffInstallation app;
    const TempFolder scripts;
    OpenWatch watch(scripts.path());
    QProcess *running = app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    QStringList names;
    for (int i = 0; i < 20; ++i) {
        names << QString("quick%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        scripts.write(names.last(), "rem\r\n");
    }
    for (const QString &name : names)
        QVERIFY(app.runLater({scripts.file(name)}));
    QTRY_COMPARE_WITH_TIMEOUT(watch.opened().size(), 20, 20000);
    QCOMPARE(watch.opened(), names);
    QTRY_VERIFY(!app.program.exists("params.ini"));
    QCOMPARE(running->state(), QProcess::Running);
}

// `marlix A.con B.con` opened nothing, first start or later: the arguments were joined.
void HandOffE2E::severalFilesOfOneStartAllOpen() {
    HandOffInstallation app;
    const QString a = app.script("my mod/A.con");
    const QString b = app.script("B.con");
    QProcess *running = app.start({a, b});
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), b.toLocal8Bit() + "\r\n" + a.toLocal8Bit() + "\r\n",
                              10000);
    const QString c = app.script("C.con");
    const QString d = app.script("D.con");
    QVERIFY(app.runLater({"C.con", "my mod/../D.con"}, app.program.path()));
    QTRY_VERIFY_WITH_TIMEOUT(
        app.recent().startsWith(d.toLocal8Bit() + "\r\n" + c.toLocal8Bit() + "\r\n"), 10000);
    QTRY_VERIFY(!app.program.exists("params.ini"));
    QCOMPARE(running->state(), QProcess::Running);
}

// About 1,064 connections under `ulimit -n 1024` once made the listener delete its socket for
// good: later starts then ended without their file opening.
void HandOffE2E::listenerOutlivesRunningOutOfDescriptors() {
    // The test needs more descriptors than the window it starts.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    QVERIFY(limit.rlim_cur >= 1024);

    HandOffInstallation app;
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(app.environment);
    process->setWorkingDirectory(QDir::rootPath());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start("/bin/sh", {"-c", "ulimit -n 160 && exec \"$0\"", app.program.file("marlix")});
    QProcess *running = process.get();
    app.processes.push_back(std::move(process));
    QTRY_VERIFY_WITH_TIMEOUT(app.listening(), 10000);
    const QString socket = app.runtime.file(SocketName);

    // More silent clients than the window has descriptors, made within half a second.
    QElapsedTimer clock;
    clock.start();
    std::vector<int> clients;
    while (clients.size() < 300 && clock.elapsed() < 500) {
        if (const int fd = connectSilently(socket); fd >= 0)
            clients.push_back(fd);
        else
            ::usleep(500); // the queue of the listening socket is full for a moment
    }
    QVERIFY2(clients.size() >= 200, qPrintable(QString::number(clients.size())));
    // Some find no descriptor left in the window: refused at once, long before the two
    // seconds a silent client is given.
    int refused = 0;
    while (refused == 0 && clock.elapsed() < 1500) {
        refused = int(std::count_if(clients.begin(), clients.end(), closedByWindow));
        QTest::qWait(20);
    }
    QVERIFY2(refused > 0, "no connection was refused");
    QVERIFY(app.listening());
    for (int fd : clients)
        ::close(fd);
    QCOMPARE(running->state(), QProcess::Running);

    // The window still hears later starts.
    const QString after = app.script("after.con");
    QVERIFY(app.runLater({after}));
    QTRY_COMPARE_WITH_TIMEOUT(app.recent(), after.toLocal8Bit() + "\r\n", 10000);
    QVERIFY(app.listening());
}

QTEST_GUILESS_MAIN(HandOffE2E)
#include "HandOffE2E.moc"
