#include "core/common/Version.h"
#include "tests/gui/support/MainWindowFixture.h"

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
    QCOMPARE(entries(w->mnuFile),
             QStringList({"New|Ctrl+N", "Open|Ctrl+O", "Open from Archive\u2026|",
                          "Quick Open\u2026|Ctrl+P", "Open Recent|", "Close|Ctrl+L", "-", "Font|",
                          "-", "Save|Ctrl+S", "Save As...|", "Save All|Ctrl+Alt+S", "-", "Print|",
                          "-", "Backup||off", "Restore||off", "-", "Exit|Ctrl+Q"}));
    QCOMPARE(entries(w->mnuEdit),
             QStringList({"Undo|Ctrl+Z", "Redo|Ctrl+Alt+Z|off", "-", "Cut|Ctrl+X", "Copy|Ctrl+C",
                          "Paste|Ctrl+V", "Delete|Ctrl+Del", "Select All|Ctrl+A",
                          "Toggle Comment|Ctrl+/", "Fold Block|Ctrl+Shift+[",
                          "Unfold Block|Ctrl+Shift+]", "-", "Find|Ctrl+F", "Find Next|F3",
                          "Find Previous|Shift+F3", "Replace|Ctrl+R", "Go to Line...|Ctrl+G",
                          "Find in Files|Ctrl+Shift+F"}));
    QCOMPARE(entries(w->mnuTools),
             QStringList({"Preferences|", "Mod Tree|Ctrl+Shift+E", "-", "Refresh Highlighting|F5",
                          "Refresh Object List|F6", "-", "Check for Updates|", "-",
                          "Index Folders\u2026|", "Go to Definition|F12", "Go Back|Alt+Left",
                          "Find References|Shift+F12", "Rename Name\u2026|F2", "Check Mod|",
                          "Next Problem|F8", "Previous Problem|Shift+F8", "-", "Level Map|",
                          "Template Tree|"}));
    QStringList top;
    for (const QAction *action : w->mnuMain->actions())
        top.append(action->text());
    QCOMPARE(top, QStringList({"&File", "&Edit", "&Tools", "&Help", "&About"}));
    QVERIFY(!w->mnuHelp->menu());
    QVERIFY(!w->mnuAbout->menu());
    // Every recent entry exists and starts invisible.
    QCOMPARE(w->mnuRecent->actions().size(), 10);
    for (const QAction *entry : w->mnuRecent->actions())
        QVERIFY(!entry->isVisible());
    // The editors are told about every menu key, disabled entries included.
    const QList<QKeySequence> keys = w->menuKeys();
    for (const char *key : {"Ctrl+L", "Ctrl+F", "Ctrl+R", "Ctrl+Alt+Z", "Ctrl+Del", "F5"})
        QVERIFY2(keys.contains(QKeySequence(QString::fromLatin1(key))), key);
}

void MainWindowTest::toolBarButtonsInOrderWithHotPictures() {
    MainWindow m;
    TFormMain *w = m.open();
    QList<QToolButton *> expected = {w->btnNew,     w->btnOpen,      w->btnSave,  w->btnUndo,
                                     w->btnRedo,    w->btnCut,       w->btnCopy,  w->btnPaste,
                                     w->btnComment, w->btnUnComment, w->btnLaunch};
    QList<QToolButton *> seen;
    int separators = 0;
    for (QAction *action : w->tbarMain->actions()) {
        if (action->isSeparator())
            ++separators;
        else if (auto *button = qobject_cast<QToolButton *>(w->tbarMain->widgetForAction(action)))
            seen.append(button);
    }
    QCOMPARE(seen, expected);
    QCOMPARE(separators, 4);
    QCOMPARE(w->tbarMain->actions().indexOf(w->sep1), 3);
    QCOMPARE(w->tbarMain->actions().indexOf(w->sep4), 13);
    for (int i = 0; i < w->imglTool.size(); ++i) {
        QCOMPARE(w->imglTool[i].size(), QSize(24, 24));
        QVERIFY(w->imglTool[i].toImage() != w->imglHotTool[i].toImage());
        for (int j = 0; j < i; ++j)
            QVERIFY(w->imglTool[i].toImage() != w->imglTool[j].toImage());
    }
    QCOMPARE(w->btnNew->size(), QSize(31, 30));
}

void MainWindowTest::titleAndVersion() {
    MainWindow m;
    TFormMain *w = m.open();
    QCOMPARE(w->windowTitle(), marlix::mainWindowTitle());
    QCOMPARE(w->lblVersion->text(), marlix::versionText());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(!w->lblVersion->isVisible());
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QVERIFY(w->tabControl->isVisible());

    // The tab pages take all of the window below the tool bar, and a document fills its page.
    const QWidget *client = w->centralWidget();
    QCOMPARE(w->tabControl->width(), client->width());
    QCOMPARE(w->TopBar->height() + w->tabControl->height(), client->height());
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
    w->mnuNewClick();
    QCOMPARE(Prompts::shownTexts(), QStringList({"Max controls reached"}));
    QCOMPARE(Prompts::shown().last().caption, QStringLiteral("Marlix"));
    QCOMPARE(m.pages(), 29);
    QVERIFY(!w->DocumentEditors[29] && !w->DocumentTabs[29]);

    // Close slot 0 while 1 and 2 are in use: New takes slot 0 again and puts its tab last.
    w->tabControl->setActivePage(w->DocumentTabs[0]);
    w->mnuCloseClick();
    QVERIFY(!w->DocumentTabs[0] && !w->DocumentEditors[0]);
    QCOMPARE(m.pages(), 28);
    w->btnNewClick();
    QCOMPARE(m.activeSlot(), 0);
    QCOMPARE(w->tabControl->indexOf(w->DocumentTabs[0]), 28);
    for (int i = 0; i < 29; ++i)
        QCOMPARE(w->DocumentTabs[i]->Tag, i);
    // The editor sits on its own tab page.
    QCOMPARE(w->DocumentEditors[0]->parentWidget(), w->DocumentTabs[0]);
    QCOMPARE(w->DocumentEditors[0]->ProgramFolder, m.folder.path());
}

void MainWindowTest::closingActivatesTheFollowingTabOrTheFirst() {
    MainWindow m;
    TFormMain *w = m.open();
    for (int i = 0; i < 4; ++i)
        w->NewDocumentTab();
    w->tabControl->setActivePage(w->DocumentTabs[1]);
    w->mnuCloseClick(); // middle: its right neighbour
    QCOMPARE(m.activeSlot(), 2);
    w->tabControl->setActivePage(w->DocumentTabs[3]);
    w->mnuCloseClick(); // rightmost: the first
    QCOMPARE(m.activeSlot(), 0);
    w->mnuCloseClick();
    QCOMPARE(m.activeSlot(), 2);
    w->mnuCloseClick(); // the only one: none
    QCOMPARE(m.pages(), 0);
    QVERIFY(!m.active());
    QVERIFY(!w->activeEditor());
    for (int i = 0; i < 30; ++i)
        QVERIFY(!w->DocumentEditors[i] && !w->DocumentTabs[i]);
}

void MainWindowTest::commandsDoNothingWithoutTabs() {
    MainWindow m;
    TFormMain *w = m.open();
    for (auto handler :
         {&TFormMain::mnuCloseClick, &TFormMain::btnSaveClick, &TFormMain::mnuSaveAsClick,
          &TFormMain::mnuSaveAllClick, &TFormMain::btnUndoClick, &TFormMain::btnCutClick,
          &TFormMain::btnCopyClick, &TFormMain::btnPasteClick, &TFormMain::mnuDeleteClick,
          &TFormMain::mnuSelectallClick, &TFormMain::btnCommentClick, &TFormMain::btnUnCommentClick,
          &TFormMain::mnuRefreshObjectsClick, &TFormMain::mnuRefreshObjectListClick,
          &TFormMain::btnRedoClick, &TFormMain::mnuHelpClick, &TFormMain::TopBarClick})
        (w->*handler)();
    QVERIFY(Prompts::shown().isEmpty());
    QCOMPARE(m.pages(), 0);
}

void MainWindowTest::closeBranches() {
    MainWindow m;
    TFormMain *w = m.open();
    // Unchanged: closed without a question.
    w->NewDocumentTab();
    w->mnuCloseClick();
    QCOMPARE(m.pages(), 0);
    QVERIFY(Prompts::shown().isEmpty());

    // Changed, Cancel: nothing changes; the question is the confirmation box.
    w->NewDocumentTab();
    m.editor()->insert(QStringLiteral("rem typed"));
    Prompts::answerMessage(QMessageBox::Cancel);
    w->mnuCloseClick();
    QCOMPARE(m.pages(), 1);
    const PromptRecord question = Prompts::shown().last();
    QCOMPARE(question.caption, QStringLiteral("Confirm"));
    QCOMPARE(question.text, QStringLiteral("File has changed, save changes?"));
    QCOMPARE(question.icon, QMessageBox::Question);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    // Yes on a never-saved document, Save dialog cancelled: stays open and changed.
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::cancelled());
    w->mnuCloseClick();
    QCOMPARE(m.pages(), 1);
    QVERIFY(m.editor()->DocChanged);
    QCOMPARE(Prompts::shown().last().kind, PromptRecord::File);

    // Yes on a never-saved document, file chosen: written, then closed.
    const QString target = m.folder.file("chosen.con");
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::chosen(target));
    w->mnuCloseClick();
    QCOMPARE(m.pages(), 0);
    QVERIFY(m.folder.read("chosen.con").contains("rem typed"));

    // Yes on a titled document saves to its caption; No discards.
    const QString titled = m.script("titled.con", "rem one\r\n");
    w->OpenDocumentFile(titled);
    m.editor()->insert(QStringLiteral("rem two\r\n"));
    Prompts::answerMessage(QMessageBox::Yes);
    w->mnuCloseClick();
    QCOMPARE(m.pages(), 0);
    QVERIFY(m.folder.read("titled.con").contains("rem two"));

    w->OpenDocumentFile(titled);
    const QByteArray before = m.folder.read("titled.con");
    m.editor()->insert(QStringLiteral("rem three\r\n"));
    Prompts::answerMessage(QMessageBox::No);
    w->mnuCloseClick();
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
    w->mnuClose->trigger(); // through the menu, as the user does, into the error display
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
    w->mnuExitClick();
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
    w->tabControl->setActivePage(w->tabControl->page(0));

    // Cancel at the first question keeps everything, and the window.
    Prompts::answerMessage(QMessageBox::Cancel);
    w->mnuExitClick();
    QCOMPARE(closedAgain.size(), 0);
    QVERIFY(w->isVisible());
    QCOMPARE(m.pages(), 3);
    QCOMPARE(m.caption(w->tabControl->indexOf(m.active())), titled); // the one asked about
    QCOMPARE(Prompts::shownTexts(), QStringList({"File has changed, save changes?"}));

    // A save that fails at the first keeps the window open, the error shown.
    QFile::setPermissions(titled, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    Prompts::answerMessage(QMessageBox::Yes);
    w->mnuExitClick();
    QCOMPARE(closedAgain.size(), 0);
    QCOMPARE(Prompts::shown().last().text, "Cannot create file " + titled);
    QFile::setPermissions(titled, QFile::ReadOwner | QFile::WriteOwner);

    // Yes saves the titled one; a cancelled Save dialog for the new one still keeps the window.
    Prompts::reset();
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::cancelled());
    w->mnuExitClick();
    QCOMPARE(closedAgain.size(), 0);
    QVERIFY(m.folder.read("titled.con").contains("rem two"));
    QCOMPARE(m.caption(w->tabControl->indexOf(m.active())), QString());

    // No for the last changed one: the window closes, and that document was not written.
    Prompts::answerMessage(QMessageBox::No);
    w->mnuExitClick();
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
    w->tabControl->setActivePage(w->tabControl->page(0));

    const QString name = m.folder.file("first.con");
    Prompts::answerMessage(QMessageBox::Yes);
    Prompts::answerFile(fixture::chosen(name));
    Prompts::answerMessage(QMessageBox::Cancel);
    w->mnuExitClick();
    QCOMPARE(closed.size(), 0);
    QCOMPARE(m.active(), second); // the document of the last question is in view
    QCOMPARE(m.caption(0), name);
    QVERIFY(m.folder.read("first.con").contains("rem first"));

    // Save on it writes under its name without a dialog.
    w->tabControl->setActivePage(w->tabControl->page(0));
    m.editor()->insert(QStringLiteral("rem more\r\n"));
    Prompts::reset();
    w->btnSaveClick();
    QVERIFY(Prompts::shown().isEmpty());
    QVERIFY(m.folder.read("first.con").contains("rem more"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
