#include "auxiliary/frmNews.h"

#include "platform/FixedDialog.h"
#include "platform/HttpGet.h"
#include "core/platform/ReplyRules.h"

#include <QDesktopServices>
#include <QShowEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

TfrmNews *frmNews = nullptr;

TfrmNews::TfrmNews(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmNews"));
    setWindowTitle(QStringLiteral("Marlix News"));
    setFixedSize(432, 233);
    WebBrowser = new QTextBrowser(this);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
    WebBrowser->setOpenLinks(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WebBrowser);
    connect(WebBrowser, &QTextBrowser::anchorClicked, this, &TfrmNews::linkClicked);
}

void TfrmNews::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // A spontaneous show is the window manager restoring the window, not a new showing.
    if (!event->spontaneous()) {
        marlix::centreOnScreen(this);
        FormShow();
    }
}

void TfrmNews::FormShow() {
    Navigate(marlix::updateServerPage(QStringLiteral("/marlixnews.html")));
}

void TfrmNews::Navigate(const QUrl &url) {
    m_page = url;
    const int request = ++m_request;
    WebBrowser->setHtml(QString());
    marlix::HttpGet::start(
        url, this,
        [this, request, url](const marlix::HttpResult &result) {
            if (request != m_request)
                return;
            if (result.kind == marlix::HttpResult::Ok) {
                WebBrowser->setHtml(QString::fromUtf8(result.body));
                return;
            }
            const QString reason = result.kind == marlix::HttpResult::HttpError
                                       ? result.statusLine.toHtmlEscaped()
                                       : QStringLiteral("The server could not be reached.");
            WebBrowser->setHtml(
                QStringLiteral("<h3>The news page cannot be shown</h3><p>%1</p><p>%2</p>")
                    .arg(url.toString().toHtmlEscaped(), reason));
        },
        marlix::NewsReplyCap);
}

void TfrmNews::linkClicked(const QUrl &link) {
    // The news page is only a pointer to the maker's site: links open in the desktop browser.
    // Only web addresses: a page from the network must not make the desktop open local files
    // or start other handlers.
    const QUrl target = m_page.resolved(link);
    if (target.scheme() == QLatin1String("http") || target.scheme() == QLatin1String("https"))
        QDesktopServices::openUrl(target);
}
