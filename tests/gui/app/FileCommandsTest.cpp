#include "tests/gui/support/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace marlix;
using fixture::MainWindow;

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void openLoadsCaptionsAndRecordsTheFile();
    void openingAnOpenPathOnlySwitchesTabs();
    void badFiles();
    void openDialogAndItsSilentLimit();
    void saveAndSaveAs();
    void saveAllAsksForEachUntitledDocumentInSlotOrder();
    void saveOfReadOnlyScriptKeepsDocumentChanged();
    void fileDialogsSharedOneLastFolder();
    void openChoosesSeveralFiles();
    void anotherSpellingOfAnOpenFileOnlySwitchesTabs();
};

// Open and Save As start in the folder of the script in view; with none (no tab, or an
// untitled one) each dialog starts where its own last use ended, not where another was left.
void FileCommandsTest::fileDialogsSharedOneLastFolder() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString opened = m.script("mods/one/init.con", "a\r\n");
    const QString other = m.script("mods/two/other.con", "b\r\n");
    Prompts::answerFile(fixture::chosen(opened));
    fixture::button(w, "btnOpen")->click();
    Prompts::answerFile(fixture::cancelled());
    fixture::button(w, "btnOpen")->click();
    const FileRequest second = Prompts::shown().last().file;
    QCOMPARE(second.folder, m.folder.path() + QStringLiteral("mods/one"));
    QCOMPARE(second.fileName, QStringLiteral("init.con"));
    // Save As of the script in view starts beside it, though the save dialog had no use yet.
    QDir().mkpath(m.folder.path() + QStringLiteral("saved"));
    Prompts::answerFile(fixture::chosen(m.folder.path() + QStringLiteral("saved/as.con")));
    fixture::trigger(w, "mnuSaveAs");
    QCOMPARE(Prompts::shown().last().file.folder, m.folder.path() + QStringLiteral("mods/one"));
    // The script in view is now saved/as.con: both dialogs start there.
    Prompts::answerFile(fixture::cancelled());
    fixture::trigger(w, "mnuSaveAs");
    QCOMPARE(Prompts::shown().last().file.folder, m.folder.path() + QStringLiteral("saved"));
    QCOMPARE(Prompts::shown().last().file.fileName, QStringLiteral("as.con"));
    w->OpenDocumentFile(other);
    Prompts::answerFile(fixture::cancelled());
    fixture::button(w, "btnOpen")->click();
    QCOMPARE(Prompts::shown().last().file.folder, m.folder.path() + QStringLiteral("mods/two"));

    // No script in view: the dialog's own last folder, not the one of the script before.
    fixture::button(w, "btnNew")->click();
    Prompts::answerFile(fixture::cancelled());
    fixture::button(w, "btnOpen")->click();
    QCOMPARE(Prompts::shown().last().file.folder, m.folder.path() + QStringLiteral("mods/one"));
    Prompts::answerFile(fixture::cancelled());
    fixture::trigger(w, "mnuSaveAs");
    QCOMPARE(Prompts::shown().last().file.folder, m.folder.path() + QStringLiteral("saved"));
    // The dialogs themselves are left as they were: the folder of a script is not their last
    // folder, which the next use with no script in view shows.
    Prompts::answerFile(fixture::cancelled());
    fixture::button(w, "btnOpen")->click();
    QCOMPARE(Prompts::shown().last().file.folder, m.folder.path() + QStringLiteral("mods/one"));
}

// "Open" chooses several files at once; each opens, in the order chosen, the last in view.
void FileCommandsTest::openChoosesSeveralFiles() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString a = m.script("a.con", "a\r\n");
    const QString b = m.script("b.con", "b\r\n");
    const QString c = m.script("c.con", "c\r\n");
    w->OpenDocumentFile(b);
    FileAnswer answer = fixture::chosen(a);
    answer.fileNames = {a, b, c};
    Prompts::answerFile(answer);
    fixture::button(w, "btnOpen")->click();
    QVERIFY(Prompts::shown().last().file.multiple);
    QCOMPARE(m.pages(), 3);
    QCOMPARE(m.caption(0), b);
    QCOMPARE(m.caption(1), a);
    QCOMPARE(m.caption(2), c);
    QCOMPARE(m.active(), fixture::tabs(w)->page(2));
    QVERIFY(Prompts::shownTexts().isEmpty());
}

// `marlix ../Sherman/Objects.con` opened a second tab for a file already open.
void FileCommandsTest::anotherSpellingOfAnOpenFileOnlySwitchesTabs() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString sherman = m.script("Sherman/Objects.con", "rem s\r\n");
    const QString tiger = m.script("Tiger/Objects.con", "rem t\r\n");
    w->OpenDocumentFile(sherman);
    w->OpenDocumentFile(tiger);
    w->OpenDocumentFile(m.folder.path() + "Tiger/../Sherman/Objects.con");
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.activeSlot(), 0);
    w->OpenDocumentFile(m.folder.path() + "Tiger//./Objects.con");
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.activeSlot(), 1);
    QVERIFY(QFile::link(sherman, m.folder.path() + "link.con"));
    w->OpenDocumentFile(m.folder.path() + "link.con");
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.activeSlot(), 0);
    // A new file given with "..": its tab carries the plain path.
    const QString third = m.script("Sherman/Sherman.con", "rem\r\n");
    w->OpenDocumentFile(m.folder.path() + "Tiger/../Sherman/Sherman.con");
    QCOMPARE(m.pages(), 3);
    QCOMPARE(m.caption(2), third);
}

void FileCommandsTest::openLoadsCaptionsAndRecordsTheFile() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString path = m.script("long folder name/with blanks/init.con",
                                  "rem first\r\nObjectTemplate.create Bundle tank\nlast");
    w->OpenDocumentFile(path);
    QCOMPARE(m.pages(), 1);
    QCOMPARE(m.caption(0), path); // the whole path, as it was passed
    QCOMPARE(m.editor()->documentBytes(),
             QByteArray("rem first\r\nObjectTemplate.create Bundle tank\r\nlast"));
    QVERIFY(!m.editor()->DocChanged);
    QVERIFY(!m.editor()->isUndoAvailable());
    QCOMPARE(m.folder.read("recent.ini"), path.toLocal8Bit() + "\r\n");
    QVERIFY(Prompts::shown().isEmpty());
}

void FileCommandsTest::openingAnOpenPathOnlySwitchesTabs() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString a = m.script("a.con", "a\r\n");
    const QString b = m.script("b.con", "b\r\n");
    const QString c = m.script("c.con", "c\r\n");
    w->OpenDocumentFile(a);
    w->OpenDocumentFile(b);
    w->OpenDocumentFile(c);
    // Close the first tab, so that the tab looked for is neither first nor in slot order.
    fixture::tabs(w)->setActivePage(w->pageOfSlot(0));
    fixture::trigger(w, "mnuClose");
    m.script("b.con", "changed on disk\r\n");
    m.editor()->insert(QStringLiteral("edited "));
    w->OpenDocumentFile(b);
    QCOMPARE(m.pages(), 2);
    QCOMPARE(m.activeSlot(), 1);
    QCOMPARE(m.editor()->documentBytes(), QByteArray("edited b")); // not read again
    // Switching does not reorder the recent list.
    QCOMPARE(m.folder.read("recent.ini").left(c.size()), c.toLocal8Bit());

    // The same file under a path differing in letter case is another document.
    const QString upper = m.folder.path() + QStringLiteral("C.con");
    m.script("C.con", "upper\r\n");
    w->OpenDocumentFile(upper);
    QCOMPARE(m.pages(), 3);
    QCOMPARE(m.caption(2), upper);
}

void FileCommandsTest::badFiles() {
    MainWindow m;
    TFormMain *w = m.open();
    w->OpenDocumentFile(m.folder.file("missing.con"));
    m.folder.write("folder.con/x", "");
    w->OpenDocumentFile(m.folder.file("folder.con"));
    QCOMPARE(Prompts::shownTexts(), QStringList({"Unable to load file", "Unable to load file"}));
    QCOMPARE(Prompts::shown().first().caption, QStringLiteral("Marlix"));
    QCOMPARE(m.pages(), 0);
    QVERIFY(!m.folder.exists("recent.ini"));

    // A file that exists but cannot be read: error display, the new tab stays empty and
    // untitled, nothing recorded.
    Prompts::reset();
    QCOMPARE(m.pages(), 0);
    Prompts::answerFile(fixture::chosen(QStringLiteral("/proc/self/mem")));
    fixture::trigger(w, "mnuOpen");
    QCOMPARE(m.pages(), 1);
    QCOMPARE(m.caption(0), QString());
    QVERIFY(m.editor()->documentBytes().isEmpty());
    QCOMPARE(Prompts::shownTexts().last(), QStringLiteral("Cannot open file /proc/self/mem"));
    QVERIFY(!m.folder.exists("recent.ini"));
    fixture::trigger(w, "mnuClose");

    // Zero bytes, NUL bytes and one very long line load byte for byte.
    w->OpenDocumentFile(m.script("empty.con", ""));
    QVERIFY(m.editor()->documentBytes().isEmpty());
    const QByteArray binary("rem \0\x01\xff\x80 end\r\nnext", 18);
    w->OpenDocumentFile(m.script("binary.con", binary));
    QCOMPARE(m.editor()->documentBytes(), binary);
    const QByteArray longLine = QByteArray(300000, 'x');
    w->OpenDocumentFile(m.script("long.con", longLine + "\r\n"));
    QCOMPARE(m.editor()->documentBytes(), longLine);
    QCOMPARE(m.pages(), 3);
    QCOMPARE(m.folder.read("binary.con"), binary); // opening never writes the script
}

void FileCommandsTest::openDialogAndItsSilentLimit() {
    MainWindow m;
    TFormMain *w = m.open();
    fixture::trigger(w, "mnuOpen"); // cancelled
    QCOMPARE(m.pages(), 0);
    const FileRequest open = Prompts::shown().last().file;
    QCOMPARE(open.kind, FileRequest::Open);
    QCOMPARE(open.filter, QStringLiteral("BF1942 Con Files (*.con)|*.con|Con Backup Files "
                                         "(*.bcon)|*.bcon|All Files (*.*)|*.*"));
    QCOMPARE(open.filterIndex, 1);
    QCOMPARE(open.defaultSuffix, QStringLiteral("con"));
    QVERIFY(open.fileName.isEmpty());

    for (int i = 0; i < 29; ++i)
        w->NewDocumentTab();
    Prompts::reset();
    fixture::button(w, "btnOpen")->click();
    QVERIFY(Prompts::shown().isEmpty()); // no dialog and no message
    // The other ways in still report the limit; an open document still comes forward.
    // The fourth tab saved under a name, as a user saves it.
    fixture::tabs(w)->setActivePage(w->pageOfSlot(3));
    Prompts::answerFile(fixture::chosen(m.script("third.con", "")));
    fixture::trigger(w, "mnuSaveAs");
    Prompts::reset();
    fixture::tabs(w)->setActivePage(w->pageOfSlot(0));
    w->OpenDocumentFile(m.folder.file("third.con"));
    QCOMPARE(m.activeSlot(), 3);
    w->OpenDocumentFile(m.script("other.con", ""));
    QCOMPARE(Prompts::shownTexts(), QStringList({"Max controls reached"}));
    QCOMPARE(m.pages(), 29);
}

void FileCommandsTest::saveAndSaveAs() {
    MainWindow m;
    TFormMain *w = m.open();
    w->NewDocumentTab();
    m.editor()->insert(QStringLiteral("rem new"));
    fixture::button(w, "btnSave")->click(); // dialog cancelled
    QCOMPARE(m.caption(0), QString());
    QVERIFY(m.editor()->DocChanged);
    const FileRequest save = Prompts::shown().last().file;
    QCOMPARE(save.kind, FileRequest::Save);
    QCOMPARE(save.filter, QStringLiteral("BF1942 Con File (*.con)|*.con|Con Backup File "
                                         "(*.bcon)|*.bcon|All Files(*.*)|*.*"));
    QCOMPARE(save.defaultSuffix, QStringLiteral("con"));

    const QString first = m.script("first.con", "old contents that go\r\n");
    Prompts::answerFile(fixture::chosen(first));
    fixture::trigger(w, "mnuSave"); // over an existing file, no question
    QCOMPARE(m.caption(0), first);
    QVERIFY(!m.editor()->DocChanged);
    QVERIFY(m.folder.read("first.con").contains("rem new"));
    QVERIFY(!m.folder.read("first.con").contains("old contents"));
    QCOMPARE(Prompts::shown().size(), 2); // the two dialogs, nothing else

    // Save As to a new name: the caption follows, the old file stays as it was.
    const QByteArray saved = m.folder.read("first.con");
    m.editor()->insert(QStringLiteral("rem more "));
    const QString second = m.folder.file("second.con");
    Prompts::answerFile(fixture::chosen(second));
    fixture::trigger(w, "mnuSaveAs");
    QCOMPARE(m.caption(0), second);
    QCOMPARE(m.folder.read("first.con"), saved);
    QVERIFY(m.folder.read("second.con").contains("rem more"));
    // Saving never touches the recent list.
    QVERIFY(!m.folder.exists("recent.ini"));
}

void FileCommandsTest::saveAllAsksForEachUntitledDocumentInSlotOrder() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString titled = m.script("titled.con", "rem t\r\n");
    w->NewDocumentTab();         // slot 0, untitled
    w->OpenDocumentFile(titled); // slot 1
    w->NewDocumentTab();         // slot 2, untitled
    fixture::tabs(w)->setActivePage(w->pageOfSlot(0));
    m.folder.write("titled.con", "changed on disk\r\n");
    Prompts::reset();
    Prompts::answerFile(fixture::cancelled());
    const QString chosen = m.folder.file("second.con");
    Prompts::answerFile(fixture::chosen(chosen));
    fixture::trigger(w, "mnuSaveAll");
    QCOMPARE(Prompts::shown().size(), 2);
    QCOMPARE(Prompts::shown()[0].kind, PromptRecord::File);
    QCOMPARE(Prompts::shown()[1].kind, PromptRecord::File);
    QCOMPARE(m.caption(0), QString());
    QCOMPARE(m.caption(2), chosen);
    QVERIFY(m.folder.exists("second.con"));
    // An unchanged document is written all the same.
    QVERIFY(!m.folder.read("titled.con").contains("changed on disk"));
    QCOMPARE(m.activeSlot(), 2);
}

void FileCommandsTest::saveOfReadOnlyScriptKeepsDocumentChanged() {
    MainWindow m;
    TFormMain *w = m.open();
    const QString a = m.script("a.con", "rem a\r\n");
    const QString b = m.script("b.con", "rem b\r\n");
    w->OpenDocumentFile(a);
    w->OpenDocumentFile(b);
    QFile::setPermissions(a, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    w->editorOfSlot(0)->insert(QStringLiteral("rem edit "));
    w->editorOfSlot(1)->insert(QStringLiteral("rem edit "));
    fixture::tabs(w)->setActivePage(w->pageOfSlot(0));
    fixture::trigger(w, "mnuSave");
    QCOMPARE(Prompts::shownTexts(), QStringList({"Cannot create file " + a}));
    QVERIFY(w->editorOfSlot(0)->DocChanged);
    QCOMPARE(m.folder.read("a.con"), QByteArray("rem a\r\n"));
    // Save All stops at the first failure: the later document is not written.
    fixture::trigger(w, "mnuSaveAll");
    QCOMPARE(Prompts::shownTexts().size(), 2);
    QCOMPARE(m.folder.read("b.con"), QByteArray("rem b\r\n"));
    QCOMPARE(m.pages(), 2);
}

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
