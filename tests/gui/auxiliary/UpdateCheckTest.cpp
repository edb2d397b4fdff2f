#include "core/common/Version.h"
#include "tests/gui/support/HttpTestServer.h"

#include "app/UpdateCheck.h"
#include "auxiliary/frmNews.h"
#include "core/platform/ReplyRules.h"
#include "platform/HttpGet.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using marlix::HttpGet;
using marlix::Prompts;
using marlix::UpdateCheck;

namespace {
const QString ownVersion = marlix::versionText();
const QString noServer = QStringLiteral("Unable to communicate with Update Server");
} // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        Prompts::setTestMode(true);
        Prompts::reset();
        HttpGet::setTimeoutMs(HttpGet::DefaultTimeoutMs);
        server = std::make_unique<HttpTestServer>();
        marlix::setUpdateServerUrl(server->url());
        news = std::make_unique<TfrmNews>();
        server->answer("/marlixnews.html", 200, "<p>News of the day</p>");
    }
    void cleanup() {
        news.reset();
        server.reset();
    }

    void productionDefaults() {
        QCOMPARE(HttpGet::DefaultTimeoutMs, 15000);
        QCOMPARE(HttpGet::timeoutMs(), 15000);
        marlix::setUpdateServerUrl(QStringLiteral(MARLIX_UPDATE_URL));
        QCOMPARE(marlix::updateServerPage(QStringLiteral("/version.html")).toString(),
                 QStringLiteral(MARLIX_UPDATE_URL "/version.html"));
    }

    void sendsTheExpectedRequest() {
        server->answer("/version.html", 200, marlix::versionText().toLatin1());
        UpdateCheck::run(nullptr, ownVersion, news.get());
        QCOMPARE(server->requests.size(), 1);
        const auto &r = server->requests.first();
        QCOMPARE(r.path, QByteArray("/version.html"));
        QCOMPARE(r.headers.value("accept"), QByteArray("text/html, */*"));
        QCOMPARE(r.headers.value("user-agent"),
                 QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
    }

    void comparesTheWholeReply_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("newsShown");
        QTest::newRow("same") << marlix::versionText().toLatin1() << false;
        QTest::newRow("with line end")
            << QByteArray(marlix::versionText().toLatin1() + "\r\n") << true;
        QTest::newRow("with LF") << QByteArray(marlix::versionText().toLatin1() + "\n") << true;
        QTest::newRow("older") << QByteArray("3.0.2.0") << true;
        QTest::newRow("leading blank")
            << QByteArray(" " + marlix::versionText().toLatin1()) << true;
        QTest::newRow("empty") << QByteArray() << true;
    }
    void comparesTheWholeReply() {
        QFETCH(QByteArray, body);
        QFETCH(bool, newsShown);
        server->answer("/version.html", 200, body);
        QCOMPARE(UpdateCheck::run(nullptr, ownVersion, news.get()), newsShown);
        QCOMPARE(news->isVisible(), newsShown);
        QVERIFY(Prompts::shown().isEmpty());
        if (newsShown)
            QTRY_VERIFY(
                news->WebBrowser->toPlainText().contains(QStringLiteral("News of the day")));
    }

    void twoDifferingChecksShowTheSameWindowOnce() {
        server->answer("/version.html", 200, "3.0.4.0");
        const int windowsBefore = QApplication::topLevelWidgets().size();
        QVERIFY(UpdateCheck::run(nullptr, ownVersion, news.get()));
        QVERIFY(UpdateCheck::run(nullptr, ownVersion, news.get()));
        QVERIFY(news->isVisible());
        QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
        // Still visible at the second check: no second fetch of the page.
        QTRY_COMPARE(server->count("/marlixnews.html"), 1);
    }

    void httpErrorGoesToTheErrorDisplay() {
        server->answer("/version.html", 404, "gone");
        QVERIFY(!UpdateCheck::run(nullptr, ownVersion, news.get()));
        QCOMPARE(Prompts::shown().size(), 1);
        QCOMPARE(Prompts::shown().first().icon, QMessageBox::Critical);
        QCOMPARE(Prompts::shown().first().caption, QStringLiteral("Marlix"));
        QCOMPARE(Prompts::shown().first().text, QStringLiteral("HTTP/1.1 404 Not Found"));
        QVERIFY(!news->isVisible());
    }

    void httpErrorShowedAStatusLineOfOurOwn() {
        HttpTestServer::Answer old;
        old.status = 404;
        old.statusLine = "HTTP/1.0 404 File not found";
        server->answer("/version.html", old);
        QVERIFY(!UpdateCheck::run(nullptr, ownVersion, news.get()));
        QCOMPARE(Prompts::shownTexts(), QStringList{QStringLiteral("HTTP/1.0 404 File not found")});
    }

    // A status line such as "404 <b>bold</b><img src=...>" was shown as markup, pictures and
    // all, in the error box.
    void statusLineIsShownAsPlainText() {
        HttpTestServer::Answer markup;
        markup.status = 404;
        markup.statusLine = "HTTP/1.0 404 <b>bold</b><img src=\"/etc/hostname\">";
        server->answer("/version.html", markup);
        Prompts::setTestMode(false);
        QString shownText;
        Qt::TextFormat format = Qt::RichText;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            format = box->textFormat();
            shownText = box->text();
            box->done(QMessageBox::Ok);
        });
        closer.start(10);
        UpdateCheck::run(nullptr, ownVersion, news.get());
        Prompts::setTestMode(true);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shownText, QStringLiteral("HTTP/1.0 404 <b>bold</b><img src=\"/etc/hostname\">"));
    }

    void closedPortIsAConnectionFailure() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        marlix::setUpdateServerUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
        QVERIFY(!UpdateCheck::run(nullptr, ownVersion, news.get()));
        QCOMPARE(Prompts::shownTexts(), QStringList{noServer});
        QCOMPARE(Prompts::shown().first().icon, QMessageBox::NoIcon);
        QVERIFY(!news->isVisible());
    }

    void silentServerTimesOutWhileTheWindowStaysAlive() {
        HttpTestServer::Answer hang;
        hang.hang = true;
        server->answer("/version.html", hang);
        HttpGet::setTimeoutMs(400);
        int ticks = 0;
        QTimer pulse;
        connect(&pulse, &QTimer::timeout, [&] { ++ticks; });
        pulse.start(20);
        QVERIFY(!UpdateCheck::run(nullptr, ownVersion, news.get()));
        QVERIFY2(ticks >= 5, "the event loop ran while the request waited");
        QCOMPARE(server->count("/version.html"), 1);
        QCOMPARE(Prompts::shownTexts(), QStringList{noServer});
    }

    void checkAskedForDuringACheckIsDropped() {
        HttpTestServer::Answer hang;
        hang.hang = true;
        server->answer("/version.html", hang);
        HttpGet::setTimeoutMs(300);
        bool inner = true;
        QTimer::singleShot(50, [&] { inner = UpdateCheck::run(nullptr, ownVersion, news.get()); });
        UpdateCheck::run(nullptr, ownVersion, news.get());
        QVERIFY(!inner);
        QCOMPARE(server->count("/version.html"), 1);
        QCOMPARE(Prompts::shownTexts(), QStringList{noServer});
    }

    void redirectsAreFollowedUpToFive() {
        for (int i = 1; i <= 5; ++i) {
            HttpTestServer::Answer hop;
            hop.status = 302;
            hop.location = i == 5 ? QByteArray("/real.html") : "/hop" + QByteArray::number(i + 1);
            server->answer(i == 1 ? QByteArray("/version.html") : "/hop" + QByteArray::number(i),
                           hop);
        }
        server->answer("/real.html", 200, "3.0.2.0");
        QVERIFY(UpdateCheck::run(nullptr, ownVersion, news.get()));
        QVERIFY(Prompts::shown().isEmpty());

        // One more hop is one too many: the server cannot be talked to.
        news->hide();
        HttpTestServer::Answer last;
        last.status = 302;
        last.location = "/hop6";
        server->answer("/real.html", last);
        server->answer("/hop6", 200, "3.0.2.0");
        QVERIFY(!UpdateCheck::run(nullptr, ownVersion, news.get()));
        QCOMPARE(Prompts::shownTexts(), QStringList{noServer});
        QVERIFY(!news->isVisible());
    }

    void redirectLoopIsAConnectionFailureNotA302Error() {
        HttpTestServer::Answer loop;
        loop.status = 302;
        loop.location = "/version.html";
        server->answer("/version.html", loop);
        QVERIFY(!UpdateCheck::run(nullptr, ownVersion, news.get()));
        QCOMPARE(Prompts::shownTexts(), QStringList{noServer});
        QCOMPARE(Prompts::shown().first().icon, QMessageBox::NoIcon);
    }

    void hugeVersionReplyIsCutAtTheCapAndCountsAsDiffering() {
        // The version text itself followed by a megabyte: read no further than the cap.
        server->answer("/version.html", 200,
                       marlix::versionText().toLatin1() + QByteArray(1024 * 1024, ' '));
        const marlix::HttpResult result = HttpGet::get(
            marlix::updateServerPage(QStringLiteral("/version.html")), marlix::VersionReplyCap);
        QCOMPARE(result.kind, marlix::HttpResult::Ok);
        QVERIFY(result.capped);
        QCOMPARE(result.body.size(), marlix::VersionReplyCap);
        QVERIFY(UpdateCheck::run(nullptr, ownVersion, news.get()));
        QVERIFY(Prompts::shown().isEmpty());

        // A reply of exactly the cap is whole, not cut.
        server->answer("/version.html", 200, QByteArray(marlix::VersionReplyCap, 'v'));
        const marlix::HttpResult whole = HttpGet::get(
            marlix::updateServerPage(QStringLiteral("/version.html")), marlix::VersionReplyCap);
        QVERIFY(!whole.capped);
        QCOMPARE(whole.body.size(), marlix::VersionReplyCap);
    }

    void optionLineFourSwitchesTheAutomaticCheck() {
        TempFolder folder;
        QVERIFY(UpdateCheck::automaticCheckEnabled(folder.path())); // no file
        folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
        QVERIFY(!UpdateCheck::automaticCheckEnabled(folder.path()));
        folder.write(QStringLiteral("marlix.ini"), "0\n0\n0\n1\n0\n0\n");
        QVERIFY(UpdateCheck::automaticCheckEnabled(folder.path()));
        folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n1 \r\n");
        QVERIFY(!UpdateCheck::automaticCheckEnabled(folder.path()));
        folder.write(QStringLiteral("marlix.ini"), "0\r\n0\r\n0\r\n"); // no line 4: stays on
        QVERIFY(UpdateCheck::automaticCheckEnabled(folder.path()));
        folder.write(QStringLiteral("marlix.ini"), "");
        QVERIFY(UpdateCheck::automaticCheckEnabled(folder.path()));
    }

    void automaticCheckAsksTheServerOnlyWhileOn() {
        TempFolder folder;
        server->answer("/version.html", 200, "3.0.2.0");
        folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
        QVERIFY(!UpdateCheck::runAutomatic(nullptr, ownVersion, news.get(), folder.path()));
        QCOMPARE(server->requests.size(), 0);
        QVERIFY(!news->isVisible());
        // The manual command ignores the option.
        QVERIFY(UpdateCheck::run(nullptr, ownVersion, news.get()));
        QCOMPARE(server->count("/version.html"), 1);

        news->hide();
        folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
        QVERIFY(UpdateCheck::runAutomatic(nullptr, ownVersion, news.get(), folder.path()));
        QCOMPARE(server->count("/version.html"), 2);
        QVERIFY(news->isVisible());
    }

private:
    std::unique_ptr<HttpTestServer> server;
    std::unique_ptr<TfrmNews> news;
};

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"
