#include "tests/gui/support/HttpTestServer.h"

#include "auxiliary/frmAbout.h"
#include "auxiliary/frmNews.h"
#include "platform/HttpGet.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <ctime>

namespace {
qint64 threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}
} // namespace

class NewsAboutTest : public QObject {
    Q_OBJECT
private slots:
    void newsWindowLooks() {
        TfrmNews news;
        QCOMPARE(news.windowTitle(), QStringLiteral("Marlix News"));
        QCOMPARE(news.size(), QSize(432, 233));
        QVERIFY(news.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(news.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(news.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void newsPageFetchedAtEveryShowingOnly() {
        HttpTestServer server;
        server.answer("/marlixnews.html", 200, "<b>First news</b>");
        marlix::setUpdateServerUrl(server.url());
        TfrmNews news;
        news.show();
        QTRY_COMPARE(news.WebBrowser->toPlainText(), QStringLiteral("First news"));
        news.show(); // already visible
        news.raise();
        QCoreApplication::processEvents();
        QCOMPARE(server.count("/marlixnews.html"), 1);

        server.answer("/marlixnews.html", 200, "<b>Second news</b>");
        news.close(); // the close box hides it
        QVERIFY(!news.isVisible());
        news.show();
        QTRY_COMPARE(news.WebBrowser->toPlainText(), QStringLiteral("Second news"));
        QCOMPARE(server.count("/marlixnews.html"), 2);
    }

    void newsWindowOpenedLowerAtEachShowing() {
        HttpTestServer server;
        marlix::setUpdateServerUrl(server.url());
        TfrmNews news;
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        for (int showing = 0; showing < 3; ++showing) {
            news.show();
            QVERIFY(qAbs(news.geometry().center().x() - middle.x()) <= 1);
            QVERIFY(qAbs(news.geometry().center().y() - middle.y()) <= 1);
            news.hide();
            news.move(news.pos() + QPoint(0, 30));
        }
    }

    // A 4 MB news page froze the window for minutes while the view laid it out whole: the
    // page is cut at 256 KB with a note, and laid out a little at a time.
    void hugeNewsPageIsCutAndNeverHoldsTheWindow() {
        QByteArray page = "<p>" + QByteArray(100 * 1024, 'q') + "</p><table>";
        while (page.size() < 4 * 1024 * 1024)
            page += "<tr><td>cell</td><td><b>bold</b> <a href=\"http://x/\">link</a></td></tr>";
        HttpTestServer server;
        server.answer("/marlixnews.html", 200, page);
        marlix::setUpdateServerUrl(server.url());
        TfrmNews news;
        // The processor time the window's thread spends between two turns of its event loop.
        qint64 longest = 0;
        qint64 last = threadCpuMs();
        QTimer beat;
        connect(&beat, &QTimer::timeout, this, [&] {
            const qint64 now = threadCpuMs();
            longest = qMax(longest, now - last);
            last = now;
        });
        beat.start(5);
        news.show();
        QTRY_VERIFY_WITH_TIMEOUT(
            news.WebBrowser->toPlainText().contains(QStringLiteral("longer than 256 KB")), 120000);
        QTRY_VERIFY_WITH_TIMEOUT(!news.isLoading(), 120000);
        beat.stop();
        QVERIFY2(longest < 100, qPrintable(QString::number(longest)));
        const QString shown = news.WebBrowser->toPlainText();
        QVERIFY(shown.count(QLatin1Char('q')) == 100 * 1024);
        QVERIFY(shown.size() < 300 * 1024);
        QVERIFY(shown.contains(QStringLiteral("link")));
    }

    void newsWindowShowsItsOwnErrorPage() {
        HttpTestServer server;
        server.answer("/marlixnews.html", 500, "<b>raw server text</b>");
        marlix::setUpdateServerUrl(server.url());
        TfrmNews news;
        news.show();
        QTRY_VERIFY(news.WebBrowser->toPlainText().contains(QStringLiteral("cannot be shown")));
        QVERIFY(news.WebBrowser->toPlainText().contains(QStringLiteral("500")));
        QVERIFY(!news.WebBrowser->toPlainText().contains(QStringLiteral("raw server text")));
    }

    void aboutBoxIsAFramelessRoundedPicture() {
        TfrmAbout about;
        QVERIFY(about.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(about.size(), QSize(377, 161));
        QCOMPARE(about.imgBG->pixmap().size(), QSize(485, 164));
        QVERIFY(!about.imgBG->isVisibleTo(&about));
        QCOMPARE(about.Label1->text(), QStringLiteral("Marlix 3.0.1.0"));
        QCOMPARE(about.Label1->geometry(), QRect(32, 8, 153, 16));
        QCOMPARE(about.Label4->geometry(), QRect(0, 136, 377, 13));
        QCOMPARE(about.btnClose->geometry(), QRect(344, 136, 17, 15));
        QCOMPARE(about.btnClose->text(), QStringLiteral("X"));

        const QRegion shape = about.mask();
        for (const QPoint corner : {QPoint(0, 0), QPoint(376, 0), QPoint(0, 160), QPoint(376, 160),
                                    QPoint(3, 3), QPoint(373, 157)})
            QVERIFY2(!shape.contains(corner), "corners are see-through");
        for (const QPoint inside :
             {QPoint(188, 80), QPoint(20, 0), QPoint(0, 80), QPoint(376, 80), QPoint(188, 160)})
            QVERIFY2(shape.contains(inside), "the rounded rectangle and its outline show");
    }

    void fuchsiaPixelsOfThePictureAreSeeThrough() {
        TfrmAbout about;
        QImage picture(485, 164, QImage::Format_RGB888);
        picture.fill(QColor(10, 20, 30));
        picture.setPixelColor(100, 50, TfrmAbout::keyColor());
        picture.setPixelColor(101, 50, QColor(0xFE, 0x00, 0xFF)); // near, but not the key
        about.imgBG->setPixmap(QPixmap::fromImage(picture));
        about.FormCreate();
        QVERIFY(!about.mask().contains(QPoint(100, 50)));
        QVERIFY(about.mask().contains(QPoint(101, 50)));
        QVERIFY(about.mask().contains(QPoint(99, 50)));
    }

    void xClosesTheModalBox() {
        TfrmAbout about;
        QTimer::singleShot(0, &about, [&] {
            QVERIFY(about.isVisible());
            QTest::mouseClick(about.btnClose, Qt::LeftButton);
        });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(NewsAboutTest)
#include "NewsAboutTest.moc"
