// The file commands and the recent-files menu work on the open documents they are given, with
// no main window at all: a bare widget, a tab control and editors made by the test.
#include "app/DiskWatch.h"
#include "app/FileCommands.h"
#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "app/RecentFilesMenu.h"
#include "core/prefs/GeneralOptions.h"
#include "editor/AdvEdit.h"
#include "platform/Prompts.h"
#include "tests/gui/support/TempFolder.h"

#include <QAction>
#include <QTest>
#include <memory>

using namespace marlix;

namespace {

struct Host {
    TempFolder folder;
    QWidget window;
    PageControl *tabs = new PageControl(&window);
    DocumentList list;
    OpenDocuments::Editors editors{};
    OpenDocuments::Pages pages{};
    int tabsMade = 0;
    OpenDocuments documents{&window, tabs, list, editors, pages, [this] { return newTab(); }};
    FileRequest openDialog, saveDialog;
    GeneralOptions options;
    DiskWatch diskWatch{documents, nullptr};
    std::array<std::unique_ptr<QAction>, RecentFilesLimit> entryActions;
    std::unique_ptr<RecentFilesMenu> recent;
    std::unique_ptr<FileCommands> files;
    QStringList recentChosen;
    bool mayOpen = true;

    Host() {
        Prompts::setTestMode(true);
        Prompts::reset();
        // Colouring and the object list need the language tables; these documents go without.
        options.autoHighlight = false;
        options.autoPopulate = false;
        RecentFilesMenu::Entries entries{};
        for (int k = 0; k < RecentFilesLimit; ++k) {
            entryActions[k] = std::make_unique<QAction>();
            entryActions[k]->setVisible(false);
            entries[k] = entryActions[k].get();
        }
        recent = std::make_unique<RecentFilesMenu>(
            folder.path(), entries, [this](const QString &path) { recentChosen.append(path); },
            [this] { return mayOpen; });
        files = std::make_unique<FileCommands>(documents, openDialog, saveDialog, options,
                                               diskWatch, *recent);
    }

    bool newTab() {
        ++tabsMade;
        if (list.isFull())
            return false;
        const int slot = list.open();
        auto *page = new TTabSheet(tabs);
        auto *editor = new TAdvEdit(page);
        page->Tag = slot;
        pages[slot] = page;
        editors[slot] = editor;
        page->setContent(editor, nullptr);
        tabs->setActivePage(page);
        return true;
    }
    QString script(const QString &name, const QByteArray &bytes) const {
        folder.write(name, bytes);
        return folder.file(name);
    }
};

} // namespace

class CommandsWithoutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void openingNamesTheDocumentAndRemembersItsFile();
    void closingAsksAboutChangesAndKeepsTheDocumentOnCancel();
    void leavingAsksAboutEachChangedDocumentInTabOrder();
    void recentEntriesGiveTheirPathsBack();
};

void CommandsWithoutWindowTest::openingNamesTheDocumentAndRemembersItsFile() {
    Host h;
    const QString path = h.script("mods/one/Init.con", "rem one\r\n");
    h.files->openFile(path);
    QCOMPARE(h.tabs->pageCount(), 1);
    const int slot = h.documents.activePage()->Tag;
    QCOMPARE(h.list.path(slot), path);
    QCOMPARE(h.documents.activePage()->caption(), path);
    QCOMPARE(h.documents.activeEditor()->fileBytes(), QByteArray("rem one\r\n"));
    QCOMPARE(h.list.knownFile(slot).path, path);
    QCOMPARE(h.folder.read("recent.ini"), path.toLocal8Bit() + "\r\n");
    QCOMPARE(h.entryActions[0]->text(), path);
    QVERIFY(h.entryActions[0]->isVisible());

    // The same file under another spelling is the open document; no tab is made for it.
    h.files->openFile(h.folder.file("mods/one/../one/Init.con"));
    QCOMPARE(h.tabs->pageCount(), 1);
    QCOMPARE(h.tabsMade, 1);

    // A file that is not there is reported and opens nothing.
    h.files->openFile(h.folder.file("mods/one/Missing.con"));
    QCOMPARE(h.tabs->pageCount(), 1);
    QCOMPARE(Prompts::shownTexts(), QStringList{QStringLiteral("Unable to load file")});
}

void CommandsWithoutWindowTest::closingAsksAboutChangesAndKeepsTheDocumentOnCancel() {
    Host h;
    const QString path = h.script("a.con", "rem a\r\n");
    h.files->openFile(path);
    TAdvEdit *editor = h.documents.activeEditor();
    editor->insert(QStringLiteral("x"));
    QVERIFY(editor->DocChanged);

    Prompts::answerMessage(QMessageBox::Cancel);
    h.files->closeActive();
    QCOMPARE(h.tabs->pageCount(), 1);
    QCOMPARE(h.folder.read("a.con"), QByteArray("rem a\r\n"));

    // Yes on an untitled document asks for a name; a cancelled Save dialog keeps it open.
    QVERIFY(h.newTab());
    h.documents.activeEditor()->insert(QStringLiteral("rem new\r\n"));
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(FileAnswer{false, QString(), 1, QString()});
    h.files->closeActive();
    QCOMPARE(h.tabs->pageCount(), 2);

    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(FileAnswer{true, h.folder.file("new.con"), 1, h.folder.path()});
    const int untitled = h.documents.activePage()->Tag;
    h.files->closeActive();
    QCOMPARE(h.tabs->pageCount(), 1);
    QVERIFY(h.folder.exists("new.con"));
    QVERIFY(!h.list.contains(untitled));
    QCOMPARE(h.documents.editorOfSlot(untitled), nullptr);

    // No lets the changes go.
    Prompts::answerMessage(QMessageBox::No);
    h.files->closeActive();
    QCOMPARE(h.tabs->pageCount(), 0);
    QCOMPARE(h.list.count(), 0);
    QCOMPARE(h.folder.read("a.con"), QByteArray("rem a\r\n"));
    h.files->closeActive(); // nothing open: nothing happens
}

void CommandsWithoutWindowTest::leavingAsksAboutEachChangedDocumentInTabOrder() {
    Host h;
    h.files->openFile(h.script("a.con", "rem a\r\n"));
    h.files->openFile(h.script("b.con", "rem b\r\n"));
    h.files->openFile(h.script("c.con", "rem c\r\n"));
    h.documents.editorOfSlot(0)->insert(QStringLiteral("x"));
    h.documents.editorOfSlot(2)->insert(QStringLiteral("y"));
    Prompts::reset();

    Prompts::answerMessage(QMessageBox::No);
    Prompts::answerMessage(QMessageBox::Cancel);
    QVERIFY(!h.files->changedDocumentsMayGo());
    QCOMPARE(Prompts::shownTexts().size(), 2);                     // b.con was not asked about
    QCOMPARE(h.documents.activePage(), h.documents.pageOfSlot(2)); // asked about in view

    Prompts::answerMessage(QMessageBox::No);
    Prompts::answerMessage(QMessageBox::No);
    QVERIFY(h.files->changedDocumentsMayGo());
}

void CommandsWithoutWindowTest::recentEntriesGiveTheirPathsBack() {
    Host h;
    const QString ampersand = h.folder.file("R&D/init.con");
    const QString plain = h.folder.file("plain.con");
    h.folder.write("recent.ini", ampersand.toLocal8Bit() + "\r\n" + plain.toLocal8Bit() + "\r\n");
    h.recent->load();
    QVERIFY(h.entryActions[0]->isVisible());
    QVERIFY(h.entryActions[1]->isVisible());
    QVERIFY(!h.entryActions[2]->isVisible());

    h.recent->choose(0);
    h.recent->choose(1);
    QCOMPARE(h.recentChosen, (QStringList{ampersand, plain}));

    h.recentChosen.clear();
    h.mayOpen = false;
    h.recent->choose(0);
    QVERIFY(h.recentChosen.isEmpty());
}

QTEST_MAIN(CommandsWithoutWindowTest)
#include "CommandsWithoutWindowTest.moc"
