#include "auxiliary/frmAbout.h"
#include "auxiliary/frmNews.h"
#include "core/common/Version.h"
#include "launch/frmLaunch.h"
#include "platform/HttpGet.h"
#include "prefs/frmPref.h"
#include "tests/gui/support/HttpTestServer.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using fixture::MainWindow;

namespace {

// The program block's windows, made for one test and gone with it.
struct ProgramWindows {
    explicit ProgramWindows(const QString &folder) {
        frmNews = new TfrmNews;
        frmPref = new TfrmPref;
        frmPref->ProgramFolder = folder;
        FrmLaunch = new TFrmLaunch;
        FrmLaunch->ProgramFolder = folder;
        frmAbout = new TfrmAbout;
    }
    ~ProgramWindows() {
        delete frmAbout;
        delete FrmLaunch;
        delete frmPref;
        delete frmNews;
        frmAbout = nullptr;
        FrmLaunch = nullptr;
        frmPref = nullptr;
        frmNews = nullptr;
    }
};

// Runs command, which shows a modal window, and returns the window that was modal meanwhile.
template <class Command> QWidget *modalDuring(Command command) {
    QWidget *seen = nullptr;
    QTimer::singleShot(0, [&seen] {
        seen = QApplication::activeModalWidget();
        if (seen)
            seen->close();
    });
    command();
    return seen;
}

// A main window with the program's windows beside it and our own update server.
struct UpdatingWindow : MainWindow {
    ProgramWindows windows{folder.path()};
    HttpTestServer server;

    explicit UpdatingWindow(const QByteArray &version) {
        marlix::setUpdateServerUrl(server.url());
        server.answer("/version.html", 200, version);
        server.answer("/marlixnews.html", 200, "<p>News</p>");
    }
};

} // namespace

class DialogCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void menuAndButtonShowTheirDialogsModally();
    void checkForUpdatesShowsTheOneNewsWindow();
    void checkAtStartFollowsTheOptionInTheWindowsFolder();
};

void DialogCommandsTest::menuAndButtonShowTheirDialogsModally() {
    MainWindow m;
    ProgramWindows windows(m.folder.path());
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(modalDuring([w] { fixture::trigger(w, "mnuAbout"); }), frmAbout);
    QCOMPARE(modalDuring([w] { fixture::trigger(w, "mnuPreferences"); }), frmPref);
    QCOMPARE(modalDuring([w] { fixture::button(w, "btnLaunch")->click(); }), FrmLaunch);
    // The preferences dialog wrote its files into the window's program folder on closing.
    QVERIFY(m.folder.exists(QStringLiteral("marlix.ini")));
}

void DialogCommandsTest::checkForUpdatesShowsTheOneNewsWindow() {
    UpdatingWindow m("3.0.2.0");
    TFormMain *w = m.open();
    fixture::updateTimer(w)->stop();
    fixture::trigger(w, "mnuCheckforUpdates");
    QVERIFY(frmNews->isVisible());
    fixture::trigger(w, "mnuCheckforUpdates");
    QCOMPARE(m.server.count("/version.html"), 2);
    const auto topLevelNews = [] {
        int n = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            n += qobject_cast<TfrmNews *>(window) != nullptr;
        return n;
    };
    QCOMPARE(topLevelNews(), 1);
    QVERIFY(marlix::Prompts::shownTexts().isEmpty());
}

void DialogCommandsTest::checkAtStartFollowsTheOptionInTheWindowsFolder() {
    UpdatingWindow m(marlix::versionText().toLatin1());
    m.folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n");
    TFormMain *off = m.open();
    QVERIFY(fixture::updateTimer(off)->isActive());
    QTRY_VERIFY(!fixture::updateTimer(off)->isActive()); // it has fired, and fires once
    QCOMPARE(m.server.requests.size(), 0);

    m.folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
    TFormMain *on = m.open();
    QTRY_COMPARE(m.server.count("/version.html"), 1);
    QVERIFY(!fixture::updateTimer(on)->isActive());
    QVERIFY(!frmNews->isVisible());
}

QTEST_MAIN(DialogCommandsTest)
#include "DialogCommandsTest.moc"
