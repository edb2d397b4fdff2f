#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace marlix {

// How the update client judges what came back, apart from the network code that gathers it.

// A version text is a few bytes; the news page is a small HTML page. Reading stops past these,
// so that a huge or endless reply cannot fill the memory or freeze the window.
constexpr qint64 VersionReplyCap = 64 * 1024;
constexpr qint64 NewsReplyCap = 256 * 1024;

// Keeps at most cap bytes of a reply; returns false once more than cap have arrived, when the
// rest is not worth reading.
bool keepReplyBytes(QByteArray &body, const QByteArray &chunk, qint64 cap);

enum class ReplyKind { Ok, ConnectionFailed, HttpError };

struct ReplyFacts {
    bool completed = false;     // the whole reply arrived without a network error
    bool capped = false;        // reading was stopped at the size cap
    bool redirectLimit = false; // too many redirects, or a redirect loop
    bool timedOut = false;
    int status = 0; // HTTP status code, 0 when no status line arrived
};

// A redirect chain that never ends at a page is a server that cannot be talked to, like a lost
// line: it must not show up as the last redirect's "302 Found".
ReplyKind replyKind(const ReplyFacts &facts);

} // namespace marlix
