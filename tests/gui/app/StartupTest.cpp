#include "tests/gui/support/MainWindowFixture.h"

#include "core/startup/HandOff.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

using namespace marlix;
using fixture::MainWindow;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void paintTakesUpTheHandOff();
    void handOffAtTheLimit();
    void commandLineFileOpensOnActivation();
    void returningFromAnOwnWindowReopensTheCommandLineFile();
    void firstActivationRunsOnceForAnUnreadableFile();
    void everyCommandLineFileOpens();
    void tabInViewStaysInViewAfterADialog();
    void handedOverFilesOpenInOrderAndOnce();
};

void StartupTest::paintTakesUpTheHandOff() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString path = m.script("handed.con", "rem handed\r\n");
    m.folder.write("params.ini", path.toLocal8Bit() + "\r\n");
    w->FormPaint();
    QCOMPARE(m.pages(), 1);
    QCOMPARE(m.caption(0), path);
    QVERIFY(!m.folder.exists("params.ini"));
    // The same path again only brings its tab forward.
    w->NewDocumentTab();
    m.folder.write("params.ini", path.toLocal8Bit() + "\r\n");
    w->FormPaint();
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.activeSlot(), 0);

    // Names that are no file, an empty line and an empty file: nothing opens, no message,
    // and the file goes all the same.
    for (const QByteArray &content :
         {QByteArray("\r\n"), QByteArray(), m.folder.file("nothing.con").toLocal8Bit() + "\r\n",
          m.folder.path().toLocal8Bit() + "\r\n"}) {
        m.folder.write("params.ini", content);
        w->FormPaint();
        QVERIFY(!m.folder.exists("params.ini"));
    }
    QCOMPARE(m.pages(), 2);
    QVERIFY(Prompts::shown().isEmpty());

    // A real paint of the window takes it up too.
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QString later = m.script("later.con", "");
    m.folder.write("params.ini", later.toLocal8Bit() + "\r\n");
    w->handOffRequested();
    QTRY_VERIFY(!m.folder.exists("params.ini"));
    QCOMPARE(m.caption(2), later);
}

void StartupTest::handOffAtTheLimit() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString open = m.script("open.con", "");
    w->OpenDocumentFile(open);
    while (m.pages() < 29)
        w->NewDocumentTab();
    m.folder.write("params.ini", m.script("new.con", "").toLocal8Bit() + "\r\n");
    w->FormPaint();
    w->FormPaint(); // a second paint, as while the message box is up: the file is gone
    QCOMPARE(Prompts::shownTexts(), QStringList({"Max controls reached"}));
    QVERIFY(!m.folder.exists("params.ini"));
    m.folder.write("params.ini", open.toLocal8Bit() + "\r\n");
    w->FormPaint();
    QCOMPARE(m.activeSlot(), 0);
    QCOMPARE(Prompts::shownTexts().size(), 1);
}

void StartupTest::commandLineFileOpensOnActivation() {
    MainWindow m;
    TFormMain *w = m.open();
    m.script("my mod/init.con", "rem init\r\n");
    // Each parameter names one file: the pieces of a path split at its blank name none.
    w->commandLine = {QStringLiteral("marlix"), m.folder.path() + QStringLiteral("my"),
                      QStringLiteral("mod/init.con")};
    w->FormActivate();
    QCOMPARE(m.pages(), 0);
    w->commandLine = {QStringLiteral("marlix"), m.folder.file("my mod/init.con")};
    w->show();
    QTRY_COMPARE(m.pages(), 1);
    QCOMPARE(m.caption(0), m.folder.file("my mod/init.con"));
    QVERIFY(Prompts::shown().isEmpty());
}

void StartupTest::returningFromAnOwnWindowReopensTheCommandLineFile() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString path = m.script("init.con", "rem init\r\n");
    w->commandLine = {QStringLiteral("marlix"), path};
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_COMPARE(m.pages(), 1);
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 0);

    // A message box is no window of the program's own: coming back from it opens nothing.
    QMessageBox box(QMessageBox::Information, QStringLiteral("Marlix"), QStringLiteral("x"));
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.hide();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(m.pages(), 0);

    // Another of the program's windows (a dialog, say): closing it reopens the document.
    QDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.hide();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_COMPARE(m.pages(), 1);
    QCOMPARE(m.caption(0), path);
}

// The first showing and the first focus change are one activation: an unreadable file gave
// two "Cannot open file" boxes and two empty tabs.
void StartupTest::firstActivationRunsOnceForAnUnreadableFile() {
    MainWindow m;
    TFormMain *w = m.open();
    w->commandLine = {QStringLiteral("marlix"), QStringLiteral("/proc/self/mem")};
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_COMPARE(m.pages(), 1);
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QCOMPARE(m.pages(), 1);
    QCOMPARE(Prompts::shownTexts(), QStringList({"Cannot open file /proc/self/mem"}));
    QVERIFY(m.caption(0).isEmpty());
}

// `marlix A.con B.con` opened an empty window: the arguments were joined into one name.
void StartupTest::everyCommandLineFileOpens() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString a = m.script("my mod/A.con", "rem a\r\n");
    const QString b = m.script("B.con", "rem b\r\n");
    w->commandLine = {QStringLiteral("marlix"), a, m.folder.file("missing.con"), b};
    w->show();
    QTRY_COMPARE(m.pages(), 2);
    QCOMPARE(m.caption(0), a);
    QCOMPARE(m.caption(1), b);
    QCOMPARE(m.active(), fixture::tabs(w)->page(1));
    QVERIFY(Prompts::shown().isEmpty());
}

// Closing the preferences switched to the command line's script, away from the one in view.
void StartupTest::tabInViewStaysInViewAfterADialog() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString first = m.script("first.con", "rem\r\n");
    const QString second = m.script("second.con", "rem\r\n");
    const QString third = m.script("third.con", "rem\r\n");
    w->commandLine = {QStringLiteral("marlix"), first, second};
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_COMPARE(m.pages(), 2);
    w->OpenDocumentFile(third);
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(0));
    const auto roundTrip = [w] {
        QDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.hide();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::qWait(0);
        QCoreApplication::processEvents();
    };
    roundTrip();
    QCOMPARE(m.active()->caption(), first);
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(2));
    roundTrip();
    QCOMPARE(m.active()->caption(), third);
    // A command-line file closed meanwhile comes back, behind the tab in view.
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(1));
    fixture::trigger(w, "mnuClose"); // second.con
    QCOMPARE(m.active()->caption(), third);
    roundTrip();
    QTRY_COMPARE(m.pages(), 3);
    QCOMPARE(m.active()->caption(), third);
}

// Twenty quick later starts opened 3 to 5 of their files: each replaced params.ini.
void StartupTest::handedOverFilesOpenInOrderAndOnce() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString a = m.script("a.con", ""), b = m.script("b.con", ""), c = m.script("c.con", "");
    const QString d = m.script("d.con", "");
    // The start that wrote params.ini is heard on the socket: the file goes, its files open.
    writeHandOff(m.folder.file("params.ini"), {a, b});
    w->filesHandedOver({a, b});
    QVERIFY(!m.folder.exists("params.ini"));
    QTRY_COMPARE(m.pages(), 2);
    QCOMPARE(m.caption(0), a);
    QCOMPARE(m.caption(1), b);
    // Another start's params.ini is left for its own request; the paint that follows the
    // request takes it up, after the files that came first.
    writeHandOff(m.folder.file("params.ini"), {d});
    w->filesHandedOver({c});
    QVERIFY(m.folder.exists("params.ini"));
    QTRY_COMPARE(m.pages(), 4);
    QCOMPARE(m.caption(2), c);
    QCOMPARE(m.caption(3), d);
    QVERIFY(!m.folder.exists("params.ini"));
    // The request of the start whose params.ini a paint took up arrives: opened once only,
    // even when its tab has been closed meanwhile.
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 3);
    w->filesHandedOver({d});
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QCOMPARE(m.pages(), 3);
    // A request without files only brings the window forward.
    w->filesHandedOver({});
    QCoreApplication::processEvents();
    QCOMPARE(m.pages(), 3);
    QVERIFY(Prompts::shown().isEmpty());
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
