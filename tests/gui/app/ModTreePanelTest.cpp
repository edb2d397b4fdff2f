// The mod tree beside the tabs, through the real main window: shown from the Tools menu and
// remembered, scripts and archive entries opened with a click, the filter box, the marks of
// the mod check, the context menu, and files coming and going on disk.
#include "app/ModTreePanel.h"
#include "app/FindBar.h"
#include "app/IndexTools.h"
#include "app/ResultsPanel.h"
#include "app/Workspace.h"
#include "core/modindex/IndexFolders.h"
#include "core/workspace/ModTreeModel.h"
#include "core/workspace/SessionFile.h"
#include "tests/core/modindex/ModTree.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QUrl>

using fixture::MainWindow;
using namespace marlix;

namespace {

struct TreeWindow {
    ModTree tree;
    MainWindow m;
    TFormMain *w = nullptr;

    TreeWindow() {
        writeIndexFolders(m.folder.path(), {tree.mod});
        w = m.open();
        w->show();
        QSignalSpy built(fixture::indexTools(w), &IndexTools::buildFinished);
        if (!built.wait(10000))
            qFatal("the index was not built");
    }
    ModTreePanel *panel() const { return w->findChild<ModTreePanel *>("modTreePanel"); }
    QTreeView *view() const { return w->findChild<QTreeView *>("modTreeView"); }
    QAction *action(const char *name) const { return w->findChild<QAction *>(name); }
    // Shows the tree and waits for it to hold the mod.
    void showTree() const {
        QSignalSpy scanned(panel(), &ModTreePanel::scanned);
        action("modTreeAction")->trigger();
        QVERIFY(panel()->isVisible());
        QVERIFY(scanned.wait(10000));
    }
    // The row of a path in the view (through the filter), invalid when not shown.
    QModelIndex row(const QString &path) const {
        const QModelIndex source = panel()->model()->indexOfPath(path);
        auto *proxy = static_cast<QSortFilterProxyModel *>(view()->model());
        return proxy->mapFromSource(source);
    }
    void click(const QString &path) const {
        const QModelIndex at = row(path);
        QVERIFY2(at.isValid(), qPrintable(path));
        view()->scrollTo(at);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(at).center());
    }
    QString shownFile() const {
        const TTabSheet *page = m.active();
        return page ? (page->caption().isEmpty() ? page->displayText() : page->caption())
                    : QString();
    }
};

} // namespace

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class ModTreePanelTest : public QObject {
    Q_OBJECT

private slots:
    void theTreeShowsFromTheToolsMenuAndAClickOpensAScript() {
        TreeWindow x;
        QVERIFY(x.panel()->isHidden());
        QVERIFY(fixture::menu(x.w, "mnuTools")->actions().contains(x.action("modTreeAction")));
        x.showTree();
        QVERIFY(x.action("modTreeAction")->isChecked());
        const QString script = x.tree.path("objects/vehicles/tank/TankSounds.con");
        x.view()->expandAll();
        x.click(script);
        QCOMPARE(x.shownFile(), script);
        QCOMPARE(Prompts::shownTexts(), QStringList());
        // Clicking it again brings its tab forward, as Open does.
        fixture::button(x.w, "btnNew")->click();
        x.click(script);
        QCOMPARE(x.shownFile(), script);
        QCOMPARE(x.m.pages(), 2);
        x.action("modTreeAction")->trigger();
        QVERIFY(x.panel()->isHidden());
    }

    void anArchiveEntryOpensAsOpenFromArchiveOpensIt() {
        TreeWindow x;
        x.showTree();
        x.view()->expandAll();
        const QString entry = x.tree.path("archives/ai.rfa/ai/tank_ai.con");
        QVERIFY(x.row(entry).isValid());
        x.click(entry);
        QCOMPARE(x.shownFile(), QStringLiteral("[ai.rfa:ai/tank_ai.con]"));
        QCOMPARE(x.m.active()->caption(), QString()); // untitled: Save asks for a name
        QVERIFY(x.m.editor()->documentBytes().startsWith("aiTemplate.create Tank_AI"));
    }

    void theFilterBoxKeepsMatchingScriptsAndTheirFolders() {
        TreeWindow x;
        x.showTree();
        auto *filter = x.w->findChild<QLineEdit *>("modTreeFilter");
        QTest::keyClicks(filter, "dupes");
        QVERIFY(x.row(x.tree.path("objects/common/dupes.con")).isValid());
        QVERIFY(x.row(x.tree.path("objects/common")).isValid());
        QVERIFY(!x.row(x.tree.path("objects/vehicles/tank/tank.con")).isValid());
        QVERIFY(x.view()->isExpanded(x.row(x.tree.path("objects/common"))));
        filter->clear();
        QVERIFY(x.row(x.tree.path("objects/vehicles/tank/tank.con")).isValid());
    }

    void scriptsWithProblemsAreMarked() {
        TreeWindow x;
        x.showTree();
        // tank.con refers to a missing script and holds a misspelt command.
        const QModelIndex tank = x.row(x.tree.path("objects/vehicles/tank/tank.con"));
        QTRY_VERIFY(tank.data(ModTreeModel::ProblemsRole).toInt() > 0);
        QVERIFY(tank.data().toString().startsWith("tank.con  ("));
        QVERIFY(tank.data(Qt::ForegroundRole).isValid());
        const QModelIndex sounds = x.row(x.tree.path("objects/vehicles/tank/TankSounds.con"));
        QCOMPARE(sounds.data(ModTreeModel::ProblemsRole).toInt(), 0);
        QCOMPARE(sounds.data().toString(), QStringLiteral("TankSounds.con"));

        // A misspelt command saved into it by another program marks it, without a new build.
        x.tree.put("objects/vehicles/tank/TankSounds.con",
                   "ObjectTemplate.create Sound Tank_Engine\r\nObjectTemplate.setMaxSped 1\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(x.row(x.tree.path("objects/vehicles/tank/TankSounds.con"))
                                         .data(ModTreeModel::ProblemsRole)
                                         .toInt() > 0,
                                 10000);
    }

    void theContextMenuRevealsCopiesAndSearchesTheFolder() {
        TreeWindow x;
        x.showTree();
        x.view()->expandAll();
        const QString script = x.tree.path("objects/vehicles/tank/tank.inc");
        x.view()->setCurrentIndex(x.row(script));
        QCOMPARE(x.view()->contextMenuPolicy(), Qt::ActionsContextMenu);

        x.action("modTreeCopyPath")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), script);

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        x.action("modTreeReveal")->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.urls,
                 QList<QUrl>{QUrl::fromLocalFile(x.tree.path("objects/vehicles/tank"))});

        x.action("modTreeOpen")->trigger();
        QCOMPARE(x.shownFile(), script);

        // Find in This Folder searches the scripts below the folder only.
        x.view()->setCurrentIndex(x.row(x.tree.path("objects/common")));
        x.action("modTreeFindInFolder")->trigger();
        auto *bar = x.m.active()->findChild<FindBar *>();
        QVERIFY(bar && bar->isVisible());
        QTest::keyClicks(bar->findField, "ObjectTemplate");
        bar->inFilesButton->click();
        ResultsPanel *results = fixture::results(x.w);
        QTRY_VERIFY(results->resultCount() > 0);
        for (int i = 0; i < results->resultCount(); ++i)
            QVERIFY2(results->resultFile(i).startsWith(x.tree.path("objects/common/")),
                     qPrintable(results->resultFile(i)));
        // The menu's Find in Files searches every index folder again.
        const int inFolder = results->resultCount();
        fixture::trigger(x.w, "findInFilesAction");
        bar->inFilesButton->click();
        QTRY_VERIFY(results->resultCount() > inFolder);
    }

    void theTreeFollowsScriptsAddedRemovedAndRenamedOnDisk() {
        TreeWindow x;
        x.showTree();
        const QString added = x.tree.path("objects/vehicles/jeep/jeep.con");
        x.tree.put("objects/vehicles/jeep/jeep.con", "ObjectTemplate.create Bundle Jeep\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(x.panel()->model()->indexOfPath(added).isValid(), 8000);
        const QString renamed = x.tree.path("objects/vehicles/jeep/willys.con");
        QVERIFY(QFile::rename(added, renamed));
        QTRY_VERIFY_WITH_TIMEOUT(x.panel()->model()->indexOfPath(renamed).isValid(), 8000);
        QVERIFY(!x.panel()->model()->indexOfPath(added).isValid());
        QVERIFY(QFile::remove(renamed));
        QTRY_VERIFY_WITH_TIMEOUT(
            !x.panel()->model()->indexOfPath(x.tree.path("objects/vehicles/jeep")).isValid(), 8000);
    }

    void whetherTheTreeIsShownIsRememberedForTheNextStart() {
        ModTree tree;
        MainWindow m;
        writeIndexFolders(m.folder.path(), {tree.mod});
        TFormMain *w = m.open();
        w->show();
        w->findChild<QAction *>("modTreeAction")->trigger();
        QVERIFY(w->close());
        QVERIFY(readSession(sessionPath(m.folder.path())).showTree);

        w = m.open();
        w->show();
        auto *panel = w->findChild<ModTreePanel *>("modTreePanel");
        QTRY_VERIFY(panel->isVisible());
        w->findChild<QAction *>("modTreeAction")->trigger();
        QVERIFY(w->close());
        QVERIFY(!readSession(sessionPath(m.folder.path())).showTree);
    }
};

QTEST_MAIN(ModTreePanelTest)
#include "ModTreePanelTest.moc"
