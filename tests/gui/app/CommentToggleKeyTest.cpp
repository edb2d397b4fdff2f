#include <QTest>

#include "tests/gui/support/MainWindowFixture.h"

#include <QSignalSpy>
#include <QToolButton>

using fixture::MainWindow;

// Ctrl+/ typed into the real window: the menu entry takes the key from the editor (which
// would otherwise move the caret by word parts), toggles the selected lines as one undo step
// and leaves the comment buttons as they were.
class CommentToggleKeyTest : public QObject {
    Q_OBJECT

private slots:
    void keyCommentsThenUncommentsAsOneUndoStep();
    void buttonsKeepTheirMeaning();
};

void CommentToggleKeyTest::keyCommentsThenUncommentsAsOneUndoStep() {
    MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("toggle.con", "alpha\r\nrem beta\r\ngamma\r\nlast\r\n"));
    TAdvEdit *editor = m.editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    auto *entry = w->findChild<QAction *>(QStringLiteral("toggleCommentAction"));
    QVERIFY(entry);
    QSignalSpy triggered(entry, &QAction::triggered);

    // Three whole lines: the selection ends at the start of the fourth, which stays out.
    editor->setSelection(0, 0, 3, 0);
    QTest::keyClick(editor, Qt::Key_Slash, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(triggered.size(), 1);
    QCOMPARE(editor->documentBytes(), QByteArray("rem alpha\r\nrem beta\r\nrem gamma\r\nlast"));
    QVERIFY(editor->DocChanged);
    int fromLine, fromIndex, toLine, toIndex;
    editor->getSelection(&fromLine, &fromIndex, &toLine, &toIndex);
    QCOMPARE(fromLine, 0);
    QCOMPARE(fromIndex, 0);
    QCOMPARE(toLine, 3);
    QCOMPARE(toIndex, 0);

    // Pressed again on the same lines, all commented now: they are uncommented.
    QTest::keyClick(editor, Qt::Key_Slash, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(editor->documentBytes(), QByteArray("alpha\r\nbeta\r\ngamma\r\nlast"));

    // Each press is one undo step.
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("rem alpha\r\nrem beta\r\nrem gamma\r\nlast"));
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("alpha\r\nrem beta\r\ngamma\r\nlast"));
    QVERIFY(!editor->DocChanged);

    // With nothing selected, the caret's line alone, the caret staying on its character.
    editor->setCursorPosition(2, 2);
    QTest::keyClick(editor, Qt::Key_Slash, Qt::ControlModifier);
    QCOMPARE(editor->documentBytes(), QByteArray("alpha\r\nrem beta\r\nrem gamma\r\nlast"));
    int line, index;
    editor->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
    QCOMPARE(index, 6);
    QVERIFY(!editor->hasSelectedText());
}

void CommentToggleKeyTest::buttonsKeepTheirMeaning() {
    MainWindow m;
    TFormMain *w = m.open();
    w->OpenDocumentFile(m.script("buttons.con", "rem a\r\nx rem y\r\nb\r\n"));
    TAdvEdit *editor = m.editor();
    // Comment leaves any line holding the word rem alone; Uncomment takes the first rem.
    editor->setSelection(0, 0, 2, 1);
    fixture::button(w, "btnComment")->click();
    QCOMPARE(editor->documentBytes(), QByteArray("rem a\r\nx rem y\r\nrem b"));
    editor->setSelection(0, 0, 2, 1);
    fixture::button(w, "btnUnComment")->click();
    QCOMPARE(editor->documentBytes(), QByteArray("a\r\nx y\r\nb"));
}

QTEST_MAIN(CommentToggleKeyTest)
#include "CommentToggleKeyTest.moc"
