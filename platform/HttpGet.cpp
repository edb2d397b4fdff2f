#include "platform/HttpGet.h"

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

HttpResult resultOf(QNetworkReply *reply, bool timedOut) {
    HttpResult result;
    if (timedOut)
        return result;
    const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.status = code.isValid() ? code.toInt() : 0;
    if (reply->error() == QNetworkReply::NoError) {
        result.kind = HttpResult::Ok;
        result.body = reply->readAll();
        return result;
    }
    if (result.status >= 300) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        result.kind = HttpResult::HttpError;
        result.statusLine = QStringLiteral("HTTP/1.1 %1 %2").arg(result.status).arg(reason);
        return result;
    }
    if (reply->error() == QNetworkReply::TooManyRedirectsError ||
        reply->error() == QNetworkReply::InsecureRedirectError) {
        // The server did answer, just not with a page: an error of its own, not a lost line.
        result.kind = HttpResult::HttpError;
        result.statusLine = reply->errorString();
        return result;
    }
    return result; // connection level: refused, closed, not found, broken
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

void HttpGet::start(const QUrl &url, QObject *context,
                    std::function<void(const HttpResult &)> done) {
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = manager().get(request);

    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    auto timedOut = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, reply, [reply, timedOut] {
        *timedOut = true;
        reply->abort();
    });
    timer->start(timeoutMs());

    QPointer<QObject> guard(context);
    const bool hasContext = context != nullptr;
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [reply, timedOut, guard, hasContext, done = std::move(done)] {
                         const HttpResult result = resultOf(reply, *timedOut);
                         reply->deleteLater();
                         if (hasContext && !guard)
                             return;
                         done(result);
                     });
}

HttpResult HttpGet::get(const QUrl &url) {
    HttpResult result;
    QEventLoop loop;
    start(url, &loop, [&](const HttpResult &r) {
        result = r;
        loop.quit();
    });
    loop.exec();
    return result;
}

} // namespace marlix
