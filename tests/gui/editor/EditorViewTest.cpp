#include "EditorHarness.h"

#include "editor/EditorView.h"

using marlix::EditorView;

namespace {

const QByteArray phraseTable = "rem\r\n1\r\nclGreen\r\nScout\r\n0\r\nclRed\r\n";

QByteArray text(const EditorHarness &h) {
    return h.editor->documentBytes();
}

} // namespace

// The operations the windows around an editor use instead of the control's messages.
class EditorViewTest : public QObject {
    Q_OBJECT
private slots:
    void replaceIsOneUndoStepColoredAtOnce() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"alpha beta", "gamma beta"});
        EditorView view(h.editor);
        // Across a line end, and with the ends given the wrong way round.
        view.replace(18, 6, "Scout ");
        QCOMPARE(text(h), QByteArray("alpha Scout beta"));
        // Coloured before any event is handled: a command's edit shows in its colours.
        QCOMPARE(h.colorAt(6), red);
        QVERIFY(h.editor->DocChanged);
        h.editor->undo();
        QCOMPARE(text(h), QByteArray("alpha beta\r\ngamma beta"));
        QVERIFY(!h.editor->DocChanged);
    }

    void emptyReplacementDeletesAndInsertionAtAPoint() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"one two"});
        EditorView view(h.editor);
        view.replace(3, 7, QByteArray());
        view.replace(0, 0, "rem ");
        QCOMPARE(text(h), QByteArray("rem one"));
        QCOMPARE(h.colorAt(5), green); // the comment coloured as far as the line reaches
    }

    void positionsLinesAndColumns() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"a\tb", "", "third line"});
        const EditorView view(h.editor);
        QCOMPARE(view.lineCount(), 3);
        QCOMPARE(view.length(), qsizetype(3 + 2 + 2 + 10));
        QCOMPARE(view.lineStart(2), qsizetype(7));
        QCOMPARE(view.lineEnd(2), qsizetype(17));
        QCOMPARE(view.lineEnd(0), qsizetype(3)); // before CR LF
        QCOMPARE(view.lineOf(5), 1);
        QCOMPARE(view.lineOf(view.length()), 2);
        // The column counts a tab to its stop.
        const int tab = int(h.send(QsciScintillaBase::SCI_GETTABWIDTH));
        QCOMPARE(view.columnOf(2), tab);
        QCOMPARE(QByteArray(view.text().data, view.text().size), text(h));
    }

    void selectionAndCaret() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"0123456789"});
        EditorView view(h.editor);
        view.select(8, 2); // caret before the anchor, as a search backwards leaves it
        QCOMPARE(view.caret(), qsizetype(2));
        QCOMPARE(view.selectionStart(), qsizetype(2));
        QCOMPARE(view.selectionEnd(), qsizetype(8));
        view.goTo(5);
        QCOMPARE(view.caret(), qsizetype(5));
        QCOMPARE(view.selectionStart(), view.selectionEnd());
    }

    void showLineScrollsOnlyWhenOutOfView() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines(amidFiller({"target"}));
        EditorView view(h.editor);
        view.scrollToLine(50);
        QCOMPARE(view.firstLineInView(), 50);
        view.showLine(55); // in view already
        QCOMPARE(view.firstLineInView(), 50);
        view.showLine(200);
        const int first = view.firstLineInView();
        const int shown = int(h.send(QsciScintillaBase::SCI_LINESONSCREEN));
        QVERIFY(first < 200 && 200 < first + shown);
        QVERIFY(qAbs(200 - (first + shown / 2)) <= 1); // in the middle
        // The range in view reaches from the top line's start past the last line shown.
        QCOMPARE(view.viewStart(), view.lineStart(first));
        QVERIFY(view.viewEnd() >= view.lineEnd(first + shown - 1));
        QVERIFY(view.viewEnd() <= view.lineEnd(first + shown + 1));
    }

    void showLineCountsWrappedLinesAsShown() {
        EditorHarness h("", phraseTable);
        QByteArrayList lines = amidFiller({"target"});
        for (int i = 0; i < 100; ++i)
            lines[i] = QByteArray(3000, 'w') + " " + QByteArray(3000, 'x');
        h.editor->loadLines(lines);
        h.editor->setWrapMode(QsciScintilla::WrapCharacter);
        EditorView view(h.editor);
        view.showLine(150);
        const int first = view.firstLineInView();
        QVERIFY2(first <= 150, qPrintable(QString::number(first)));
        const long shownLine = h.send(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, 150) -
                               h.send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
        QVERIFY(shownLine >= 0 && shownLine < h.send(QsciScintillaBase::SCI_LINESONSCREEN));
    }

    void marksFillAndClear() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"find me and find me"});
        EditorView view(h.editor);
        const int mark = 12;
        view.setMarkShape(mark, EditorView::MarkShape::RoundBox, true);
        view.setMarkColor(mark, 0x00D7FF, 110, 200);
        QCOMPARE(h.send(QsciScintillaBase::SCI_INDICGETSTYLE, mark),
                 long(QsciScintillaBase::INDIC_ROUNDBOX));
        QCOMPARE(h.send(QsciScintillaBase::SCI_INDICGETUNDER, mark), 1L);
        QCOMPARE(h.send(QsciScintillaBase::SCI_INDICGETFORE, mark), 0x00D7FFL);
        QCOMPARE(h.send(QsciScintillaBase::SCI_INDICGETOUTLINEALPHA, mark), 200L);
        view.fillMark(mark, 0, 4);
        view.fillMark(mark, 12, 4);
        const auto marked = [&](long pos) {
            return h.send(QsciScintillaBase::SCI_INDICATORVALUEAT, mark, pos) != 0;
        };
        QVERIFY(marked(0) && marked(3) && !marked(4) && marked(12) && !marked(16));
        view.clearMark(mark);
        QVERIFY(!marked(0) && !marked(12));
    }
};

QTEST_MAIN(EditorViewTest)
#include "EditorViewTest.moc"
