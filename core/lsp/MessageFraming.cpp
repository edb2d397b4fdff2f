#include "core/lsp/MessageFraming.h"

namespace marlix {

QByteArray frameMessage(const QByteArray &body) {
    return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

bool MessageReader::takeHeader(QList<FramedMessage> &out) {
    qsizetype end = m_buffer.indexOf("\r\n\r\n");
    qsizetype endLength = 4;
    if (end < 0) {
        // Some writers end header lines with LF alone.
        end = m_buffer.indexOf("\n\n");
        endLength = 2;
    }
    if (end < 0) {
        if (m_buffer.size() > LongestHeader) {
            out.append(
                {{}, {QStringLiteral("header longer than %1 bytes").arg(LongestHeader)}, true});
            m_buffer.clear();
        }
        return false;
    }
    const QByteArray header = m_buffer.left(end);
    m_buffer.remove(0, end + endLength);
    qint64 length = -1;
    bool valid = true;
    for (QByteArray line : header.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            valid = false;
            continue;
        }
        if (line.left(colon).trimmed().toLower() == "content-length") {
            bool ok = false;
            length = line.mid(colon + 1).trimmed().toLongLong(&ok);
            if (!ok || length < 0)
                valid = false;
        }
    }
    if (length < 0) {
        out.append({{}, {QStringLiteral("malformed header: no valid Content-Length")}, true});
        return true;
    }
    if (!valid) {
        // The length is known, so the body is passed over and the next message still arrives.
        out.append({{}, {QStringLiteral("malformed header line")}, true});
        m_skipping = length;
        return true;
    }
    if (length > m_limit) {
        out.append({{},
                    {QStringLiteral("message of %1 bytes is larger than the limit of %2 bytes")
                         .arg(length)
                         .arg(m_limit)},
                    true});
        m_skipping = length;
        return true;
    }
    m_bodyLength = length;
    return true;
}

QList<FramedMessage> MessageReader::feed(const QByteArray &bytes) {
    QList<FramedMessage> out;
    qsizetype from = 0;
    if (m_skipping > 0) {
        const qint64 dropped = std::min<qint64>(m_skipping, bytes.size());
        m_skipping -= dropped;
        from = dropped;
    }
    m_buffer.append(bytes.constData() + from, bytes.size() - from);
    for (;;) {
        if (m_skipping > 0) {
            const qint64 dropped = std::min<qint64>(m_skipping, m_buffer.size());
            m_buffer.remove(0, dropped);
            m_skipping -= dropped;
            if (m_skipping > 0)
                break;
        }
        if (m_bodyLength < 0) {
            if (!takeHeader(out))
                break;
            continue;
        }
        if (m_buffer.size() < m_bodyLength)
            break;
        out.append({m_buffer.left(m_bodyLength), {}, false});
        m_buffer.remove(0, m_bodyLength);
        m_bodyLength = -1;
    }
    return out;
}

} // namespace marlix
