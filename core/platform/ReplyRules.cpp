#include "core/platform/ReplyRules.h"

#include <QByteArray>

namespace marlix {

bool keepReplyBytes(QByteArray &body, const QByteArray &chunk, qint64 cap) {
    const qint64 room = cap - body.size();
    if (chunk.size() <= room) {
        body += chunk;
        return true;
    }
    if (room > 0)
        body += chunk.left(room);
    return false;
}

ReplyKind replyKind(const ReplyFacts &facts) {
    if (facts.timedOut || facts.redirectLimit)
        return ReplyKind::ConnectionFailed;
    if (facts.capped || facts.completed)
        return ReplyKind::Ok;
    if (facts.status >= 300)
        return ReplyKind::HttpError;
    return ReplyKind::ConnectionFailed;
}

} // namespace marlix
