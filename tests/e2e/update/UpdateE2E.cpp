#include "core/common/Version.h"
#include "tests/e2e/support/Installation.h"
#include "tests/gui/support/HttpTestServer.h"

#include <QTest>

namespace {

// The real program in its own folder, asking our own server on 127.0.0.1 for its version.
struct UpdateInstallation : Installation {
    HttpTestServer server;

    UpdateInstallation() {
        environment.insert(QStringLiteral("MARLIX_UPDATE_URL"), server.url());
        server.answer("/marlixnews.html", 200, "<html><body><p>News</p></body></html>");
    }
    int versionRequests() const { return server.count("/version.html"); }
    int newsRequests() const { return server.count("/marlixnews.html"); }
    bool windowUp() const { return runtime.exists(marlix::mainWindowTitle()); }
};

// Long enough for a request that was going to follow to have arrived on 127.0.0.1.
constexpr int QuietMs = 1500;

} // namespace

class UpdateE2E : public QObject {
    Q_OBJECT

private slots:
    void checkAtStartOpensTheNewsOnlyWhenTheVersionDiffers_data();
    void checkAtStartOpensTheNewsOnlyWhenTheVersionDiffers();
    void checkAtStartIsLeftOutWhileTheOptionIsOff();
    void windowStaysResponsiveWhileTheServerKeepsItWaiting();
};

void UpdateE2E::checkAtStartOpensTheNewsOnlyWhenTheVersionDiffers_data() {
    QTest::addColumn<QByteArray>("served");
    QTest::addColumn<bool>("news");
    QTest::newRow("same version") << marlix::versionText().toLatin1() << false;
    QTest::newRow("same version and a line end")
        << QByteArray(marlix::versionText().toLatin1() + "\r\n") << true;
    QTest::newRow("older version") << QByteArray("3.0.2.0") << true;
}

void UpdateE2E::checkAtStartOpensTheNewsOnlyWhenTheVersionDiffers() {
    QFETCH(QByteArray, served);
    QFETCH(bool, news);
    UpdateInstallation app;
    app.server.answer("/version.html", 200, served);
    app.start({});

    QTRY_COMPARE_WITH_TIMEOUT(app.versionRequests(), 1, 10000);
    const HttpTestServer::Request &request = app.server.requests.first();
    QCOMPARE(request.headers.value("accept"), QByteArray("text/html, */*"));
    QCOMPARE(request.headers.value("user-agent"),
             QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
    if (news)
        QTRY_COMPARE_WITH_TIMEOUT(app.newsRequests(), 1, 10000);
    QTest::qWait(QuietMs);
    QCOMPARE(app.newsRequests(), news ? 1 : 0);
    QCOMPARE(app.versionRequests(), 1); // one check per run
}

void UpdateE2E::checkAtStartIsLeftOutWhileTheOptionIsOff() {
    UpdateInstallation app;
    app.server.answer("/version.html", 200, "3.0.2.0");
    app.program.write("marlix.ini", "1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
    app.start({});
    QTRY_VERIFY_WITH_TIMEOUT(app.windowUp(), 10000);
    QTest::qWait(1000 + QuietMs); // the check would have run a second after start
    QCOMPARE(app.server.requests.size(), 0);
}

void UpdateE2E::windowStaysResponsiveWhileTheServerKeepsItWaiting() {
    UpdateInstallation app;
    HttpTestServer::Answer silent;
    silent.hang = true;
    app.server.answer("/version.html", silent);
    app.start({});
    QTRY_COMPARE_WITH_TIMEOUT(app.versionRequests(), 1, 10000);

    // While the check waits for its answer, a later start's file still opens in the window.
    app.program.write("waiting.con", "rem waiting\r\n");
    const QString script = app.program.file("waiting.con");
    QProcess *later = app.start({script});
    QVERIFY(later->waitForFinished(10000));
    QCOMPARE(later->exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(app.program.read("recent.ini"), script.toLocal8Bit() + "\r\n", 10000);
    QCOMPARE(app.newsRequests(), 0);
}

QTEST_GUILESS_MAIN(UpdateE2E)
#include "UpdateE2E.moc"
