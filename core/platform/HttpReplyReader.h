#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace marlix {

// Reads one HTTP/1.x reply as its bytes arrive: the server's own status line, the headers the
// update client needs, and a body of at most cap bytes (sized by Content-Length, chunked, or
// ended by the close of the connection).
class HttpReplyReader {
public:
    enum State { Reading, Done, Broken };

    explicit HttpReplyReader(qint64 cap) : m_cap(cap) {}

    State feed(const QByteArray &bytes);
    // The server closed the connection: the end of a body sized by the close, or a broken reply.
    State finish();
    State state() const { return m_state; }

    int status() const { return m_status; }
    QString statusLine() const { return m_statusLine; } // "HTTP/1.0 404 File not found"
    QByteArray location() const { return m_location; }
    QByteArray body() const { return m_body; }
    bool capped() const { return m_capped; } // the body is the first cap bytes of a longer one

    // A header longer than this is no reply of a web server.
    static constexpr qsizetype MaxHeaderBytes = 64 * 1024;

private:
    State readHeader();
    State readBody();
    State readChunks();
    State keep(const QByteArray &bytes);

    qint64 m_cap;
    State m_state = Reading;
    QByteArray m_pending;
    bool m_headerDone = false;
    int m_status = 0;
    QString m_statusLine;
    QByteArray m_location;
    bool m_chunked = false;
    qint64 m_length = -1;    // Content-Length, -1 when the close ends the body
    qint64 m_chunkLeft = -1; // bytes left in the current chunk, -1 before its size line
    QByteArray m_body;
    bool m_capped = false;
};

// Where a reply sends the client next: the resolved Location of a redirect status, or an empty
// address when the reply is not a redirect to follow (only plain HTTP is followed).
QUrl redirectTarget(const QUrl &current, int status, const QByteArray &location);

} // namespace marlix
