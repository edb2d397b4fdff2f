#include "platform/HandOffChannel.h"

#include "core/platform/InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace marlix {

namespace {
const QByteArray RaiseRequest = QByteArrayLiteral("raise-and-paint\n");
// A later start sends one short line at once; anything else is no later start of ours and
// must not cost the running window memory or a connection for long.
constexpr qint64 RequestLimit = 4096;
constexpr int RequestTimeLimitMs = 2000;
} // namespace

QString handOffSocketPath(const QString &windowTitle) {
    return runtimeFolder() + QLatin1Char('/') + windowTitle;
}

HandOffListener::HandOffListener(QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this)) {
    connect(m_server, &QLocalServer::newConnection, this, &HandOffListener::acceptConnections);
}

bool HandOffListener::listen(const QString &windowTitle) {
    const QString path = handOffSocketPath(windowTitle);
    // Only the holder of the instance marker listens, so a socket file already there is a
    // leftover of a run that was killed.
    QLocalServer::removeServer(path);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    return m_server->listen(path);
}

void HandOffListener::acceptConnections() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        const auto drop = [socket] {
            socket->abort();
            socket->deleteLater();
        };
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(RequestTimeLimitMs, socket, drop);
        socket->setReadBufferSize(RequestLimit);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, drop] {
            if (socket->canReadLine()) {
                // One request per connection: the later start has nothing more to say.
                const bool raise = socket->readLine(RequestLimit) == RaiseRequest;
                drop();
                if (raise)
                    emit raiseRequested();
            } else if (socket->bytesAvailable() >= RequestLimit) {
                drop();
            }
        });
    }
}

bool requestRaise(const QString &windowTitle, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(handOffSocketPath(windowTitle));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(RaiseRequest);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return sent;
}

} // namespace marlix
