#include "core/common/Version.h"
#include "tests/gui/support/WindowPartsA.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace marlix;
using fixture::MainWindow;
using parts::find;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menusCarryTheirCaptionsShortcutsAndStates();
    void toolBarButtonsInOrderWithHotPictures();
    void titleAndVersion();
    void tabLimitAndSlotReuse();
    void closingActivatesTheFollowingTabOrTheFirst();
    void commandsDoNothingWithoutTabs();
    void closeBranches();
    void closeKeepsDocumentWhenSaveFails();
    void exitAsksAboutEachChangedDocument();
    void untitledDocumentSavedWhileLeavingTakesItsName();
};

void MainWindowTest::menusCarryTheirCaptionsShortcutsAndStates() {
    MainWindow m;
    TFormMain *w = m.open();
    const auto entries = [](QMenu *menu) {
        QStringList list;
        for (const QAction *action : menu->actions())
            list.append(action->isSeparator()
                            ? QStringLiteral("-")
                            : action->text() + QLatin1Char('|') +
                                  action->shortcut().toString(QKeySequence::PortableText) +
                                  (action->isEnabled() ? "" : "|off"));
        return list;
    };
    QCOMPARE(entries(find<QMenu>(w, "mnuFile")),
             QStringList({"New|Ctrl+N", "Open|Ctrl+O", "Open from Archive\u2026|",
                          "Quick Open\u2026|Ctrl+P", "Open Recent|", "Close|Ctrl+L", "-", "Font|",
                          "-", "Save|Ctrl+S", "Save As...|", "Save All|Ctrl+Alt+S", "-", "Print|",
                          "-", "Backup||off", "Restore||off", "-", "Exit|Ctrl+Q"}));
    QCOMPARE(entries(find<QMenu>(w, "mnuEdit")),
             QStringList({"Undo|Ctrl+Z", "Redo|Ctrl+Alt+Z|off", "-", "Cut|Ctrl+X", "Copy|Ctrl+C",
                          "Paste|Ctrl+V", "Delete|Ctrl+Del", "Select All|Ctrl+A",
                          "Toggle Comment|Ctrl+/", "Fold Block|Ctrl+Shift+[",
                          "Unfold Block|Ctrl+Shift+]", "-", "Find|Ctrl+F", "Find Next|F3",
                          "Find Previous|Shift+F3", "Replace|Ctrl+R", "Go to Line...|Ctrl+G",
                          "Find in Files|Ctrl+Shift+F"}));
    QCOMPARE(entries(find<QMenu>(w, "mnuTools")),
             QStringList({"Preferences|", "Mod Tree|Ctrl+Shift+E", "-", "Refresh Highlighting|F5",
                          "Refresh Object List|F6", "-", "Check for Updates|", "-",
                          "Index Folders\u2026|", "Go to Definition|F12", "Go Back|Alt+Left",
                          "Find References|Shift+F12", "Rename Name\u2026|F2", "Check Mod|",
                          "Next Problem|F8", "Previous Problem|Shift+F8", "-", "Level Map|",
                          "Template Tree|"}));
    QStringList top;
    for (const QAction *action : find<QMenuBar>(w, "mnuMain")->actions())
        top.append(action->text());
    QCOMPARE(top, QStringList({"&File", "&Edit", "&Tools", "&Help", "&About"}));
    QVERIFY(!fixture::action(w, "mnuHelp")->menu());
    QVERIFY(!fixture::action(w, "mnuAbout")->menu());
    // Every recent entry exists and starts invisible.
    const QMenu *recent = find<QMenu>(w, "mnuRecent");
    QCOMPARE(recent->actions().size(), 10);
    for (const QAction *entry : recent->actions())
        QVERIFY(!entry->isVisible());
    // The editors are told about every menu key, disabled entries included.
    const QList<QKeySequence> keys = w->menuKeys();
    for (const char *key : {"Ctrl+L", "Ctrl+F", "Ctrl+R", "Ctrl+Alt+Z", "Ctrl+Del", "F5"})
        QVERIFY2(keys.contains(QKeySequence(QString::fromLatin1(key))), key);
}

void MainWindowTest::toolBarButtonsInOrderWithHotPictures() {
    MainWindow m;
    TFormMain *w = m.open();
    QList<QToolButton *> expected;
    for (const char *name : {"btnNew", "btnOpen", "btnSave", "btnUndo", "btnRedo", "btnCut",
                             "btnCopy", "btnPaste", "btnComment", "btnUnComment", "btnLaunch"})
        expected.append(fixture::button(w, name));
    const QToolBar *bar = find<QToolBar>(w, "tbarMain");
    QList<QToolButton *> seen;
    QList<int> separators;
    for (int i = 0; i < bar->actions().size(); ++i) {
        QAction *action = bar->actions()[i];
        if (action->isSeparator())
            separators.append(i);
        else if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
            seen.append(button);
    }
    QCOMPARE(seen, expected);
    QCOMPARE(separators, QList<int>({3, 6, 10, 13}));
    // Each button has its own picture, and another one under the mouse.
    const QSize picture(24, 24);
    QList<QImage> pictures;
    for (const QToolButton *button : expected) {
        const QIcon icon = button->icon();
        QCOMPARE(icon.availableSizes(QIcon::Normal), QList<QSize>({picture}));
        QCOMPARE(icon.availableSizes(QIcon::Active), QList<QSize>({picture}));
        const QImage normal = icon.pixmap(picture, QIcon::Normal).toImage();
        QVERIFY2(normal != icon.pixmap(picture, QIcon::Active).toImage(),
                 qPrintable(button->objectName()));
        QVERIFY2(!pictures.contains(normal), qPrintable(button->objectName()));
        pictures.append(normal);
    }
    QCOMPARE(fixture::button(w, "btnNew")->size(), QSize(31, 30));
}

void MainWindowTest::titleAndVersion() {
    MainWindow m;
    TFormMain *w = m.open();
    const QLabel *version = find<QLabel>(w, "lblVersion");
    const PageControl *tabs = fixture::tabs(w);
    QCOMPARE(w->windowTitle(), marlix::mainWindowTitle());
    QCOMPARE(version->text(), marlix::versionText());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(!version->isVisible());
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QVERIFY(tabs->isVisible());

    // The tab pages take all of the window below the tool bar, and a document fills its page.
    const QWidget *client = w->centralWidget();
    QCOMPARE(tabs->width(), client->width());
    QCOMPARE(find<QWidget>(w, "TopBar")->height() + tabs->height(), client->height());
    QVERIFY(w->NewDocumentTab());
    QTRY_VERIFY(m.editor()->isVisible());
    QVERIFY(m.editor()->height() > client->height() / 2);
    QVERIFY(m.editor()->width() + m.editor()->ObjectList->width() > client->width() * 9 / 10);
}

void MainWindowTest::tabLimitAndSlotReuse() {
    MainWindow m;
    TFormMain *w = m.open();
    for (int i = 0; i < 28; ++i)
        QVERIFY(w->NewDocumentTab());
    QVERIFY(Prompts::shownTexts().isEmpty());
    QVERIFY(w->NewDocumentTab());
    QCOMPARE(m.pages(), 29);
    QCOMPARE(m.activeSlot(), 28);
    fixture::trigger(w, "mnuNew");
    QCOMPARE(Prompts::shownTexts(), QStringList({"Max controls reached"}));
    QCOMPARE(Prompts::shown().last().caption, QStringLiteral("Marlix"));
    QCOMPARE(m.pages(), 29);
    QVERIFY(!w->editorOfSlot(29) && !w->pageOfSlot(29));

    // Close slot 0 while 1 and 2 are in use: New takes slot 0 again and puts its tab last.
    fixture::tabs(w)->setActivePage(w->pageOfSlot(0));
    fixture::trigger(w, "mnuClose");
    QVERIFY(!w->pageOfSlot(0) && !w->editorOfSlot(0));
    QCOMPARE(m.pages(), 28);
    fixture::button(w, "btnNew")->click();
    QCOMPARE(m.activeSlot(), 0);
    QCOMPARE(fixture::tabs(w)->indexOf(w->pageOfSlot(0)), 28);
    for (int i = 0; i < 29; ++i)
        QCOMPARE(w->pageOfSlot(i)->Tag, i);
    // The editor sits on its own tab page.
    QCOMPARE(w->editorOfSlot(0)->parentWidget(), w->pageOfSlot(0));
    QCOMPARE(w->editorOfSlot(0)->ProgramFolder, m.folder.path());
}

void MainWindowTest::closingActivatesTheFollowingTabOrTheFirst() {
    MainWindow m;
    TFormMain *w = m.open();
    for (int i = 0; i < 4; ++i)
        w->NewDocumentTab();
    fixture::tabs(w)->setActivePage(w->pageOfSlot(1));
    fixture::trigger(w, "mnuClose"); // middle: its right neighbour
    QCOMPARE(m.activeSlot(), 2);
    fixture::tabs(w)->setActivePage(w->pageOfSlot(3));
    fixture::trigger(w, "mnuClose"); // rightmost: the first
    QCOMPARE(m.activeSlot(), 0);
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.activeSlot(), 2);
    fixture::trigger(w, "mnuClose"); // the only one: none
    QCOMPARE(m.pages(), 0);
    QVERIFY(!m.active());
    QVERIFY(!w->activeEditor());
    for (int i = 0; i < 30; ++i)
        QVERIFY(!w->editorOfSlot(i) && !w->pageOfSlot(i));
}

// Every command a user can give with no tab open, from the menu, the tool bar or a click on
// the band around it. Entries disabled then cannot be given, and trigger() does nothing on them.
void MainWindowTest::commandsDoNothingWithoutTabs() {
    MainWindow m;
    TFormMain *w = m.open();
    for (const char *entry :
         {"mnuClose", "mnuSave", "mnuSaveAs", "mnuSaveAll", "mnuUndo", "mnuRedo", "mnuCut",
          "mnuCopy", "mnuPaste", "mnuDelete", "mnuSelectall", "toggleCommentAction",
          "mnuRefreshObjects", "mnuRefreshObjectList", "mnuHelp", "mnuBackup", "mnuRestore"})
        fixture::trigger(w, entry);
    for (const char *button : {"btnSave", "btnUndo", "btnRedo", "btnCut", "btnCopy", "btnPaste",
                               "btnComment", "btnUnComment"})
        fixture::button(w, button)->click();
    QTest::mouseClick(find<QWidget>(w, "TopBarCaption"), Qt::LeftButton);
    QVERIFY(Prompts::shown().isEmpty());
    QCOMPARE(m.pages(), 0);
}

void MainWindowTest::closeBranches() {
    MainWindow m;
    TFormMain *w = m.open();
    // Unchanged: closed without a question.
    w->NewDocumentTab();
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 0);
    QVERIFY(Prompts::shown().isEmpty());

    // Changed, Cancel: nothing changes; the question is the confirmation box.
    w->NewDocumentTab();
    m.editor()->insert(QStringLiteral("rem typed"));
    Prompts::answerMessage(QMessageBox::Cancel);
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 1);
    const PromptRecord question = Prompts::shown().last();
    QCOMPARE(question.caption, QStringLiteral("Confirm"));
    QCOMPARE(question.text, QStringLiteral("File has changed, save changes?"));
    QCOMPARE(question.icon, QMessageBox::Question);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    // Yes on a never-saved document, Save dialog cancelled: stays open and changed.
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::cancelled());
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 1);
    QVERIFY(m.editor()->DocChanged);
    QCOMPARE(Prompts::shown().last().kind, PromptRecord::File);

    // Yes on a never-saved document, file chosen: written, then closed.
    const QString target = m.folder.file("chosen.con");
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::chosen(target));
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 0);
    QVERIFY(m.folder.read("chosen.con").contains("rem typed"));

    // Yes on a titled document saves to its caption; No discards.
    const QString titled = m.script("titled.con", "rem one\r\n");
    w->OpenDocumentFile(titled);
    m.editor()->insert(QStringLiteral("rem two\r\n"));
    Prompts::answerMessage(QMessageBox::Yes);
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 0);
    QVERIFY(m.folder.read("titled.con").contains("rem two"));

    w->OpenDocumentFile(titled);
    const QByteArray before = m.folder.read("titled.con");
    m.editor()->insert(QStringLiteral("rem three\r\n"));
    Prompts::answerMessage(QMessageBox::No);
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 0);
    QCOMPARE(m.folder.read("titled.con"), before);
}

void MainWindowTest::closeKeepsDocumentWhenSaveFails() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString path = m.script("locked.con", "rem kept\r\n");
    w->OpenDocumentFile(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    m.editor()->insert(QStringLiteral("rem lost?\r\n"));
    Prompts::answerMessage(QMessageBox::Yes);
    fixture::trigger(w, "mnuClose"); // into the error display
    QCOMPARE(m.pages(), 1);
    QVERIFY(m.editor()->DocChanged);
    QCOMPARE(Prompts::shown().last().icon, QMessageBox::Critical);
    QCOMPARE(Prompts::shown().last().text, "Cannot create file " + path);
    QCOMPARE(m.folder.read("locked.con"), QByteArray("rem kept\r\n"));
}

void MainWindowTest::exitAsksAboutEachChangedDocument() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QSignalSpy closed(w, &TFormMain::closed);

    // Unchanged documents go without a question.
    w->OpenDocumentFile(m.script("calm.con", "rem calm\r\n"));
    fixture::trigger(w, "mnuExit");
    QCOMPARE(closed.size(), 1);
    QVERIFY(Prompts::shown().isEmpty());

    w = m.open();
    w->show();
    QSignalSpy closedAgain(w, &TFormMain::closed);
    const QString titled = m.script("titled.con", "rem one\r\n");
    w->OpenDocumentFile(m.script("calm.con", "rem calm\r\n"));
    w->OpenDocumentFile(titled);
    m.editor()->insert(QStringLiteral("rem two\r\n"));
    w->NewDocumentTab();
    m.editor()->insert(QStringLiteral("rem new\r\n"));
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(0));

    // Cancel at the first question keeps everything, and the window.
    Prompts::answerMessage(QMessageBox::Cancel);
    fixture::trigger(w, "mnuExit");
    QCOMPARE(closedAgain.size(), 0);
    QVERIFY(w->isVisible());
    QCOMPARE(m.pages(), 3);
    QCOMPARE(m.caption(fixture::tabs(w)->indexOf(m.active())), titled); // the one asked about
    QCOMPARE(Prompts::shownTexts(), QStringList({"File has changed, save changes?"}));

    // A save that fails at the first keeps the window open, the error shown.
    QFile::setPermissions(titled, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    Prompts::answerMessage(QMessageBox::Yes);
    fixture::trigger(w, "mnuExit");
    QCOMPARE(closedAgain.size(), 0);
    QCOMPARE(Prompts::shown().last().text, "Cannot create file " + titled);
    QFile::setPermissions(titled, QFile::ReadOwner | QFile::WriteOwner);

    // Yes saves the titled one; a cancelled Save dialog for the new one still keeps the window.
    Prompts::reset();
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::cancelled());
    fixture::trigger(w, "mnuExit");
    QCOMPARE(closedAgain.size(), 0);
    QVERIFY(m.folder.read("titled.con").contains("rem two"));
    QCOMPARE(m.caption(fixture::tabs(w)->indexOf(m.active())), QString());

    // No for the last changed one: the window closes, and that document was not written.
    Prompts::answerMessage(QMessageBox::No);
    fixture::trigger(w, "mnuExit");
    QCOMPARE(closedAgain.size(), 1);
    QVERIFY(!w->isVisible());
    QVERIFY(!m.folder.exists("fontpref.ini"));
}

// Saved through Yes while leaving, an untitled document kept its blank caption: after a later
// Cancel, the next Save asked for a name again.
void MainWindowTest::untitledDocumentSavedWhileLeavingTakesItsName() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QSignalSpy closed(w, &TFormMain::closed);
    w->NewDocumentTab();
    m.editor()->insert(QStringLiteral("rem first\r\n"));
    w->NewDocumentTab();
    m.editor()->insert(QStringLiteral("rem second\r\n"));
    TTabSheet *second = m.active();
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(0));

    const QString name = m.folder.file("first.con");
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::chosen(name));
    Prompts::answerMessage(QMessageBox::Cancel);
    fixture::trigger(w, "mnuExit");
    QCOMPARE(closed.size(), 0);
    QCOMPARE(m.active(), second); // the document of the last question is in view
    QCOMPARE(m.caption(0), name);
    QVERIFY(m.folder.read("first.con").contains("rem first"));

    // Save on it writes under its name without a dialog.
    fixture::tabs(w)->setActivePage(fixture::tabs(w)->page(0));
    m.editor()->insert(QStringLiteral("rem more\r\n"));
    Prompts::reset();
    fixture::button(w, "btnSave")->click();
    QVERIFY(Prompts::shown().isEmpty());
    QVERIFY(m.folder.read("first.con").contains("rem more"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
