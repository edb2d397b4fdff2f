#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The framing of the language server's messages: a header of "Name: value" lines ended by an
// empty line, with Content-Length giving the size of the JSON body that follows.
namespace marlix {

// A message that could not be taken: the reason, for an error reply.
struct FramingError {
    QString reason;
};

struct FramedMessage {
    QByteArray body; // empty when `error` is set
    FramingError error;
    bool failed = false;
};

// Takes bytes as they arrive and hands out whole messages. A header without a valid
// Content-Length is skipped up to its empty line; a body larger than the limit is read past
// without being kept, so one bad message never costs the memory of its size nor the messages
// after it.
class MessageReader {
public:
    static constexpr qint64 DefaultLimit = qint64(64) * 1024 * 1024;
    static constexpr qsizetype LongestHeader = 64 * 1024;

    explicit MessageReader(qint64 limit = DefaultLimit) : m_limit(limit) {}

    // The messages (and failures) completed by these bytes, in order.
    QList<FramedMessage> feed(const QByteArray &bytes);

private:
    bool takeHeader(QList<FramedMessage> &out);

    qint64 m_limit;
    QByteArray m_buffer;
    qint64 m_bodyLength = -1; // -1: reading a header
    qint64 m_skipping = 0;    // bytes of an oversized body still to drop
};

// A body framed with its Content-Length header.
QByteArray frameMessage(const QByteArray &body);

} // namespace marlix
