#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

// A small HTTP/1.1 server on 127.0.0.1 with a random port. Each path answers as set up;
// "hang" accepts the connection and never answers. Every request is recorded.
class HttpTestServer : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QByteArray location; // for redirects
        bool hang = false;
        QByteArray statusLine; // the whole first line instead of "HTTP/1.1 <status> <reason>"
    };
    struct Request {
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // lower-case names
    };

    HttpTestServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    void answer(const QByteArray &path, const Answer &a) { m_answers[path] = a; }
    void answer(const QByteArray &path, int status, const QByteArray &body) {
        Answer a;
        a.status = status;
        a.body = body;
        m_answers[path] = a;
    }
    int count(const QByteArray &path) const {
        int n = 0;
        for (const Request &r : requests)
            n += r.path == path;
        return n;
    }
    QList<Request> requests;

private:
    void serve(QTcpSocket *socket) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            const int end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QList<QByteArray> lines = buffer->left(end).split('\n');
            buffer->remove(0, end + 4);
            Request request;
            request.path = lines.value(0).split(' ').value(1);
            for (int i = 1; i < lines.size(); ++i) {
                const QByteArray line = lines[i].trimmed();
                const int colon = line.indexOf(':');
                if (colon > 0)
                    request.headers[line.left(colon).toLower()] = line.mid(colon + 1).trimmed();
            }
            requests.append(request);
            const Answer a = m_answers.value(request.path, Answer{404, "not here", {}, false, {}});
            if (a.hang)
                return;
            QByteArray reply =
                (a.statusLine.isEmpty()
                     ? "HTTP/1.1 " + QByteArray::number(a.status) + " " + reason(a.status)
                     : a.statusLine) +
                "\r\nContent-Type: text/html\r\n";
            if (!a.location.isEmpty())
                reply += "Location: " + a.location + "\r\n";
            reply += "Content-Length: " + QByteArray::number(a.body.size()) +
                     "\r\nConnection: close\r\n\r\n" + a.body;
            socket->write(reply);
            socket->disconnectFromHost();
        });
    }
    static QByteArray reason(int status) {
        switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
        }
    }
    QTcpServer m_server;
    QHash<QByteArray, Answer> m_answers;
};
