#include <QTest>

#include "core/script/FoldLevels.h"
#include "core/script/ViewShading.h"
#include "platform/ScreenColor.h"
#include "tests/gui/editor/EditorHarness.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QImage>

using namespace marlix;
using S = QsciScintillaBase;

// The margins, the shaded caret line and folding, in a real editor and through the window.
class MarginsFoldingTest : public QObject {
    Q_OBJECT

private slots:
    void lineNumbersFollowTheLineCountAndTheOption();
    void wrapSeesTheTextAreaTheMarginLeaves();
    void caretLineIsShadedInBothSchemes();
    void foldKeysHideAndShowTheBlockAndChangeNothingElse();
    void foldLevelsFollowEveryEditAsAWholePassWouldSetThem();
};

namespace {

const QByteArray script = "rem vehicle\r\n"                                       // 0
                          "ObjectTemplate.create PlayerControlObject Sherman\r\n" // 1
                          "ObjectTemplate.setNetworkableInfo BasicInfo\r\n"       // 2
                          "if v_arg1 == host\r\n"                                 // 3
                          "  ObjectTemplate.addTemplate ShermanHull\r\n"          // 4
                          "endIf\r\n"                                             // 5
                          "ObjectTemplate.create Bundle ShermanHull\r\n"          // 6
                          "ObjectTemplate.setHasMobilePhysics 1\r\n";             // 7

EditorHarness make() {
    return EditorHarness("", "");
}

long level(const EditorHarness &h, int line) {
    return h.send(S::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
}

// The levels a whole pass over the editor's text gives, against what the editor holds.
void compareWithWholePass(const EditorHarness &h) {
    const QByteArray text = h.editor->documentBytes();
    const QList<FoldLine> lines = foldLines(TextView::whole(text));
    QCOMPARE(lines.size(), qsizetype(h.send(S::SCI_GETLINECOUNT)));
    for (int i = 0; i < lines.size(); ++i) {
        const long wanted = S::SC_FOLDLEVELBASE + lines[i].depth +
                            (lines[i].header ? S::SC_FOLDLEVELHEADERFLAG : 0);
        QCOMPARE((level(h, i) & (S::SC_FOLDLEVELNUMBERMASK | S::SC_FOLDLEVELHEADERFLAG)), wanted);
    }
}

} // namespace

void MarginsFoldingTest::lineNumbersFollowTheLineCountAndTheOption() {
    EditorHarness h = make();
    QVERIFY(h.editor->lineNumbersShown());
    h.setText("one");
    const long small = h.send(S::SCI_GETMARGINWIDTHN, 0);
    QVERIFY(small > 0);
    QByteArrayList many(12000, "line");
    h.editor->loadLines(many);
    const long wide = h.send(S::SCI_GETMARGINWIDTHN, 0);
    const long digit = h.send(S::SCI_TEXTWIDTH, S::STYLE_LINENUMBER, reinterpret_cast<long>("9"));
    QVERIFY2(wide >= 5 * digit && wide > small, "room for 12000");
    h.editor->setLineNumbersShown(false);
    QCOMPARE(h.send(S::SCI_GETMARGINWIDTHN, 0), 0L);
    h.editor->setLineNumbersShown(true);
    QCOMPARE(h.send(S::SCI_GETMARGINWIDTHN, 0), wide);

    // The option's seventh line in marlix.ini hides the numbers of every document.
    fixture::MainWindow m;
    m.folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n");
    TFormMain *w = m.open();
    w->OpenDocumentFile(m.script("a.con", script));
    QVERIFY(!m.editor()->lineNumbersShown());
    QCOMPARE(m.editor()->SendScintilla(S::SCI_GETMARGINWIDTHN, 0UL), 0L);
    // A file of six lines, as earlier versions wrote, shows them.
    fixture::MainWindow old;
    old.folder.write(QStringLiteral("marlix.ini"), "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
    old.open()->OpenDocumentFile(old.script("a.con", script));
    QVERIFY(old.editor()->lineNumbersShown());
}

void MarginsFoldingTest::wrapSeesTheTextAreaTheMarginLeaves() {
    EditorHarness h = make();
    h.editor->setLineNumbersShown(false);
    const auto wrapped = [&] {
        QCoreApplication::processEvents(); // the wrap is decided after the change
        return h.send(S::SCI_GETWRAPMODE) == S::SC_WRAP_WORD;
    };
    // The longest line that still needs no wrap with the numbers hidden.
    int fits = 0;
    for (int n = 10; n < 2000; ++n) {
        h.setText(QByteArray(n, 'x'));
        if (wrapped())
            break;
        fits = n;
    }
    QVERIFY(fits > 10);
    h.setText(QByteArray(fits, 'x'));
    QVERIFY(!wrapped());
    // The numbers take room from the text area: the same line may now reach the edge.
    h.editor->setLineNumbersShown(true);
    QVERIFY(wrapped());
    h.editor->setLineNumbersShown(false);
    QVERIFY(!wrapped());
}

void MarginsFoldingTest::caretLineIsShadedInBothSchemes() {
    EditorHarness h = make();
    h.setText("first line\r\nsecond line");
    h.setCaret(0);
    for (const bool dark : {false, true}) {
        h.editor->setDarkScheme(dark);
        const ViewShading &s = dark ? darkViewShading : lightViewShading;
        h.editor->repaint();
        const QImage shot = h.editor->viewport()->grab().toImage();
        // Far right of the caret's line, past its text: the shade; the line below: the page.
        const int lineHeight = int(h.send(S::SCI_TEXTHEIGHT, 0));
        const QColor caretLine = shot.pixelColor(shot.width() - 5, lineHeight / 2);
        const QColor page = shot.pixelColor(shot.width() - 5, lineHeight + lineHeight / 2);
        QCOMPARE(colorValue(caretLine), s.caretLine);
        QVERIFY(caretLine != page);
        // The margin takes the scheme's shade too.
        QCOMPARE(TColor(h.send(S::SCI_STYLEGETBACK, S::STYLE_LINENUMBER)), s.marginBack);
    }
}

void MarginsFoldingTest::foldKeysHideAndShowTheBlockAndChangeNothingElse() {
    fixture::MainWindow m;
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("fold.con", script));
    TAdvEdit *editor = m.editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    const QByteArray text = editor->documentBytes();
    const auto visible = [&](int line) {
        return editor->SendScintilla(S::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)) != 0;
    };

    // Inside the if block: its lines are hidden, its head stays and takes the caret.
    editor->setCursorPosition(4, 5);
    QTest::keyClick(editor, Qt::Key_BracketLeft, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!visible(4));
    QVERIFY(!visible(5));
    QVERIFY(visible(3) && visible(6));
    int line, index;
    editor->getCursorPosition(&line, &index);
    QCOMPARE(line, 3);
    // Again from the head: the template block around it folds.
    QTest::keyClick(editor, Qt::Key_BracketLeft, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!visible(2) && !visible(3));
    QVERIFY(visible(1) && visible(6));
    QCOMPARE(editor->documentBytes(), text);
    QVERIFY(!editor->DocChanged);
    QVERIFY(!editor->isUndoAvailable());

    // Unfold from the head; the if block inside is still folded until it is unfolded too.
    QTest::keyClick(editor, Qt::Key_BracketRight, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(visible(2) && visible(3));
    QVERIFY(!visible(4));
    editor->setCursorPosition(3, 0);
    w->findChild<QAction *>(QStringLiteral("unfoldBlockAction"))->trigger();
    QVERIFY(visible(4) && visible(5));
    QCOMPARE(editor->documentBytes(), text);
    QVERIFY(!editor->DocChanged);
    QVERIFY(!editor->isUndoAvailable());
}

void MarginsFoldingTest::foldLevelsFollowEveryEditAsAWholePassWouldSetThem() {
    EditorHarness h = make();
    h.editor->loadBytes(script);
    compareWithWholePass(h);
    QVERIFY(level(h, 1) & S::SC_FOLDLEVELHEADERFLAG);
    QVERIFY(level(h, 3) & S::SC_FOLDLEVELHEADERFLAG);

    // Backspace at the start of the if line joins it to the line before: no block opens.
    h.setCaret(h.send(S::SCI_POSITIONFROMLINE, 3));
    QVERIFY(h.editor->text(3).startsWith(QStringLiteral("if ")));
    h.key(Qt::Key_Backspace);
    compareWithWholePass(h);
    h.key(Qt::Key_Return);
    compareWithWholePass(h);

    // Typing a block's head, its end, remarks and line breaks: each edit leaves the levels a
    // whole pass would give, down to the end of the text.
    h.setCaret(h.send(S::SCI_POSITIONFROMLINE, 2));
    h.type("beginRem");
    h.key(Qt::Key_Return);
    compareWithWholePass(h);
    h.setCaret(h.send(S::SCI_GETLINEENDPOSITION, 5));
    h.key(Qt::Key_Return);
    h.type("endRem");
    compareWithWholePass(h);
    // Removing the "if" of a block whose endIf stays.
    const long ifLine = h.send(S::SCI_POSITIONFROMLINE, 4);
    h.editor->SendScintilla(S::SCI_SETSEL, static_cast<unsigned long>(ifLine), ifLine + 2);
    h.key(Qt::Key_Delete);
    compareWithWholePass(h);
    // Undo, redo and a pasted block.
    h.editor->undo();
    compareWithWholePass(h);
    h.editor->redo();
    compareWithWholePass(h);
    h.setCaret(0);
    h.editor->replaceWholeText("if a\r\nObjectTemplate.active X\r\nendIf\r\nb");
    compareWithWholePass(h);
    h.editor->undo();
    compareWithWholePass(h);
}

QTEST_MAIN(MarginsFoldingTest)
#include "MarginsFoldingTest.moc"
