// The window's helpers see the open documents only through marlix::DocumentHost. The main
// window answers for its tabs in tab order, not slot order; and the helpers work over a bare
// host that is no main window at all, on the index tests' mod.
#include "app/DocumentHost.h"
#include "app/IndexTools.h"
#include "app/LiveProblems.h"
#include "app/PageControl.h"
#include "app/ResultsPanel.h"
#include "app/StatusInfo.h"
#include "core/common/LineFile.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/ModCheck.h"
#include "core/modindex/ScriptProblems.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"
#include "tests/core/modindex/ModTree.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace marlix;

namespace {

// A window of its own: a row of tabs over a results panel and a Tools menu, nothing else.
class BareHost : public QMainWindow, public DocumentHost {
public:
    explicit BareHost(const QString &programFolder) : m_folder(programFolder) {
        m_tools = menuBar()->addMenu(QStringLiteral("Tools"));
        auto *central = new QWidget(this);
        auto *layout = new QVBoxLayout(central);
        m_tabs = new PageControl(central);
        m_results = new ResultsPanel(central);
        layout->addWidget(m_tabs, 3);
        layout->addWidget(m_results, 1);
        setCentralWidget(central);
        resize(900, 700);
    }

    QStringList opened; // every OpenDocumentFile asked for

    TAdvEdit *activeEditor() const override {
        const TTabSheet *page = m_tabs->ActivePage();
        return page ? m_editors.value(page->Tag) : nullptr;
    }
    TTabSheet *activePage() const override { return m_tabs->ActivePage(); }
    QList<TTabSheet *> pages() const override {
        QList<TTabSheet *> all;
        for (int i = 0; i < m_tabs->pageCount(); ++i)
            all.append(m_tabs->page(i));
        return all;
    }
    TAdvEdit *editorOfSlot(int slot) const override { return m_editors.value(slot); }
    TTabSheet *pageOfSlot(int slot) const override {
        for (TTabSheet *page : pages())
            if (page->Tag == slot)
                return page;
        return nullptr;
    }
    void showPage(TTabSheet *page) override { m_tabs->setActivePage(page); }
    void OpenDocumentFile(const QString &path) override {
        opened.append(path);
        for (TTabSheet *page : pages())
            if (sameDocument(page->caption(), path)) {
                showPage(page);
                return;
            }
        addPage(path, QString(), readWholeFile(path));
    }
    bool openDocumentAt(const QString &path, int line) override {
        OpenDocumentFile(path);
        EditorView(activeEditor()).showLine(line - 1);
        EditorView(activeEditor()).goTo(EditorView(activeEditor()).lineStart(line - 1));
        return true;
    }
    bool openArchiveTextAt(const QString &display, const QByteArray &bytes, int) override {
        addPage(QString(), display, bytes);
        return true;
    }
    const QString &ProgramFolder() const override { return m_folder; }
    bool darkScheme() const override { return false; }
    QMainWindow *hostWindow() override { return this; }
    QMenu *toolsMenu() override { return m_tools; }
    ResultsPanel *results() override { return m_results; }

    QAction *entry(const char *name) const {
        auto *found = findChild<QAction *>(QLatin1String(name));
        if (!found)
            qFatal("no entry named %s", name);
        return found;
    }

private:
    void addPage(const QString &path, const QString &display, const QByteArray &bytes) {
        auto *page = new TTabSheet(m_tabs);
        page->Tag = int(m_editors.size());
        auto *editor = new TAdvEdit(page);
        editor->ProgramFolder = m_folder;
        editor->InitEditor();
        editor->loadBytes(bytes);
        page->setContent(editor, nullptr);
        page->setCaption(path);
        if (!display.isEmpty())
            page->setDisplayText(display);
        m_editors.append(editor);
        m_tabs->setActivePage(page);
    }

    QString m_folder;
    PageControl *m_tabs;
    ResultsPanel *m_results;
    QMenu *m_tools;
    QList<TAdvEdit *> m_editors;
};

void caretOn(TAdvEdit *editor, const QByteArray &word) {
    const qsizetype at = editor->documentBytes().indexOf(word);
    QVERIFY2(at >= 0, word.constData());
    EditorView(editor).goTo(at + 1);
}

} // namespace

class DocumentHostTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowAnswersForItsTabsInTabOrder() {
        fixture::MainWindow m;
        TFormMain *w = m.open();
        DocumentHost &host = *w;
        QCOMPARE(host.hostWindow(), static_cast<QMainWindow *>(w));
        QCOMPARE(host.toolsMenu(), w->findChild<QMenu *>(QStringLiteral("mnuTools")));
        QCOMPARE(host.results(), w->findChild<ResultsPanel *>(QStringLiteral("resultsPanel")));
        QVERIFY(!host.activePage() && !host.activeEditor() && host.pages().isEmpty());

        const QString a = m.script("a.con", "rem a\r\n");
        const QString b = m.script("b.con", "rem b\r\n");
        const QString c = m.script("c.con", "rem c\r\n");
        const QString d = m.script("d.con", "rem d\r\n");
        for (const QString &path : {a, b, c})
            host.OpenDocumentFile(path);
        w->CloseDocumentSlot(1);
        // The lowest free slot, yet the last tab.
        host.OpenDocumentFile(d);
        const QList<TTabSheet *> pages = host.pages();
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages[0]->caption(), a);
        QCOMPARE(pages[1]->caption(), c);
        QCOMPARE(pages[2]->caption(), d);
        QCOMPARE(pages[2]->Tag, 1);
        QCOMPARE(host.activePage(), pages[2]);
        QCOMPARE(host.activeEditor(), host.editorOfSlot(1));
        QCOMPARE(host.pageOfSlot(1), pages[2]);
        QVERIFY(!host.pageOfSlot(3) && !host.editorOfSlot(3));
        QVERIFY(!host.pageOfSlot(-1) && !host.editorOfSlot(DocumentSlotCount));

        host.showPage(pages[0]);
        QCOMPARE(host.activePage(), pages[0]);
        QCOMPARE(fixture::tabs(w)->ActivePage(), pages[0]);
        QCOMPARE(host.activeEditor(), host.editorOfSlot(pages[0]->Tag));
        QVERIFY(host.activeEditor()->documentBytes().startsWith("rem a"));
        // Opening what is open brings its tab forward rather than another tab.
        host.OpenDocumentFile(QDir(m.folder.path()).filePath("./c.con"));
        QCOMPARE(host.pages().size(), 3);
        QCOMPARE(host.activePage(), pages[1]);
    }

    // The index's commands, the problems of the script in view and the status fields need
    // nothing of the main window: their entries, rows and fields land in a bare host.
    void theHelpersServeAHostThatIsNoMainWindow() {
        ModTree tree;
        TempFolder folder;
        fixture::copyShippedData(folder);
        writeIndexFolders(folder.path(), {tree.mod});
        BareHost host(folder.path());
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        auto *tools = new IndexTools(host);
        QSignalSpy built(tools, &IndexTools::buildFinished);
        auto *live = new LiveProblems(host, tools);
        auto *status = new DocumentStatus(host);
        QSignalSpy refreshed(status, &DocumentStatus::documentsRefreshed);
        QVERIFY(built.wait(10000));
        QCOMPARE(tools->parent(), static_cast<QObject *>(&host));
        QVERIFY(host.toolsMenu()->actions().contains(tools->findReferencesAction));
        QVERIFY(host.toolsMenu()->actions().contains(live->nextProblemAction));

        const QString tank = tree.path("objects/vehicles/tank/tank.con");
        host.OpenDocumentFile(tank);
        tools->attachEditor(host.activeEditor());
        QSignalSpy shown(live, &LiveProblems::problemsShown);
        live->activeDocumentChanged();
        QVERIFY(shown.wait(10000));
        const QList<ModProblem> problems =
            checkScript(*tools->index(), tank, host.activeEditor()->documentBytes());
        QVERIFY(!problems.isEmpty()); // a misspelt command, a missing script
        QCOMPARE(live->problemCount->text(), problemCountText(problems));

        // Find References fills the host's own panel.
        caretOn(host.activeEditor(), "tank_turret");
        host.entry("findReferencesAction")->trigger();
        QVERIFY(host.results()->resultCount() >= 2);
        QVERIFY2(host.results()->summary().startsWith(QStringLiteral("tank_turret")),
                 qPrintable(host.results()->summary()));

        // Go to Definition opens the other script through the host, Go Back returns to the
        // tab it left.
        TTabSheet *from = host.activePage();
        caretOn(host.activeEditor(), "Tank_Hull_M1");
        host.entry("goToDefinitionAction")->trigger();
        QCOMPARE(QFileInfo(host.opened.last()).canonicalFilePath(),
                 QFileInfo(tree.path("objects/vehicles/tank/tank.inc")).canonicalFilePath());
        QVERIFY(host.activePage() != from);
        host.entry("goBackAction")->trigger();
        QCOMPARE(host.activePage(), from);

        // The status fields follow the editor in view, the tab of a changed script is marked.
        status->refresh();
        QVERIFY(!refreshed.isEmpty());
        // Back on "Tank_Hull_M1" in the third line, after its first letter.
        QCOMPARE(status->caret->text(), QStringLiteral("Ln 3, Col 26"));
        QVERIFY(!from->displayText().startsWith(QLatin1Char('*')));
        QTest::keyClicks(host.activeEditor(), "x");
        status->refresh();
        QVERIFY2(from->displayText().startsWith(QLatin1Char('*')), qPrintable(from->displayText()));
        QCOMPARE(status->changed->text(), QStringLiteral("Modified"));
    }
};

QTEST_MAIN(DocumentHostTest)
#include "DocumentHostTest.moc"
