// The running window's hand-off socket against real clients on the same machine: the request
// of a later start, and clients that are no later start of ours.
#include "platform/HandOffChannel.h"
#include "core/common/Version.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
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

    // 762 MB without a line end once grew the window to 800 MB.
    void clientSendingMoreThanARequestIsDropped() {
        QSignalSpy raised(listener.get(), &HandOffListener::raiseRequested);
        QLocalSocket flood;
        flood.connectToServer(handOffSocketPath(Title));
        QVERIFY(flood.waitForConnected(2000));
        const QByteArray block(64 * 1024, 'x');
        for (int i = 0; i < 64 && flood.state() == QLocalSocket::ConnectedState; ++i) {
            flood.write(block);
            QTest::qWait(0);
        }
        QVERIFY(dropped(flood, 1500));
        QCOMPARE(raised.count(), 0);
        // The window still hears a later start afterwards.
        QVERIFY(requestRaise(Title));
        QTRY_COMPARE(raised.count(), 1);
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
        partial.write("raise-and");
        for (auto &client : idle)
            QVERIFY(dropped(*client, 5000));
        QVERIFY(dropped(partial, 5000));
    }

    void requestIsAnsweredOncePerConnection() {
        QSignalSpy raised(listener.get(), &HandOffListener::raiseRequested);
        QLocalSocket client;
        client.connectToServer(handOffSocketPath(Title));
        QVERIFY(client.waitForConnected(2000));
        client.write("raise-and-paint\nraise-and-paint\nraise-and-paint\n");
        QVERIFY(dropped(client, 1500));
        QCOMPARE(raised.count(), 1);
        QVERIFY(requestRaise(Title));
        QTRY_COMPARE(raised.count(), 2);
    }
};

QTEST_GUILESS_MAIN(HandOffChannelTest)
#include "HandOffChannelTest.moc"
