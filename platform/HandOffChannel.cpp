#include "platform/HandOffChannel.h"

#include "platform/InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace marlix {

namespace {
const QByteArray RaiseRequest = QByteArrayLiteral("raise-and-paint\n");
}

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
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == RaiseRequest)
                    emit raiseRequested();
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
