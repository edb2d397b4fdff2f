#include "platform/HandOffChannel.h"

#include "core/platform/InstanceLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace marlix {

namespace {
const QByteArray RequestHeader = QByteArrayLiteral("marlix-hand-off\n");
const QByteArray TakenAnswer = QByteArrayLiteral("taken\n");
// A request names at most a few dozen files of at most a few kilobytes each; anything longer
// is no later start of ours and must not cost the running window memory.
constexpr qsizetype RequestLimit = 4 * 1024 * 1024;
// A later start sends its request at once; a connection that says nothing for this long is
// dropped, so idle clients cannot hold the window's descriptors.
constexpr int RequestTimeLimitMs = 2000;
// More connections than this at one moment are refused at once: later starts take turns, so
// only clients that are no start of ours ever come close.
constexpr int ConnectionLimit = 256;
constexpr int AcceptPauseMs = 100;

int reserveDescriptor() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}
} // namespace

struct HandOffListener::Connection {
    int fd = -1;
    QByteArray received;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> deadline;
};

QString handOffSocketPath(const QString &windowTitle) {
    return runtimeFolder() + QLatin1Char('/') + windowTitle;
}

QByteArray handOffRequest(const QStringList &files) {
    QByteArray request = RequestHeader;
    for (const QString &file : files)
        request += QFile::encodeName(file).toPercentEncoding() + '\n';
    return request + '\n';
}

HandOffListener::HandOffListener(QObject *parent) : QObject(parent) {}

HandOffListener::~HandOffListener() {
    while (!m_connections.empty())
        drop(m_connections.front().get());
    delete m_notifier;
    if (m_listener >= 0) {
        ::close(m_listener);
        // The window goes with this listener; a later start must not find a socket of it.
        struct stat info;
        if (::lstat(m_path.constData(), &info) == 0 && quint64(info.st_dev) == m_device &&
            quint64(info.st_ino) == m_inode)
            ::unlink(m_path.constData());
    }
    if (m_spare >= 0)
        ::close(m_spare);
}

bool HandOffListener::listen(const QString &windowTitle) {
    if (m_listener >= 0)
        return true;
    m_path = QFile::encodeName(handOffSocketPath(windowTitle));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_path.size() >= qsizetype(sizeof(address.sun_path)))
        return false;
    std::memcpy(address.sun_path, m_path.constData(), size_t(m_path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // Only the holder of the instance marker listens, so a socket file already there is a
    // leftover of a run that was killed.
    ::unlink(m_path.constData());
    // The socket is the user's alone from the moment it exists.
    const mode_t oldMask = ::umask(0077);
    const int bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address));
    ::umask(oldMask);
    if (bound != 0 || ::listen(fd, 128) != 0) {
        ::close(fd);
        return false;
    }
    struct stat info;
    if (::lstat(m_path.constData(), &info) == 0) {
        m_device = quint64(info.st_dev);
        m_inode = quint64(info.st_ino);
    }
    m_listener = fd;
    m_spare = reserveDescriptor();
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &HandOffListener::acceptWaiting);
    return true;
}

void HandOffListener::takeWaitingRequests() {
    if (m_listener < 0)
        return;
    acceptWaiting();
    // A slot may have dropped connections; walk a copy of the ones open now.
    std::vector<Connection *> open;
    for (const auto &connection : m_connections)
        open.push_back(connection.get());
    for (Connection *connection : open) {
        const bool stillOpen =
            std::any_of(m_connections.begin(), m_connections.end(),
                        [connection](const auto &held) { return held.get() == connection; });
        if (stillOpen)
            readFrom(connection);
    }
}

void HandOffListener::acceptWaiting() {
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if ((errno == EMFILE || errno == ENFILE) && refuseOne())
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                pauseAccepting(); // out of descriptors or memory: try again shortly
            return;
        }
        if (int(m_connections.size()) >= ConnectionLimit) {
            ::close(fd);
            continue;
        }
        auto connection = std::make_unique<Connection>();
        Connection *held = connection.get();
        held->fd = fd;
        held->notifier = std::make_unique<QSocketNotifier>(qintptr(fd), QSocketNotifier::Read);
        connect(held->notifier.get(), &QSocketNotifier::activated, this,
                [this, held] { readFrom(held); });
        held->deadline = std::make_unique<QTimer>();
        held->deadline->setSingleShot(true);
        connect(held->deadline.get(), &QTimer::timeout, this, [this, held] { drop(held); });
        held->deadline->start(RequestTimeLimitMs);
        m_connections.push_back(std::move(connection));
    }
}

// The process has no descriptor left for the connection: the one held in reserve is given
// up for a moment to take the connection and close it, so that the client hears a refusal
// and the listening socket stops calling.
bool HandOffListener::refuseOne() {
    if (m_spare < 0)
        m_spare = reserveDescriptor();
    if (m_spare < 0)
        return false;
    ::close(m_spare);
    m_spare = -1;
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    m_spare = reserveDescriptor();
    return fd >= 0;
}

void HandOffListener::pauseAccepting() {
    if (!m_notifier || !m_notifier->isEnabled())
        return;
    m_notifier->setEnabled(false);
    QTimer::singleShot(AcceptPauseMs, this, [this] {
        if (!m_notifier)
            return;
        m_notifier->setEnabled(true);
        acceptWaiting();
    });
}

void HandOffListener::readFrom(Connection *connection) {
    char block[16384];
    for (;;) {
        const ssize_t got = ::read(connection->fd, block, sizeof block);
        if (got > 0) {
            connection->received.append(block, got);
            if (connection->received.size() > RequestLimit) {
                drop(connection);
                return;
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            // The client went away; a request it completed before is still heard below.
            break;
        }
        break;
    }
    const QByteArray &received = connection->received;
    const qsizetype header = qMin(received.size(), RequestHeader.size());
    if (received.left(header) != RequestHeader.left(header)) {
        drop(connection);
        return;
    }
    const qsizetype end = received.indexOf("\n\n", RequestHeader.size() - 1);
    if (end < 0) {
        // Incomplete: wait for the rest, unless the client has gone.
        char probe;
        if (::recv(connection->fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT) == 0)
            drop(connection);
        return;
    }
    QStringList files;
    const QByteArray body = received.mid(RequestHeader.size(), end + 1 - RequestHeader.size());
    for (const QByteArray &line : body.split('\n'))
        if (!line.isEmpty())
            files.append(QFile::decodeName(QByteArray::fromPercentEncoding(line)));
    const int fd = connection->fd;
    // One request per connection: the later start has nothing more to say.
    connection->notifier->setEnabled(false);
    emit filesHandedOver(files);
    ::send(fd, TakenAnswer.constData(), size_t(TakenAnswer.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    drop(connection);
}

void HandOffListener::drop(Connection *connection) {
    const auto it =
        std::find_if(m_connections.begin(), m_connections.end(),
                     [connection](const auto &held) { return held.get() == connection; });
    if (it == m_connections.end())
        return;
    connection->notifier->setEnabled(false);
    ::close(connection->fd);
    // The notifier and the timer may be the very objects whose signal runs this.
    Connection *gone = it->release();
    m_connections.erase(it);
    gone->notifier.release()->deleteLater();
    gone->deadline->stop();
    gone->deadline.release()->deleteLater();
    delete gone;
}

HandOffAnswer handFilesOver(const QString &windowTitle, const QStringList &files, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(handOffSocketPath(windowTitle));
    if (!socket.waitForConnected(timeoutMs))
        return HandOffAnswer::NoWindow;
    const QDeadlineTimer deadline(timeoutMs);
    socket.write(handOffRequest(files));
    while (socket.bytesToWrite() > 0 && !deadline.hasExpired())
        if (!socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
    QByteArray answer;
    while (!answer.contains('\n') && !deadline.hasExpired() &&
           socket.state() == QLocalSocket::ConnectedState) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        answer += socket.readAll();
    }
    answer += socket.readAll();
    socket.abort();
    return answer.startsWith(TakenAnswer) ? HandOffAnswer::Taken : HandOffAnswer::NoAnswer;
}

} // namespace marlix
