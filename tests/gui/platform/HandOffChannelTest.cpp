// The running window's hand-off socket against real clients on the same machine: the request
// of a later start, and clients that are no later start of ours.
#include "platform/HandOffChannel.h"
#include "core/common/Version.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace marlix;

namespace {
const QString Title = marlix::mainWindowTitle();

bool dropped(QLocalSocket &client, int timeoutMs) {
    if (client.state() == QLocalSocket::UnconnectedState)
        return true;
    QSignalSpy gone(&client, &QLocalSocket::disconnected);
    return gone.wait(timeoutMs) || client.state() == QLocalSocket::UnconnectedState;
}

// A later start runs in a process of its own; here a thread of its own stands for it, so
// that the listener can answer while the start waits.
class LaterStart {
public:
    explicit LaterStart(const QStringList &files) {
        m_thread = std::thread([this, files] {
            m_answer = handFilesOver(Title, files);
            m_done = true;
        });
    }
    ~LaterStart() { m_thread.join(); }
    bool done() const { return m_done; }
    HandOffAnswer answer() const { return m_answer; }

private:
    std::thread m_thread;
    std::atomic<bool> m_done{false};
    std::atomic<HandOffAnswer> m_answer{HandOffAnswer::NoWindow};
};
} // namespace

class HandOffChannelTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime;
    std::unique_ptr<HandOffListener> listener;

private slots:
    void init() {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        listener = std::make_unique<HandOffListener>();
        QVERIFY(listener->listen(Title));
    }
    void cleanup() { listener.reset(); }

    // Any name a file system can hold arrives as it was sent, in order.
    void filesArriveWholeAndTheStartHearsThem() {
        QSignalSpy handed(listener.get(), &HandOffListener::filesHandedOver);
        const QStringList files = {QStringLiteral("/mods/my mod/Objects.con"),
                                   QString::fromUtf8("/mods/моды/café\n%2F.con"),
                                   QStringLiteral("/a.con")};
        {
            LaterStart start(files);
            QTRY_VERIFY(start.done());
            QCOMPARE(start.answer(), HandOffAnswer::Taken);
        }
        QCOMPARE(handed.count(), 1);
        QCOMPARE(handed.first().first().toStringList(), files);
        LaterStart empty({});
        QTRY_VERIFY(empty.done());
        QCOMPARE(empty.answer(), HandOffAnswer::Taken);
        QCOMPARE(handed.count(), 2);
        QVERIFY(handed.last().first().toStringList().isEmpty());
    }

    void noWindowAndAWindowThatDoesNotAnswer() {
        // The window's thread is held: the start gives up after its time limit.
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(handFilesOver(Title, {QStringLiteral("/x.con")}, 300), HandOffAnswer::NoAnswer);
        QVERIFY(clock.elapsed() < 2000);
        // The request it left is still heard when the window goes on.
        QSignalSpy handed(listener.get(), &HandOffListener::filesHandedOver);
        listener->takeWaitingRequests();
        QCOMPARE(handed.count(), 1);
        listener.reset();
        QCOMPARE(handFilesOver(Title, {}, 300), HandOffAnswer::NoWindow);
    }

    // The socket lives as long as the listener, and goes with it.
    void socketStaysWhileTheListenerLives() {
        const QString path = handOffSocketPath(Title);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
        QVERIFY(!(QFileInfo(path).permissions() & QFileDevice::WriteOther));
        // A second listener (a run that was killed left its socket) takes the place over; the
        // first one, going, leaves the new socket alone.
        {
            HandOffListener next;
            QVERIFY(next.listen(Title));
            listener.reset();
            QVERIFY(QFileInfo::exists(path));
        }
        QVERIFY(!QFileInfo::exists(path));
    }

    // 762 MB without a line end once grew the window to 800 MB.
    void clientSendingMoreThanARequestIsDropped() {
        QSignalSpy handed(listener.get(), &HandOffListener::filesHandedOver);
        QLocalSocket flood;
        flood.connectToServer(handOffSocketPath(Title));
        QVERIFY(flood.waitForConnected(2000));
        const QByteArray block(64 * 1024, 'x');
        for (int i = 0; i < 64 && flood.state() == QLocalSocket::ConnectedState; ++i) {
            flood.write(block);
            QTest::qWait(0);
        }
        QVERIFY(dropped(flood, 1500));
        // A request without its end, longer than any list of files.
        QLocalSocket endless;
        endless.connectToServer(handOffSocketPath(Title));
        QVERIFY(endless.waitForConnected(2000));
        endless.write(handOffRequest({}).chopped(1));
        for (int i = 0; i < 80 && endless.state() == QLocalSocket::ConnectedState; ++i) {
            endless.write(QByteArray(64 * 1024, 'a') + '\n');
            QTest::qWait(0);
        }
        QVERIFY(dropped(endless, 1500));
        QCOMPARE(handed.count(), 0);
        // The window still hears a later start afterwards.
        LaterStart start({});
        QTRY_VERIFY(start.done());
        QCOMPARE(handed.count(), 1);
    }

    // 1,100 idle connections once all stayed open.
    void silentClientsAreDroppedAfterTwoSeconds() {
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < 50; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(handOffSocketPath(Title));
            QVERIFY(idle.back()->waitForConnected(2000));
        }
        QLocalSocket partial; // the start of a request, never finished
        partial.connectToServer(handOffSocketPath(Title));
        QVERIFY(partial.waitForConnected(2000));
        partial.write("marlix-hand-off\n/a.con\n");
        for (auto &client : idle)
            QVERIFY(dropped(*client, 5000));
        QVERIFY(dropped(partial, 5000));
        QCOMPARE(listener->openConnections(), 0);
    }

    void requestIsAnsweredOncePerConnection() {
        QSignalSpy handed(listener.get(), &HandOffListener::filesHandedOver);
        QLocalSocket client;
        client.connectToServer(handOffSocketPath(Title));
        QVERIFY(client.waitForConnected(2000));
        client.write(handOffRequest({"/a.con"}) + handOffRequest({"/b.con"}) +
                     handOffRequest({"/c.con"}));
        QVERIFY(dropped(client, 1500));
        QCOMPARE(handed.count(), 1);
        QCOMPARE(handed.first().first().toStringList(), QStringList({"/a.con"}));
        // Something else entirely is no request.
        QLocalSocket stranger;
        stranger.connectToServer(handOffSocketPath(Title));
        QVERIFY(stranger.waitForConnected(2000));
        stranger.write("raise-and-paint\n\n");
        QVERIFY(dropped(stranger, 1500));
        QCOMPARE(handed.count(), 1);
    }
};

QTEST_GUILESS_MAIN(HandOffChannelTest)
#include "HandOffChannelTest.moc"
