#include "core/platform/HttpReplyReader.h"

#include "core/platform/ReplyRules.h"

#include <QList>

namespace marlix {

HttpReplyReader::State HttpReplyReader::feed(const QByteArray &bytes) {
    if (m_state != Reading)
        return m_state;
    m_pending += bytes;
    if (!m_headerDone)
        m_state = readHeader();
    if (m_state == Reading && m_headerDone)
        m_state = readBody();
    return m_state;
}

HttpReplyReader::State HttpReplyReader::finish() {
    if (m_state != Reading)
        return m_state;
    // Only a body without a size of its own may end with the connection.
    m_state = m_headerDone && !m_chunked && m_length < 0 ? Done : Broken;
    return m_state;
}

HttpReplyReader::State HttpReplyReader::readHeader() {
    const qsizetype end = m_pending.indexOf("\r\n\r\n");
    if (end < 0)
        return m_pending.size() > MaxHeaderBytes ? Broken : Reading;
    const QList<QByteArray> lines = m_pending.left(end).split('\n');
    m_pending.remove(0, end + 4);
    const QByteArray first = lines.value(0).trimmed();
    const QList<QByteArray> parts = first.split(' ');
    bool number = false;
    m_status = parts.value(1).toInt(&number);
    if (!first.startsWith("HTTP/1.") || !number || m_status < 100 || m_status > 999)
        return Broken;
    if (m_status < 200) // an interim answer ("100 Continue"); the real one follows
        return m_pending.isEmpty() ? Reading : readHeader();
    m_statusLine = QString::fromLatin1(first);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            m_length = value.toLongLong(&number);
            if (!number || m_length < 0)
                return Broken;
        } else if (name == "transfer-encoding") {
            m_chunked = value.toLower().contains("chunked");
        } else if (name == "location") {
            m_location = value;
        }
    }
    m_headerDone = true;
    if (m_status == 204 || m_status == 304)
        m_length = 0;
    return Reading;
}

HttpReplyReader::State HttpReplyReader::keep(const QByteArray &bytes) {
    if (keepReplyBytes(m_body, bytes, m_cap))
        return Reading;
    m_capped = true;
    return Done;
}

HttpReplyReader::State HttpReplyReader::readBody() {
    if (m_chunked)
        return readChunks();
    if (m_length < 0) {
        const State state = keep(m_pending);
        m_pending.clear();
        return state;
    }
    const qint64 wanted = m_length - m_body.size();
    const QByteArray part = m_pending.left(wanted);
    m_pending.remove(0, part.size());
    if (keep(part) == Done)
        return Done;
    return m_body.size() == m_length ? Done : Reading;
}

HttpReplyReader::State HttpReplyReader::readChunks() {
    for (;;) {
        if (m_chunkLeft < 0) {
            const qsizetype end = m_pending.indexOf("\r\n");
            if (end < 0)
                return m_pending.size() > MaxHeaderBytes ? Broken : Reading;
            QByteArray size = m_pending.left(end);
            m_pending.remove(0, end + 2);
            if (const qsizetype semicolon = size.indexOf(';'); semicolon >= 0)
                size.truncate(semicolon);
            bool number = false;
            m_chunkLeft = size.trimmed().toLongLong(&number, 16);
            if (!number || m_chunkLeft < 0)
                return Broken;
            if (m_chunkLeft == 0)
                return Done; // the last chunk; trailers are of no interest
        }
        // The chunk's bytes and the line end after them.
        if (m_pending.size() < m_chunkLeft + 2) {
            if (m_pending.size() > m_chunkLeft) // all data, line end not yet
                return Reading;
            m_chunkLeft -= m_pending.size();
            const State state = keep(m_pending);
            m_pending.clear();
            return state;
        }
        const State state = keep(m_pending.left(m_chunkLeft));
        m_pending.remove(0, m_chunkLeft + 2);
        m_chunkLeft = -1;
        if (state == Done)
            return Done;
    }
}

QUrl redirectTarget(const QUrl &current, int status, const QByteArray &location) {
    if (location.isEmpty() ||
        !(status == 301 || status == 302 || status == 303 || status == 307 || status == 308))
        return {};
    const QUrl next = current.resolved(QUrl::fromEncoded(location));
    return next.scheme() == QLatin1String("http") && !next.host().isEmpty() ? next : QUrl();
}

} // namespace marlix
