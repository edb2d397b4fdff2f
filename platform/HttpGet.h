#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

class QObject;

namespace marlix {

// The outcome of one GET. A connection failure (name not resolved, refused, broken, no answer
// within the time limit, more than MaxRedirects redirects) is told apart from a reply that
// carries an HTTP error status.
struct HttpResult {
    enum Kind { Ok, ConnectionFailed, HttpError };
    Kind kind = ConnectionFailed;
    QByteArray body;
    int status = 0;      // HTTP status code, 0 when no reply arrived
    QString statusLine;  // the server's own, "HTTP/1.0 404 File not found", for an error status
    bool capped = false; // the body is the first maxBytes of a longer reply
};

// The base address of the update server: the build setting, or MARLIX_UPDATE_URL from the
// environment when that is set, unless a test has set its own.
QString updateServerUrl();
void setUpdateServerUrl(const QString &url);
QUrl updateServerPage(const QString &path); // base address + "/version.html" etc.

class HttpGet {
public:
    // A request that gets no complete answer within this time counts as a connection failure.
    static constexpr int DefaultTimeoutMs = 15000;
    static int timeoutMs();
    static void setTimeoutMs(int ms); // tests shorten it
    static constexpr int MaxRedirects = 5;

    // Starts the request and returns at once; done runs on the GUI thread with the result,
    // unless context has been destroyed before.
    // Reading stops once more than maxBytes have arrived; the result is then Ok with the first
    // maxBytes and capped set.
    static void start(const QUrl &url, QObject *context,
                      std::function<void(const HttpResult &)> done, qint64 maxBytes);
    // Waits for the result in a local event loop, so the windows stay responsive meanwhile.
    static HttpResult get(const QUrl &url, qint64 maxBytes);
};

} // namespace marlix
