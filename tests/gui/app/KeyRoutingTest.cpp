#include <QTest>

#include "app/StatusInfo.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

using namespace marlix;
using fixture::MainWindow;

// Keys typed into a real editor inside the real window: a key that belongs to a menu entry
// is the menu's, even when the entry is disabled or does nothing.
class KeyRoutingTest : public QObject {
    Q_OBJECT

private slots:
    void menuKeysWinOverTheEditor();
    void editingKeysActOnTheActiveDocument();
    void typingGoesOnInTheDocumentInViewAfterAClose();
    void redoKeysAndEntries();
    void keysThatChangeNoTextLeaveTheDocumentUnchanged();
};

namespace {
void typeInto(TAdvEdit *editor, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(editor, key, modifiers);
    QCoreApplication::processEvents();
}
} // namespace

void KeyRoutingTest::menuKeysWinOverTheEditor() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("keys.con", "rem one two\r\nsecond line\r\n"));
    TAdvEdit *editor = m.editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    const QByteArray text = editor->documentBytes();
    editor->setCursorPosition(0, 4);

    // Find and Replace open their bar and leave the text alone; Redo does nothing.
    typeInto(editor, Qt::Key_F, Qt::ControlModifier);
    typeInto(editor, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!editor->hasFocus()); // the bar's field has it
    editor->setFocus();
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(editor->documentBytes(), text);
    // Delete takes the selection only; with none, the next word stays.
    typeInto(editor, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), text);
    QVERIFY(Prompts::shown().isEmpty());

    // Ctrl+L closes the document instead of cutting a line.
    QSignalSpy closes(fixture::action(w, "mnuClose"), &QAction::triggered);
    typeInto(editor, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(closes.size(), 1);
    QCOMPARE(m.pages(), 0);
    QCOMPARE(m.folder.read("keys.con"), QByteArray("rem one two\r\nsecond line\r\n"));
}

void KeyRoutingTest::editingKeysActOnTheActiveDocument() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("edit.con", "alpha beta\r\n"));
    TAdvEdit *editor = m.editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());

    editor->setSelection(0, 0, 0, 6); // "alpha "
    typeInto(editor, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("beta"));
    // Ctrl+Z (the menu's Undo) undoes like the Undo button.
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("alpha beta"));
    typeInto(editor, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(editor->selectedText(), QStringLiteral("alpha beta"));
    fixture::button(w, "btnUndo")->click(); // nothing left to undo
    QCOMPARE(editor->documentBytes(), QByteArray("alpha beta"));

    // Ctrl+N makes a new document; Ctrl+S on it asks for a name.
    typeInto(editor, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m.pages(), 2);
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(Prompts::shown().last().kind, PromptRecord::File);
}

// Keys go where the window's focus is, as the user's typing does.
void KeyRoutingTest::typingGoesOnInTheDocumentInViewAfterAClose() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("first.con", "first\r\n"));
    w->OpenDocumentFile(m.script("second.con", "second\r\n"));
    w->OpenDocumentFile(m.script("third.con", "third\r\n"));
    w->OpenDocumentFile(m.folder.file("second.con"));
    QTRY_VERIFY(m.editor()->hasFocus());

    QTest::keyClick(w->windowHandle(), Qt::Key_L, Qt::ControlModifier); // unchanged: no question
    QCOMPARE(m.caption(m.pages() - 1), m.folder.file("third.con"));
    QCOMPARE(m.active()->caption(), m.folder.file("third.con"));
    QTest::keyClick(w->windowHandle(), Qt::Key_X);
    QCOMPARE(m.editor()->documentBytes(), QByteArray("xthird"));

    // Also after a changed document was closed through the question.
    Prompts::answerMessage(QMessageBox::No);
    QTest::keyClick(w->windowHandle(), Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(m.active()->caption(), m.folder.file("first.con"));
    QTest::keyClick(w->windowHandle(), Qt::Key_Y);
    QCOMPARE(m.editor()->documentBytes(), QByteArray("yfirst"));
}

QTEST_MAIN(KeyRoutingTest)
#include "KeyRoutingTest.moc"

// Redo did nothing at all: its menu entry and button had no action.
void KeyRoutingTest::redoKeysAndEntries() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("redo.con", "alpha\r\n"));
    TAdvEdit *editor = m.editor();
    QAction *redoEntry = fixture::action(w, "mnuRedo");
    QToolButton *redoButton = fixture::button(w, "btnRedo");
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    QCOMPARE(redoEntry->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
    QVERIFY(!redoEntry->isEnabled());
    QVERIFY(!redoButton->isEnabled());

    typeInto(editor, Qt::Key_X, Qt::NoModifier);
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("alpha"));
    QTRY_VERIFY(redoEntry->isEnabled());
    QVERIFY(redoButton->isEnabled());
    typeInto(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("xalpha"));
    QTRY_VERIFY(!redoEntry->isEnabled());
    QVERIFY(!redoButton->isEnabled());
    // With nothing to redo the keys do nothing, and type nothing either.
    typeInto(editor, Qt::Key_Y, Qt::ControlModifier);
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("xalpha"));

    typeInto(editor, Qt::Key_Z, Qt::ControlModifier);
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("xalpha"));
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier);
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("xalpha"));
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(redoButton->isEnabled());
    redoButton->click();
    QCOMPARE(editor->documentBytes(), QByteArray("xalpha"));

    // The entries follow the document in view.
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(redoEntry->isEnabled());
    fixture::trigger(w, "mnuNew");
    QTRY_VERIFY(!redoEntry->isEnabled());
    w->switchTab(-1);
    QTRY_VERIFY(redoEntry->isEnabled());
    QVERIFY(Prompts::shown().isEmpty());
}

// A click, Esc and a caret key in an unchanged script marked it changed: "*" on its tab,
// "Modified" in the status bar and a question on closing.
void KeyRoutingTest::keysThatChangeNoTextLeaveTheDocumentUnchanged() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    const QString path = m.script("calm.con", "ObjectTemplate.create Vehicle Calm\r\nx\r\n");
    w->OpenDocumentFile(path);
    TAdvEdit *editor = m.editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Right, Qt::Key_Down, Qt::Key_End, Qt::Key_Home,
                        Qt::Key_PageDown, Qt::Key_PageUp})
        typeInto(editor, key, Qt::NoModifier);
    QCoreApplication::processEvents();
    QVERIFY(!editor->DocChanged);
    QCOMPARE(m.active()->displayText(), path);
    QCOMPARE(w->documentStatus()->changed->text(), QString());

    typeInto(editor, Qt::Key_Q, Qt::NoModifier);
    QTRY_COMPARE(m.active()->displayText(), QLatin1Char('*') + path);
    QTRY_COMPARE(w->documentStatus()->changed->text(), QStringLiteral("Modified"));
    typeInto(editor, Qt::Key_Z, Qt::ControlModifier); // back to the text on disk
    QTRY_COMPARE(m.active()->displayText(), path);
    QTRY_COMPARE(w->documentStatus()->changed->text(), QString());
    fixture::trigger(w, "mnuClose");
    QCOMPARE(m.pages(), 0);
    QVERIFY(Prompts::shown().isEmpty()); // no question
    QCOMPARE(m.folder.read("calm.con"), QByteArray("ObjectTemplate.create Vehicle Calm\r\nx\r\n"));
}
