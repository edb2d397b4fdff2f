#include "platform/HttpGet.h"

#include "core/platform/HttpReplyReader.h"
#include "core/platform/ReplyRules.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace marlix {

namespace {

QString &serverUrl() {
    // The build setting names the server; MARLIX_UPDATE_URL in the environment takes its place
    // for a mirror, or for trying a release against a server of one's own.
    static QString url = [] {
        const QString fromEnvironment = qEnvironmentVariable("MARLIX_UPDATE_URL").trimmed();
        return fromEnvironment.isEmpty() ? QStringLiteral(MARLIX_UPDATE_URL) : fromEnvironment;
    }();
    return url;
}

int &timeoutSetting() {
    static int ms = HttpGet::DefaultTimeoutMs;
    return ms;
}

// One GET, following up to MaxRedirects redirects. The reply is read by our own reader, so
// that the server's own status line reaches the user and no more than the cap is ever held.
class Fetch : public QObject {
public:
    Fetch(const QUrl &url, qint64 cap, std::function<void(const HttpResult &)> done)
        : m_cap(cap), m_done(std::move(done)) {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { end(HttpResult{}); });
        m_timer.start(HttpGet::timeoutMs());
        request(url);
    }

private:
    void request(const QUrl &url) {
        m_url = url;
        m_reader = std::make_unique<HttpReplyReader>(m_cap);
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->setProxy(QNetworkProxy::NoProxy);
        // Read chunk by chunk as the reply arrives, never a huge reply at once.
        m_socket->setReadBufferSize(64 * 1024);
        QTcpSocket *socket = m_socket.get();
        connect(socket, &QTcpSocket::connected, this, [this, socket] {
            QByteArray path = m_url.path(QUrl::FullyEncoded).toLatin1();
            if (path.isEmpty())
                path = "/";
            if (m_url.hasQuery())
                path += '?' + m_url.query(QUrl::FullyEncoded).toLatin1();
            QByteArray host = m_url.host(QUrl::FullyEncoded).toLatin1();
            if (m_url.port() > 0 && m_url.port() != 80)
                host += ':' + QByteArray::number(m_url.port());
            socket->write("GET " + path + " HTTP/1.1\r\nHost: " + host +
                          "\r\nAccept: text/html, */*\r\n"
                          "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                          "Connection: close\r\n\r\n");
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (m_reader->feed(socket->readAll()) != HttpReplyReader::Reading)
                replyRead();
        });
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            m_reader->finish();
            replyRead();
        });
        connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
            // The server's close after the reply is the end of a body sized by the close.
            m_reader->finish();
            replyRead();
        });
        socket->connectToHost(m_url.host(), quint16(m_url.port(80)));
    }

    void replyRead() {
        if (!m_socket)
            return;
        ReplyFacts facts;
        facts.status = m_reader->status();
        facts.capped = m_reader->capped();
        facts.completed = m_reader->state() == HttpReplyReader::Done && facts.status < 300;
        if (m_reader->state() == HttpReplyReader::Broken) {
            end(HttpResult{});
            return;
        }
        const QUrl next = redirectTarget(m_url, facts.status, m_reader->location());
        if (!next.isEmpty()) {
            if (++m_redirects <= HttpGet::MaxRedirects) {
                dropSocket();
                request(next);
                return;
            }
            facts.redirectLimit = true;
        }
        HttpResult result;
        result.status = facts.status;
        switch (replyKind(facts)) {
        case ReplyKind::Ok:
            result.kind = HttpResult::Ok;
            result.body = m_reader->body();
            result.capped = m_reader->capped();
            break;
        case ReplyKind::HttpError:
            result.kind = HttpResult::HttpError;
            result.statusLine = m_reader->statusLine();
            break;
        case ReplyKind::ConnectionFailed:
            result.status = 0;
            break; // refused, closed, not found, broken, silent, or redirected without end
        }
        end(result);
    }

    void dropSocket() {
        QTcpSocket *socket = m_socket.release();
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }

    void end(const HttpResult &result) {
        if (!m_socket)
            return;
        m_timer.stop();
        dropSocket();
        m_done(result);
        deleteLater();
    }

    qint64 m_cap;
    std::function<void(const HttpResult &)> m_done;
    QTimer m_timer;
    QUrl m_url;
    std::unique_ptr<HttpReplyReader> m_reader;
    std::unique_ptr<QTcpSocket> m_socket;
    int m_redirects = 0;
};

} // namespace

QString updateServerUrl() {
    return serverUrl();
}

void setUpdateServerUrl(const QString &url) {
    serverUrl() = url;
}

QUrl updateServerPage(const QString &path) {
    QString base = serverUrl();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + path);
}

int HttpGet::timeoutMs() {
    return timeoutSetting();
}

void HttpGet::setTimeoutMs(int ms) {
    timeoutSetting() = ms;
}

void HttpGet::start(const QUrl &url, QObject *context, std::function<void(const HttpResult &)> done,
                    qint64 maxBytes) {
    QPointer<QObject> guard(context);
    const bool hasContext = context != nullptr;
    new Fetch(url, maxBytes, [guard, hasContext, done = std::move(done)](const HttpResult &r) {
        if (hasContext && !guard)
            return;
        done(r);
    });
}

HttpResult HttpGet::get(const QUrl &url, qint64 maxBytes) {
    HttpResult result;
    QEventLoop loop;
    start(
        url, &loop,
        [&](const HttpResult &r) {
            result = r;
            loop.quit();
        },
        maxBytes);
    loop.exec();
    return result;
}

} // namespace marlix
