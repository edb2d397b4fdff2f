#include "platform/HttpGet.h"

#include "platform/ReplyRules.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

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

QNetworkAccessManager &manager() {
    static QNetworkAccessManager *instance = [] {
        auto *m = new QNetworkAccessManager;
        m->setProxy(QNetworkProxy::NoProxy);
        return m;
    }();
    return *instance;
}

// What a finished reply gathered while it ran.
struct Progress {
    QByteArray body;
    bool capped = false;
    bool timedOut = false;
};

HttpResult resultOf(QNetworkReply *reply, const Progress &progress) {
    HttpResult result;
    const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    ReplyFacts facts;
    facts.status = code.isValid() ? code.toInt() : 0;
    facts.timedOut = progress.timedOut;
    facts.capped = progress.capped;
    facts.completed = reply->error() == QNetworkReply::NoError;
    facts.redirectLimit = reply->error() == QNetworkReply::TooManyRedirectsError ||
                          reply->error() == QNetworkReply::InsecureRedirectError;
    result.status = progress.timedOut ? 0 : facts.status;
    switch (replyKind(facts)) {
    case ReplyKind::Ok:
        result.kind = HttpResult::Ok;
        result.body = progress.body;
        result.capped = progress.capped;
        break;
    case ReplyKind::HttpError:
        result.kind = HttpResult::HttpError;
        result.statusLine =
            QStringLiteral("HTTP/1.1 %1 %2")
                .arg(result.status)
                .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        break;
    case ReplyKind::ConnectionFailed:
        break; // refused, closed, not found, broken, silent, or redirected without end
    }
    return result;
}

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
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = manager().get(request);
    // The body is taken chunk by chunk as it arrives, so no more than the cap is ever held.
    reply->setReadBufferSize(64 * 1024);
    auto progress = std::make_shared<Progress>();

    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [reply, progress] {
        progress->timedOut = true;
        reply->abort();
    });
    timer->start(timeoutMs());

    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, progress, maxBytes] {
        if (progress->capped)
            return;
        // Redirect bodies are not the page: only the final reply's bytes are kept.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400)
            return;
        if (!keepReplyBytes(progress->body, reply->readAll(), maxBytes)) {
            progress->capped = true;
            reply->abort();
        }
    });

    QPointer<QObject> guard(context);
    const bool hasContext = context != nullptr;
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [reply, progress, maxBytes, guard, hasContext, done = std::move(done)] {
                         if (!progress->capped && !progress->timedOut &&
                             !keepReplyBytes(progress->body, reply->readAll(), maxBytes))
                             progress->capped = true;
                         const HttpResult result = resultOf(reply, *progress);
                         reply->deleteLater();
                         if (hasContext && !guard)
                             return;
                         done(result);
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
