// Scripts changed on disk while open, and Backup / Restore, through the real main window.
#include "app/StatusInfo.h"
#include "tests/gui/support/WindowPartsA.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

using namespace marlix;
using fixture::MainWindow;

namespace {

// The program goes to the back (no window of it has the focus) and comes to the front again.
bool comeBackToFront(TFormMain *w) {
    QDialog other;
    other.show();
    if (!QTest::qWaitForWindowActive(&other))
        return false;
    other.hide();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        return false;
    QCoreApplication::processEvents(); // the look at the files follows the activation
    return true;
}

// A main window on the screen and active, as the user works with it.
TFormMain *shownWindow(MainWindow &m) {
    TFormMain *w = m.open();
    w->show();
    return QTest::qWaitForWindowActive(w) ? w : nullptr;
}

QByteArray allBytes() {
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            bytes.append(char(b));
    return bytes;
}

} // namespace

class DiskBackupTest : public QObject {
    Q_OBJECT

private slots:
    void unchangedDocumentReloadsKeepingItsCaretLine();
    void changedDocumentAsksBeforeReloading();
    void deletedScriptKeepsItsTextAsChanged();
    void ownSavesAreNoChangeOnDisk();
    void backupAndRestoreRoundTripEveryByte();
    void backupEntriesNeedANamedDocumentAndABackup();
    void ownSaveOfAnLfScriptIsNoChangeOnDisk();
    void restoreKeepsTheCaretAndTheView();
};

void DiskBackupTest::unchangedDocumentReloadsKeepingItsCaretLine() {
    MainWindow m;
    TFormMain *w = shownWindow(m);
    QVERIFY(w);
    const QString path = m.script("disk.con", "rem 1\r\nrem 2\r\nrem 3\r\nrem 4\r\n");
    w->OpenDocumentFile(path);
    m.editor()->setCursorPosition(2, 3);
    QVERIFY(comeBackToFront(w));
    QCOMPARE(m.editor()->documentBytes(), QByteArray("rem 1\r\nrem 2\r\nrem 3\r\nrem 4"));

    // The caret keeps its line and column; the object scan selects nothing.
    m.script("disk.con", "rem one\nrem two\nrem three, longer\nObjectTemplate.create Bundle T\n");
    QVERIFY(comeBackToFront(w));
    QTRY_COMPARE(m.editor()->documentBytes(),
                 QByteArray("rem one\r\nrem two\r\nrem three, "
                            "longer\r\nObjectTemplate.create Bundle T"));
    int line = -1, index = -1;
    m.editor()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
    QCOMPARE(index, 3);
    QVERIFY(!m.editor()->hasSelectedText());
    QVERIFY(!m.editor()->DocChanged);
    QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("disk.con")));
    QVERIFY(Prompts::shown().isEmpty());
    // Once reloaded, the same bytes are no news.
    m.editor()->setCursorPosition(0, 0);
    QVERIFY(comeBackToFront(w));
    m.editor()->getCursorPosition(&line, &index);
    QCOMPARE(line, 0);
}

void DiskBackupTest::changedDocumentAsksBeforeReloading() {
    MainWindow m;
    TFormMain *w = shownWindow(m);
    QVERIFY(w);
    const QString path = m.script("asked.con", "rem disk\r\n");
    w->OpenDocumentFile(path);
    w->OpenDocumentFile(m.script("other.con", "rem other\r\n"));
    w->editorOfSlot(0)->insert(QStringLiteral("mine "));
    w->editorOfSlot(0)->DocChanged = true;

    // No: the text stays, and the same change is not asked about again.
    m.script("asked.con", "rem theirs\r\n");
    Prompts::answerMessage(QMessageBox::No);
    QVERIFY(comeBackToFront(w));
    QCOMPARE(Prompts::shownTexts(),
             QStringList({"asked.con has changed on disk. Reload it and lose your changes?"}));
    QCOMPARE(m.activeSlot(), 0); // asked with the document in view
    QCOMPARE(w->editorOfSlot(0)->documentBytes(), QByteArray("mine rem disk"));
    QVERIFY(w->editorOfSlot(0)->DocChanged);
    QVERIFY(comeBackToFront(w));
    QCOMPARE(Prompts::shown().size(), 1);

    // Yes: the file's text replaces the document's.
    m.script("asked.con", "rem theirs again\r\n");
    Prompts::answerMessage(QMessageBox::Yes);
    QVERIFY(comeBackToFront(w));
    QCOMPARE(Prompts::shown().size(), 2);
    QCOMPARE(w->editorOfSlot(0)->documentBytes(), QByteArray("rem theirs again"));
    QVERIFY(!w->editorOfSlot(0)->DocChanged);
}

void DiskBackupTest::deletedScriptKeepsItsTextAsChanged() {
    MainWindow m;
    TFormMain *w = shownWindow(m);
    QVERIFY(w);
    const QString path = m.script("gone.con", "rem gone\r\n");
    w->OpenDocumentFile(path);
    QVERIFY(QFile::remove(path));
    QVERIFY(comeBackToFront(w));
    QCOMPARE(m.editor()->documentBytes(), QByteArray("rem gone"));
    QVERIFY(m.editor()->DocChanged);
    QTRY_COMPARE(m.active()->displayText(), QLatin1Char('*') + path);
    QVERIFY(Prompts::shown().isEmpty());
    // Closing it asks, and Yes writes the file back.
    Prompts::answerMessage(QMessageBox::Yes);
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 0);
    QVERIFY(m.folder.read("gone.con").endsWith("rem gone\r\n"));
}

// A save changes the file's bytes; coming back afterwards must neither reload nor ask, also
// when the document was edited after the save.
void DiskBackupTest::ownSavesAreNoChangeOnDisk() {
    MainWindow m;
    TFormMain *w = shownWindow(m);
    QVERIFY(w);
    w->OpenDocumentFile(m.script("saved.con", "rem saved\r\n"));
    m.editor()->insert(QStringLiteral("a "));
    fixture::trigger(w, "mnuSave");
    m.editor()->insert(QStringLiteral("b "));
    m.editor()->DocChanged = true;
    const QByteArray text = m.editor()->documentBytes();
    QVERIFY(comeBackToFront(w));
    QCOMPARE(m.editor()->documentBytes(), text);
    // Save As to a new name: the new file is the document's.
    Prompts::answerFile(fixture::chosen(m.folder.file("renamed.con")));
    fixture::trigger(w, "mnuSaveAs");
    const QByteArray saved = m.editor()->documentBytes();
    QVERIFY(comeBackToFront(w));
    QCOMPARE(m.editor()->documentBytes(), saved);
    QCOMPARE(Prompts::shown().size(), 1);
    QVERIFY(!m.editor()->DocChanged);
}

void DiskBackupTest::backupAndRestoreRoundTripEveryByte() {
    MainWindow m;
    TFormMain *w = m.open();
    const QByteArray original = "rem \x80\x81\x9f\xa0\xff\r\n" + allBytes() + "\r\nlast";
    const QString path = m.script("mod/Tank.con", original);
    w->OpenDocumentFile(path);
    const QByteArray text = m.editor()->documentBytes();
    QVERIFY(parts::chooseFromFileMenu(w, "mnuBackup"));
    // The text as it is, no header block, every line ended.
    QCOMPARE(m.folder.read("mod/Tank.bcon"), original + "\r\n");
    QCOMPARE(m.folder.read("mod/Tank.con"), original);
    QVERIFY(!m.editor()->DocChanged);

    m.editor()->selectAll();
    m.editor()->removeSelectedText();
    m.editor()->insert(QStringLiteral("replaced"));
    // No: nothing changes.
    Prompts::answerMessage(QMessageBox::No);
    QVERIFY(parts::chooseFromFileMenu(w, "mnuRestore"));
    QCOMPARE(Prompts::shownTexts(),
             QStringList({"Replace the text with the backup in Tank.bcon?"}));
    QCOMPARE(m.editor()->documentBytes(), QByteArray("replaced"));

    Prompts::answerMessage(QMessageBox::Yes);
    QVERIFY(parts::chooseFromFileMenu(w, "mnuRestore"));
    QCOMPARE(m.editor()->documentBytes(), text);
    QVERIFY(m.editor()->DocChanged);
    // One undo step gives the text from before the restore back, and redo the backup's.
    m.editor()->undo();
    QCOMPARE(m.editor()->documentBytes(), QByteArray("replaced"));
    m.editor()->redo();
    QCOMPARE(m.editor()->documentBytes(), text);
    QCOMPARE(m.folder.read("mod/Tank.bcon"), original + "\r\n");
}

void DiskBackupTest::backupEntriesNeedANamedDocumentAndABackup() {
    MainWindow m;
    TFormMain *w = m.open();
    QVERIFY(!fixture::action(w, "mnuBackup")->isEnabled());
    QVERIFY(!fixture::action(w, "mnuRestore")->isEnabled());
    w->NewDocumentTab();
    QVERIFY(!fixture::action(w, "mnuBackup")->isEnabled());
    QVERIFY(!parts::chooseFromFileMenu(w, "mnuBackup")); // untitled: nothing to write beside
    w->OpenDocumentFile(m.script("entries.con", "rem e\r\n"));
    QTRY_VERIFY(fixture::action(w, "mnuBackup")->isEnabled());
    QVERIFY(!fixture::action(w, "mnuRestore")->isEnabled());
    QVERIFY(parts::chooseFromFileMenu(w, "mnuBackup"));
    QVERIFY(m.folder.exists("entries.bcon"));
    QVERIFY(fixture::action(w, "mnuRestore")->isEnabled());
    w->switchTab(1);
    QVERIFY(!fixture::action(w, "mnuRestore")->isEnabled());
    w->switchTab(1);
    QFile::remove(m.folder.file("entries.bcon"));
    parts::find<QMenu>(w, "mnuFile")->popup(QPoint(0, 0)); // the menu looks again as it opens
    parts::find<QMenu>(w, "mnuFile")->hide();
    QVERIFY(!fixture::action(w, "mnuRestore")->isEnabled());
    // A backup that cannot be written is reported and the document stays as it is.
    QVERIFY(QDir().mkpath(m.folder.file("entries.bcon")));
    QVERIFY(parts::chooseFromFileMenu(w, "mnuBackup"));
    QCOMPARE(
        Prompts::shownTexts(),
        QStringList({QStringLiteral("Cannot create file %1").arg(m.folder.file("entries.bcon"))}));
    QVERIFY(!m.editor()->DocChanged);
}

QTEST_MAIN(DiskBackupTest)
#include "DiskBackupTest.moc"

// Saved with LF, the file was no longer what the document would write with CR LF, so coming
// back reloaded it as changed by another program.
void DiskBackupTest::ownSaveOfAnLfScriptIsNoChangeOnDisk() {
    MainWindow m;
    TFormMain *w = shownWindow(m);
    QVERIFY(w);
    w->OpenDocumentFile(m.script("lf.con", "rem lf\nObjectTemplate.create Bundle T\n"));
    m.editor()->setCursorPosition(1, 0);
    m.editor()->insert(QStringLiteral("a "));
    fixture::trigger(w, "mnuSave");
    const QByteArray saved = m.folder.read("lf.con");
    QVERIFY(!saved.contains('\r'));
    QVERIFY(saved.endsWith("\n\nrem lf\na ObjectTemplate.create Bundle T\n"));
    m.editor()->setCursorPosition(4, 2);
    QVERIFY(comeBackToFront(w));
    int line = -1, index = -1;
    m.editor()->getCursorPosition(&line, &index);
    QCOMPARE(line, 4);
    QCOMPARE(index, 2);
    QVERIFY(!w->statusBar()->currentMessage().contains(QStringLiteral("reloaded")));
    QVERIFY(Prompts::shown().isEmpty());
}

// Restore left the caret at the top of the script.
void DiskBackupTest::restoreKeepsTheCaretAndTheView() {
    MainWindow m;
    TFormMain *w = shownWindow(m);
    QVERIFY(w);
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += "rem line " + QByteArray::number(i) + "\r\n";
    w->OpenDocumentFile(m.script("long.con", text));
    QVERIFY(parts::chooseFromFileMenu(w, "mnuBackup"));
    TAdvEdit *editor = m.editor();
    editor->setFirstVisibleLine(150);
    editor->setCursorPosition(160, 5);
    editor->insert(QStringLiteral("x"));
    Prompts::answerMessage(QMessageBox::Yes);
    QVERIFY(parts::chooseFromFileMenu(w, "mnuRestore"));
    QCOMPARE(editor->documentBytes(), text.chopped(2));
    int line = -1, index = -1;
    editor->getCursorPosition(&line, &index);
    QCOMPARE(line, 160);
    QCOMPARE(index, 5);
    QCOMPARE(editor->firstVisibleLine(), 150);
    QVERIFY(!editor->hasSelectedText());
}
