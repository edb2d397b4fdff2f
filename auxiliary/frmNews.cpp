#include "auxiliary/frmNews.h"

#include "auxiliary/NewsPage.h"
#include "core/platform/ReplyRules.h"
#include "platform/FixedDialog.h"
#include "platform/HttpGet.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QPointer>
#include <QShowEvent>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

TfrmNews *frmNews = nullptr;

namespace {

// A browser that loads nothing the page names: no picture or style sheet from the disk.
class NewsBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

// How long the window lays the page out at a time before it answers the user again.
constexpr int layoutSliceMs = 20;

} // namespace

TfrmNews::TfrmNews(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmNews"));
    setWindowTitle(QStringLiteral("Marlix News"));
    setFixedSize(432, 233);
    WebBrowser = new NewsBrowser(this);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
    WebBrowser->setOpenLinks(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WebBrowser);
    connect(WebBrowser, &QTextBrowser::anchorClicked, this, &TfrmNews::linkClicked);
    m_feed = new QTimer(this);
    m_feed->setSingleShot(true);
    m_feed->setInterval(0);
    connect(m_feed, &QTimer::timeout, this, &TfrmNews::putParagraphs);
}

bool TfrmNews::isLoading() const {
    return m_parsing || m_next < m_paragraphs.size();
}

void TfrmNews::showPage(const QString &html, int request, bool capped) {
    // Taking the page apart costs as much as laying it out whole: it happens on a thread of
    // its own, and only the newest request's page is shown.
    m_parsing = true;
    QPointer<TfrmNews> self(this);
    QThread *thread = QThread::create([self, html, request, capped] {
        QList<marlix::NewsParagraph> paragraphs = marlix::newsParagraphs(html);
        if (capped) {
            // After the page, not in its HTML: the cut may fall inside a tag.
            QTextCharFormat note;
            note.setFontItalic(true);
            paragraphs.append(
                {QTextBlockFormat(),
                 {{QStringLiteral("The news page is longer than %1 KB; the rest is not shown.")
                       .arg(marlix::NewsReplyCap / 1024),
                   note}}});
        }
        QMetaObject::invokeMethod(
            qApp,
            [self, request, paragraphs = std::move(paragraphs)] {
                if (!self || request != self->m_request)
                    return;
                self->m_parsing = false;
                self->m_paragraphs = paragraphs;
                self->m_next = 0;
                self->WebBrowser->clear();
                self->putParagraphs();
            },
            Qt::QueuedConnection);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void TfrmNews::putParagraphs() {
    QElapsedTimer clock;
    clock.start();
    QTextCursor cursor(WebBrowser->document());
    cursor.movePosition(QTextCursor::End);
    while (m_next < m_paragraphs.size() && clock.elapsed() < layoutSliceMs) {
        marlix::insertNewsParagraph(cursor, m_paragraphs[m_next], m_next == 0);
        ++m_next;
    }
    if (m_next < m_paragraphs.size()) {
        m_feed->start();
    } else {
        m_paragraphs.clear();
        m_next = 0;
    }
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
    m_feed->stop();
    m_paragraphs.clear();
    m_next = 0;
    m_parsing = false;
    WebBrowser->setHtml(QString());
    marlix::HttpGet::start(
        url, this,
        [this, request, url](const marlix::HttpResult &result) {
            if (request != m_request)
                return;
            if (result.kind == marlix::HttpResult::Ok) {
                showPage(QString::fromUtf8(result.body), request, result.capped);
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
