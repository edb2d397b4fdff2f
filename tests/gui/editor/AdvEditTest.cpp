#include "EditorHarness.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"
#include "platform/Prompts.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableView>

using marlix::Prompts;

namespace {

const QByteArray phraseTable = "rem\r\n1\r\nclGreen\r\nScout\r\n0\r\nclRed\r\n";

} // namespace

class AdvEditTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Prompts::setTestMode(true);
        Prompts::reset();
    }

    void initCreatesCompanionsAndDocksTheObjectList() {
        EditorHarness h("", phraseTable);
        QVERIFY(h.editor->CompletionList);
        QCOMPARE(h.editor->CompletionList->parentWidget(), h.editor);
        QVERIFY(!h.editor->CompletionList->isVisible());
        QCOMPARE(h.editor->CompletionList->size(), QSize(150, 150));
        QTableView *list = h.editor->ObjectList;
        QVERIFY(list);
        QCOMPARE(list->parentWidget(), h.page.get());
        QVERIFY(list->isVisible());
        QCOMPARE(list->width(), 300);
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Object Type"));
        QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("Object Name"));
        QCOMPARE(list->model()->rowCount(), 0);
        // The editor fills the rest of the page, the list stands at its right edge.
        QTRY_VERIFY(h.editor->geometry().right() < list->geometry().left());
        QCOMPARE(h.editor->HighlightCount, 2);
        QCOMPARE(h.editor->HighlightColors.at(1), marlix::TColor(0x0000FF));
    }

    void failedInitKeepsEarlierEntriesAndAUsableEditor() {
        TempFolder folder;
        folder.write("intellisense.ini", "a.\r\na.txt\r\n0\r\nb.\r\nb.txt\r\nx\r\n");
        QWidget page;
        auto *editor = new TAdvEdit(&page);
        editor->ProgramFolder = folder.path();
        try {
            editor->InitEditor();
            QFAIL("a bad style line must be rejected");
        } catch (const marlix::Error &error) {
            QCOMPARE(error.text(), QStringLiteral("'x' is not a valid integer value"));
        }
        QCOMPARE(editor->CodeCount, 2);
        QCOMPARE(editor->CodeTriggers, QStringList({"a.", "b."}));
        QCOMPARE(editor->CodeFiles.at(1), QStringLiteral("b.txt"));
        QVERIFY(editor->ObjectList && editor->CompletionList);
        editor->loadLines({"objecttemplate.create Vehicle Scout"});
        editor->RefreshHighlighting();
        editor->RefreshObjectList();
        QCOMPARE(editor->ObjectList->model()->index(0, 1).data().toString(),
                 QStringLiteral("Scout"));

        folder.write("intellisense.ini", "");
        TAdvEdit missing(&page);
        missing.ProgramFolder = folder.path();
        try {
            missing.InitEditor();
            QFAIL("a missing highlighting table must be reported");
        } catch (const marlix::Error &error) {
            QCOMPARE(error.text(), "Cannot open file " + folder.path() + "highlighting.ini");
        }
    }

    void refreshColorsWithLaterEntriesWinning() {
        EditorHarness h("", phraseTable);
        h.setText("x\r\nrem Scout car\r\nscouts SCOUT");
        h.setCaret(2);
        h.editor->RefreshHighlighting();
        QCOMPARE(h.colorAt(0), black);
        QCOMPARE(h.colorAt(3), green);  // rem
        QCOMPARE(h.colorAt(7), red);    // Scout
        QCOMPARE(h.colorAt(13), green); // car, to the end of the line
        QCOMPARE(h.colorAt(18), black); // scouts is another word
        QCOMPARE(h.colorAt(25), red);   // SCOUT
        QCOMPARE(h.caret(), 2L);
        QVERIFY(!h.editor->hasSelectedText());
        QVERIFY(!h.editor->DocChanged); // colouring is no change of the text
    }

    void refreshWithEmptyTableLeavesTextBlack() {
        EditorHarness h("", phraseTable);
        h.setText("rem Scout");
        h.editor->RefreshHighlighting();
        QCOMPARE(h.colorAt(5), red);
        h.editor->HighlightCount = 0;
        h.editor->RefreshHighlighting();
        QCOMPARE(h.colorAt(0), black);
        QCOMPARE(h.colorAt(5), black);
    }

    void typedTextIsColoredAsAWholePassWouldColorIt() {
        EditorHarness h("", "scout\r\n0\r\nclRed\r\ntank\r\n0\r\n$00FF0000\r\n");
        h.setText("");
        h.type("a scout");
        QCOMPARE(h.colorAt(2), red);
        QCOMPARE(h.colorAt(6), red);
        h.type("x");
        QCOMPARE(h.colorAt(2), black); // "scoutx" is another word
        QCOMPARE(h.colorAt(7), black);
        // A phrase whose last letter needs Shift is coloured as it is typed.
        h.type(" tan");
        typeShifted(h.editor, Qt::Key_K, "K");
        QCOMPARE(h.editor->text(), QStringLiteral("a scoutx tanK"));
        QCOMPARE(h.colorAt(9), blue);
        sendKey(h.editor, QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(h.colorAt(12), blue);
    }

    // Lines commented with the button kept their code colours, text typed after "rem " stayed
    // black, Undo after a command took every colour away and beginRem blocks looked like code.
    void everyEditColorsTheLinesItTouches() {
        EditorHarness h("",
                        "if\r\n0\r\n$00FF0000\r\nrem\r\n1\r\nclGreen\r\nScout\r\n0\r\nclRed\r\n");
        h.editor->loadLines({"if Scout", "if x", "beginRem", "if y", "endRem", "if z"});
        h.editor->RefreshHighlighting();
        const auto at = [&](int line, int index) {
            return h.colorAt(h.editor->positionFromLineIndex(line, index));
        };
        QCOMPARE(at(0, 0), blue);
        QCOMPARE(at(0, 3), red);
        QCOMPARE(at(2, 0), green); // the block takes the colour of rem
        QCOMPARE(at(3, 3), green);
        QCOMPARE(at(4, 5), green);
        QCOMPARE(at(5, 0), blue);
        // Comment: the line turns green, with Scout red over it as F5 has it.
        h.editor->setCursorPosition(0, 0);
        h.editor->CommentLines();
        QCOMPARE(at(0, 0), green);
        QCOMPARE(at(0, 4), green); // "if"
        QCOMPARE(at(0, 7), red);
        h.editor->undo();
        QCOMPARE(at(0, 0), blue);
        QCOMPARE(at(0, 3), red);
        h.editor->redo();
        QCOMPARE(at(0, 4), green);
        // Typed after "rem ": green at once.
        h.editor->setCursorPosition(1, 4);
        h.type(" rem note");
        QCOMPARE(at(1, 0), blue);
        QCOMPARE(at(1, 9), green);
        // Closing the block earlier gives the lines after it their code colours back.
        h.editor->setCursorPosition(3, 0);
        h.type("endRem ");
        QCOMPARE(at(3, 0), green);
        QCOMPARE(at(4, 0), black); // "endRem" outside a block is a word like others
        h.editor->undo();
        QCOMPARE(at(3, 0), green);
        QCOMPARE(at(4, 0), green);
        // Typing "beginRem" on the first line turns the lines up to the endRem green.
        QCOMPARE(at(1, 0), blue);
        h.editor->setCursorPosition(0, 0);
        h.type("beginRem");
        h.key(Qt::Key_Return);
        QCOMPARE(at(2, 0), green); // the line that was line 1
        QCOMPARE(at(6, 0), blue);  // after the endRem
        QVERIFY(!h.editor->hasSelectedText());
    }

    // A paste and a whole-text replacement (Restore) colour what they put in; undo colours
    // what it brings back.
    void pastedAndReplacedTextIsColored() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"Scout", "x"});
        h.editor->RefreshHighlighting();
        h.editor->replaceWholeText("rem a\r\nScout b");
        QCOMPARE(h.colorAt(0), green);
        QCOMPARE(h.colorAt(7), red);
        QCOMPARE(h.colorAt(13), black);
        h.editor->undo();
        QCOMPARE(h.editor->documentBytes(), QByteArray("Scout\r\nx"));
        QCOMPARE(h.colorAt(0), red);
        h.setCaret(7);
        QApplication::clipboard()->setText(QStringLiteral("Scout "));
        h.editor->paste();
        QCOMPARE(h.editor->documentBytes(), QByteArray("Scout\r\nScout x"));
        QCOMPARE(h.colorAt(11), red);
        QCOMPARE(h.colorAt(13), black);
    }

    // Highlighting off: typing colours nothing.
    void typingColorsNothingWithHighlightingOff() {
        EditorHarness h("", phraseTable);
        h.editor->highlightingEnabled = false;
        h.setText("");
        h.type("rem Scout");
        QCOMPARE(h.colorAt(0), black);
        QCOMPARE(h.colorAt(5), black);
    }

    void highlightAtCaretWithStyleOneColorsToTheLineEnd() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"x rem tail of line", "next"});
        h.setCaret(5); // just after "rem"
        h.editor->HighlightAtCaret();
        QCOMPARE(h.colorAt(1), black);
        QCOMPARE(h.colorAt(2), green);
        QCOMPARE(h.colorAt(17), green); // the line's last character
        QCOMPARE(h.colorAt(20), black); // the next line
        QCOMPARE(h.caret(), 5L);
    }

    // F5 with a selection made from left to right put the caret at its end.
    void refreshHighlightingPutsTheCaretAtTheSelectionStart() {
        EditorHarness h("", phraseTable);
        h.setText("rem Scout car");
        h.send(QsciScintillaBase::SCI_SETSEL, 4, 9); // anchor 4, caret 9
        h.editor->RefreshHighlighting();
        QCOMPARE(h.caret(), 4L);
        QVERIFY(!h.editor->hasSelectedText());
    }

    // The header went in black and stayed so until F5.
    void savedHeaderIsColoredLikeOtherText() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"Scout"});
        h.editor->RefreshHighlighting();
        h.editor->SaveScript(h.folder.file("h.con"));
        QCOMPARE(h.colorAt(0), green);
        QCOMPARE(h.colorAt(93), green);                                     // end of the star line
        QCOMPARE(h.colorAt(h.editor->positionFromLineIndex(1, 30)), green); // the date
        QCOMPARE(h.colorAt(h.editor->positionFromLineIndex(4, 0)), red);
        // A later save writes a new date line, coloured too.
        h.editor->SaveScript(h.folder.file("h.con"));
        QCOMPARE(h.colorAt(h.editor->positionFromLineIndex(1, 30)), green);
        QVERIFY(!h.editor->DocChanged);
    }

    void partOfAPhraseDeletedLosesItsColor() {
        EditorHarness h("", phraseTable);
        h.setText("Scout");
        h.editor->RefreshHighlighting();
        h.setCaret(5);
        h.key(Qt::Key_Backspace);
        h.key(Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QCOMPARE(h.editor->text(), QStringLiteral("Sco"));
        QCOMPARE(h.colorAt(0), black);
        QCOMPARE(h.colorAt(2), black);
    }

    void clickAndNavigationKeysRepaint() {
        EditorHarness h("", phraseTable);
        h.setText("line one\r\nline two");
        int paints = 0;
        struct Counter : QObject {
            int *count;
            explicit Counter(int *c) : count(c) {}
            bool eventFilter(QObject *, QEvent *e) override {
                if (e->type() == QEvent::Paint)
                    ++*count;
                return false;
            }
        } counter(&paints);
        h.editor->viewport()->installEventFilter(&counter);
        QCoreApplication::processEvents();
        paints = 0;
        QTest::keyClick(h.editor, Qt::Key_Down, Qt::ShiftModifier); // repaint also with Shift
        QVERIFY(paints > 0);
        paints = 0;
        QTest::mouseClick(h.editor->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(paints > 0);
    }

    void docChangedRules() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"objecttemplate.create Vehicle Scout", "rem x"});
        QVERIFY(!h.editor->DocChanged);
        QVERIFY(!h.editor->isUndoAvailable());
        h.editor->RefreshHighlighting();
        h.editor->RefreshObjectList();
        QVERIFY(!h.editor->DocChanged);
        // Keys that change no text leave it unchanged: Esc, caret keys, a click.
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Right, Qt::Key_Down, Qt::Key_End,
                            Qt::Key_PageDown, Qt::Key_Home})
            h.key(key);
        QTest::mouseClick(h.editor->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!h.editor->DocChanged);
        h.type("x");
        QVERIFY(h.editor->DocChanged);
        h.editor->SaveScript(h.folder.file("a.con"));
        QVERIFY(!h.editor->DocChanged);
        h.editor->undo(); // a change made by a command
        QVERIFY(h.editor->DocChanged);
        h.editor->SaveScript(h.folder.file("a.con"));
        h.editor->setCursorPosition(4, 0); // the object line, below the header
        h.editor->CommentLines();
        QVERIFY(h.editor->DocChanged);
    }

    // "Modified" stayed after undoing every edit, and Esc alone set it.
    void undoingBackToTheSavedTextMakesItUnchanged() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"a", "b"});
        QSignalSpy states(h.editor, &QsciScintilla::modificationChanged);
        h.type("xy");
        QVERIFY(h.editor->DocChanged);
        h.editor->undo();
        QVERIFY(!h.editor->DocChanged);
        QCOMPARE(states.size(), 2);
        QCOMPARE(states.last().at(0).toBool(), false);
        h.editor->redo();
        QVERIFY(h.editor->DocChanged);
        h.editor->SaveScript(h.folder.file("u.con"));
        QVERIFY(!h.editor->DocChanged);
        h.editor->undo(); // the header block goes again
        QVERIFY(h.editor->DocChanged);
        h.editor->redo();
        QVERIFY(!h.editor->DocChanged);
        // Said to be changed while it is at its save point (its file went away): it stays so
        // until the next save, undo or not.
        h.editor->DocChanged = true;
        QVERIFY(h.editor->DocChanged);
        QCOMPARE(states.last().at(0).toBool(), true);
        h.type("z");
        h.editor->undo();
        QVERIFY(h.editor->DocChanged);
        h.editor->SaveScript(h.folder.file("u.con"));
        QVERIFY(!h.editor->DocChanged);
        h.editor->loadLines({"c"});
        QVERIFY(!h.editor->DocChanged);
    }

    void everyByteSurvivesLoadAndSave() {
        EditorHarness h("", phraseTable);
        QByteArray bytes;
        for (int b = 1; b < 256; ++b)
            if (b != '\r' && b != '\n')
                bytes.append(char(b));
        QByteArrayList lines{bytes, "second", ""};
        h.editor->loadLines(lines);
        QCOMPARE(h.editor->documentBytes(), lines.join("\r\n"));
        h.editor->SaveScript(h.folder.file("all.con"));
        const QByteArray saved = h.folder.read("all.con");
        const QByteArrayList savedLines = saved.split('\n');
        // Four header lines, then the text with CR LF after every line.
        QCOMPARE(saved.right(bytes.size() + 12), bytes + "\r\nsecond\r\n\r\n");
        QCOMPARE(savedLines.size(), 4 + 3 + 1);
    }

    void saveWritesTheHeaderOnceAndRefreshesItsDate() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"a", "b"});
        const QString file = h.folder.file("s.con");
        h.editor->SaveScript(file);
        const QByteArray star = "rem " + QByteArray(90, '*');
        QByteArrayList lines = h.folder.read("s.con").split('\n');
        QCOMPARE(lines.size(), 7); // six lines, each ended
        QCOMPARE(lines[0], star + "\r");
        QVERIFY(lines[1].startsWith("rem ** Last saved date: "));
        QCOMPARE(lines[2], star + "\r");
        QCOMPARE(lines[3], QByteArray("\r"));
        QCOMPARE(lines[4], QByteArray("a\r"));
        QCOMPARE(lines[5], QByteArray("b\r"));
        // The editor shows the header too; a later save refreshes only the date line.
        h.editor->setSelection(1, 24, 1, h.editor->lineLength(1) - 2);
        h.editor->replaceSelectedText(QStringLiteral("long ago"));
        h.editor->setSelection(4, 0, 4, 1);
        h.editor->replaceSelectedText(QStringLiteral("A"));
        h.editor->SaveScript(file);
        lines = h.folder.read("s.con").split('\n');
        QCOMPARE(lines.size(), 7);
        QVERIFY(lines[1].startsWith("rem ** Last saved date: "));
        QVERIFY(!lines[1].contains("long ago"));
        QCOMPARE(lines[4], QByteArray("A\r"));
    }

    void failedSaveKeepsTheFileAndTheChangedFlag() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"a"});
        h.folder.write("ro.con", "old\r\n");
        QFile::setPermissions(h.folder.file("ro.con"), QFile::ReadOwner | QFile::ReadGroup);
        try {
            h.editor->SaveScript(h.folder.file("ro.con"));
            QFAIL("a read-only file must not be written");
        } catch (const marlix::Error &error) {
            QCOMPARE(error.text(), "Cannot create file " + h.folder.file("ro.con"));
        }
        QCOMPARE(h.folder.read("ro.con"), QByteArray("old\r\n"));
        QVERIFY(h.editor->DocChanged);
        QVERIFY(h.editor->text().startsWith(QStringLiteral("rem ***")));
    }

    void commentAndUncommentDocumentLines() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"a", "Rem x", "b", "c"});
        h.editor->setSelection(0, 0, 2, 1);
        h.editor->CommentLines();
        QCOMPARE(h.editor->documentBytes(), QByteArray("rem a\r\nRem x\r\nrem b\r\nc"));
        QCOMPARE(h.caret(), long(QByteArray("rem a\r\nRem x\r\nrem b").size()));
        h.editor->setSelection(1, 1, 2, 1);
        h.editor->UncommentLines();
        QCOMPARE(h.editor->documentBytes(), QByteArray("rem a\r\nx\r\nb\r\nc"));
        QCOMPARE(h.caret(), long(QByteArray("rem a\r\nx\r\n").size()));
        // Nothing selected: the caret's line only.
        h.setCaret(0);
        h.editor->UncommentLines();
        h.editor->UncommentLines();
        QCOMPARE(h.editor->documentBytes(), QByteArray("a\r\nx\r\nb\r\nc"));
        h.editor->loadLines({"rem", "next"});
        h.setCaret(1);
        h.editor->UncommentLines(); // the line end after the word stays
        QCOMPARE(h.editor->documentBytes(), QByteArray("\r\nnext"));
    }

    // Three whole lines selected (the selection ending at the start of the fourth) had "rem "
    // put before four.
    void aSelectionEndingAtALineStartLeavesThatLineOut() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"a", "b", "c", "d"});
        h.editor->setSelection(0, 0, 3, 0);
        h.editor->CommentLines();
        QCOMPARE(h.editor->documentBytes(), QByteArray("rem a\r\nrem b\r\nrem c\r\nd"));
        h.editor->loadLines({"rem a", "rem b", "rem c", "rem d"});
        h.editor->setSelection(3, 0, 1, 0); // made upwards, the same lines
        h.editor->UncommentLines();
        QCOMPARE(h.editor->documentBytes(), QByteArray("rem a\r\nb\r\nc\r\nrem d"));
        // An empty selection at a line start is that line.
        h.editor->setCursorPosition(3, 0);
        h.editor->UncommentLines();
        QCOMPARE(h.editor->documentBytes(), QByteArray("rem a\r\nb\r\nc\r\nd"));
    }

    // A save turned every LF of a script kept in version control into CR LF.
    void aScriptWithLfLineEndsIsSavedWithLf() {
        EditorHarness h("", phraseTable);
        h.editor->loadBytes("a\nb\n");
        QCOMPARE(h.editor->documentBytes(), QByteArray("a\r\nb"));
        h.type("x");
        h.editor->SaveScript(h.folder.file("lf.con"));
        QByteArray saved = h.folder.read("lf.con");
        QVERIFY(!saved.contains('\r'));
        QCOMPARE(saved.count('\n'), 6); // the header block's four lines too
        QVERIFY(saved.endsWith("\n\nxa\nb\n"));
        h.editor->SaveScript(h.folder.file("lf.con")); // and again
        QVERIFY(!h.folder.read("lf.con").contains('\r'));
        // Mixed, CR LF and new scripts are saved with CR LF.
        for (const QByteArray &bytes :
             {QByteArray("a\r\nb\n"), QByteArray("a\r\nb"), QByteArray("one line")}) {
            h.editor->loadBytes(bytes);
            h.editor->SaveScript(h.folder.file("crlf.con"));
            saved = h.folder.read("crlf.con");
            QCOMPARE(saved.count('\n'), saved.count("\r\n"));
        }
        EditorHarness fresh("", phraseTable);
        fresh.editor->SaveScript(fresh.folder.file("new.con"));
        QVERIFY(fresh.folder.read("new.con").contains("\r\n"));
    }

    // Scripts whose line ends are all CR LF are taken as they are, the last line end dropped;
    // the lines are the same as when any other script is split and joined.
    void aScriptsLinesComeInWhateverEndsTheLastOne() {
        EditorHarness h("", phraseTable);
        const QList<QPair<QByteArray, QByteArray>> cases = {
            {"a\r\nb\r\n", "a\r\nb"}, {"a\r\n\r\n", "a\r\n"}, {"\r\n", ""},
            {"\r\n\r\n", "\r\n"},     {"a\r\nb", "a\r\nb"},   {"a\r\r\n", "a\r\n"},
            {"a\rb\r\n", "a\r\nb"},   {"a\n\r\n", "a\r\n"},   {"\ra\r\n", "\r\na"}};
        for (const auto &[file, document] : cases) {
            h.editor->loadBytes(file);
            QCOMPARE(h.editor->documentBytes(), document);
            QCOMPARE(h.editor->documentBytes(), marlix::joinedLines(file));
        }
        // A lone CR among thousands of CR LF ends, wherever it stands, is a line end of its own.
        const QByteArray many = QByteArray("ab\r\n").repeated(3001) + "xyz";
        for (const qsizetype at : {qsizetype(1), qsizetype(4079), qsizetype(4081), qsizetype(8161),
                                   many.size() - 2, many.size() - 1}) {
            QByteArray file = many;
            file.insert(at, '\r');
            h.editor->loadBytes(file);
            QCOMPARE(h.editor->documentBytes(), marlix::joinedLines(file));
            QVERIFY(!h.editor->documentBytes().contains("\r\r"));
        }
    }

    void commentActsOnWholeLinesWhateverTheWrap() {
        EditorHarness h("", phraseTable);
        QByteArray longLine;
        for (int i = 0; i < 80; ++i)
            longLine += "word ";
        h.editor->loadLines({longLine, "b"});
        h.setCaret(300); // far inside the wrapped line
        h.editor->CommentLines();
        QCOMPARE(h.editor->documentBytes(), "rem " + longLine + "\r\nb");
    }

    // With wrap on the control laid out every line of a large script in the background, for
    // seconds, although no line was wide enough to wrap.
    void wrapIsOnOnlyWhileALineCanReachTheEdge() {
        EditorHarness h("", phraseTable);
        const auto wrap = [&] { return h.send(QsciScintillaBase::SCI_GETWRAPMODE); };
        h.editor->loadLines({"short line", "another"});
        QCOMPARE(wrap(), long(QsciScintillaBase::SC_WRAP_NONE));
        h.setCaret(10);
        h.type(" and then it goes on for a long time, word after word, far past the right"
               " edge of the text area, which is at most nine hundred pixels wide here");
        QTRY_COMPARE(wrap(), long(QsciScintillaBase::SC_WRAP_WORD));
        QVERIFY(h.send(QsciScintillaBase::SCI_WRAPCOUNT, 0) > 1);

        h.editor->loadLines({"short line", "another"});
        QCOMPARE(wrap(), long(QsciScintillaBase::SC_WRAP_NONE));
        h.page->resize(330, 600); // the object list takes 300 of it
        QTRY_COMPARE(wrap(), long(QsciScintillaBase::SC_WRAP_WORD));
        h.page->resize(900, 600);
        QTRY_COMPARE(wrap(), long(QsciScintillaBase::SC_WRAP_NONE));
        QFont large = h.editor->font();
        large.setPointSize(80);
        h.editor->setFont(large);
        QTRY_COMPARE(wrap(), long(QsciScintillaBase::SC_WRAP_WORD));
        QCOMPARE(h.editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        // A line too long to wrap quickly shows unwrapped, with a horizontal scroll bar.
        h.editor->loadLines({QByteArray(200000, 'x')});
        QCOMPARE(wrap(), long(QsciScintillaBase::SC_WRAP_NONE));
        QCOMPARE(h.editor->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QVERIFY(h.send(QsciScintillaBase::SCI_GETHSCROLLBAR));
    }

    // Keeping only the caret line's layout spares the control a layout made and dropped for
    // every line it wraps after a script is loaded; keys want the page's layouts kept, and
    // a long line must never be laid out again for every paint.
    void layoutsKeptForThePageOnceTypedOrWhereALineIsLong() {
        EditorHarness h("", phraseTable);
        const auto kept = [&] { return h.send(QsciScintillaBase::SCI_GETLAYOUTCACHE); };
        h.editor->loadLines({"short line", "another"});
        QTRY_COMPARE(kept(), long(QsciScintillaBase::SC_CACHE_CARET));
        h.setCaret(3);
        h.type("x");
        QCOMPARE(kept(), long(QsciScintillaBase::SC_CACHE_PAGE));
        h.editor->loadLines({"short line", "another"});
        QTRY_COMPARE(kept(), long(QsciScintillaBase::SC_CACHE_CARET));
        h.editor->loadLines({"short line", QByteArray(5000, 'w')});
        QTRY_COMPARE(kept(), long(QsciScintillaBase::SC_CACHE_PAGE));
    }

    // The control's own description counted the characters from the start of the document
    // to the caret on every key and caret move: a quarter of a second a key in a 50 MB script.
    void accessibleTextCountsInBytesWithoutAScanPerKey() {
        EditorHarness h("", phraseTable);
        h.editor->loadBytes(QByteArray("ab\x80\r\ncd"));
        QAccessibleInterface *described = QAccessible::queryAccessibleInterface(h.editor);
        QVERIFY(described);
        QCOMPARE(described->role(), QAccessible::EditableText);
        QAccessibleTextInterface *text = described->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 7);
        QCOMPARE(text->text(0, 7), QStringLiteral("ab\u20AC\r\ncd")); // 0x80 shows as the euro
        h.setCaret(5);
        QCOMPARE(text->cursorPosition(), 5);
        text->setSelection(0, 1, 4);
        QCOMPARE(text->selectionCount(), 1);
        int from = -1, to = -1;
        text->selection(0, &from, &to);
        QCOMPARE(from, 1);
        QCOMPARE(to, 4);
        // Typing is still seen by the editor, which is told of changes before they happen.
        h.editor->DocChanged = false;
        h.setCaret(7);
        h.type("e");
        QVERIFY(h.editor->DocChanged);
        QCOMPARE(h.editor->documentBytes(), QByteArray("ab\x80\r\ncde"));
        QCOMPARE(text->characterCount(), 8);
        h.editor->DocChanged = false;
        QTest::keyClick(h.editor, Qt::Key_Backspace);
        QVERIFY(h.editor->DocChanged);
    }

    void objectListRowsAndJump() {
        EditorHarness h("", phraseTable);
        QByteArrayList lines;
        for (int i = 0; i < 200; ++i)
            lines.append("filler line " + QByteArray::number(i));
        lines.append("ObjectTemplate.create Vehicle Scout");
        lines.append("objecttemplate.create Weapon ScoutCannon");
        lines.append("rem objecttemplate.create A B C");
        lines.append("myobjecttemplate.create No Row");
        lines.append("objecttemplate.create Wheel");
        lines.append("objecttemplate.create  Spaced Name");
        lines.append("objecttemplate.create");
        lines.append("objecttemplate.create Vehicle Scout");
        for (int i = 0; i < 200; ++i)
            lines.append("more filler " + QByteArray::number(i));
        h.editor->loadLines(lines);
        h.editor->RefreshObjectList();
        QTableView *list = h.editor->ObjectList;
        const QList<QPair<QString, QString>> expected{{"Vehicle ", "Scout"},
                                                      {"Weapon ", "ScoutCannon"},
                                                      {"", "Wheel"},
                                                      {" ", "Spaced Name"},
                                                      {"Vehicle ", "Scout"}};
        QCOMPARE(list->model()->rowCount(), int(expected.size()));
        for (int r = 0; r < expected.size(); ++r) {
            QCOMPARE(list->model()->index(r, 0).data().toString(), expected[r].first);
            QCOMPARE(list->model()->index(r, 1).data().toString(), expected[r].second);
        }
        QVERIFY(!(list->model()->index(0, 0).flags() & Qt::ItemIsSelectable));
        QVERIFY(list->model()->index(0, 1).flags() & Qt::ItemIsEditable);
        QVERIFY(!h.editor->DocChanged);

        // Selecting a name jumps to the first line that creates it and gives the focus back.
        h.page->activateWindow();
        h.setCaret(0);
        list->setFocus();
        list->setCurrentIndex(list->model()->index(4, 1));
        QCOMPARE(h.editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART),
                 h.editor->positionFromLineIndex(200, 0));
        QCOMPARE(
            h.editor->selectedText(),
            QStringLiteral("objecttemplate.create Vehicle Scout").replace(0, 14, "ObjectTemplate"));
        QCOMPARE(h.editor->firstVisibleLine(), 200);
        QTRY_VERIFY(list->hasFocus());
        list->setCurrentIndex(list->model()->index(3, 1)); // two blanks after the keyword
        QCOMPARE(h.editor->selectedText(), QStringLiteral("objecttemplate.create  Spaced Name"));

        // An edited line is not found: the editor stays where it is.
        list->model()->setData(list->model()->index(1, 1), "Renamed");
        QCOMPARE(h.editor->documentBytes(), lines.join("\r\n")); // the edit stays in the panel
        const long before = h.caret();
        list->setCurrentIndex(list->model()->index(1, 1));
        QCOMPARE(h.caret(), before);
        QVERIFY(list->hasFocus());
    }

    // The scan left the last object's line selected, so the next key typed replaced it.
    void objectScanMovesNeitherCaretNorSelectionNorView() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines(amidFiller(
            {"objecttemplate.create A a", "objecttemplate.create Vehicle Scout", "tail"}));
        h.editor->RefreshHighlighting();
        h.editor->RefreshObjectList();
        QCOMPARE(h.caret(), 0L);
        QVERIFY(!h.editor->hasSelectedText());
        QCOMPARE(h.editor->firstVisibleLine(), 0);
        h.editor->setFirstVisibleLine(100);
        h.send(QsciScintillaBase::SCI_SETSEL, h.editor->positionFromLineIndex(110, 1),
               h.editor->positionFromLineIndex(110, 4));
        h.editor->RefreshObjectList();
        QCOMPARE(h.editor->selectedText(), QStringLiteral("ill"));
        QCOMPARE(h.editor->firstVisibleLine(), 100);
        QVERIFY(!h.editor->DocChanged);
    }

    // Clicking the name that was already current changed no cell, so nothing jumped.
    void clickOnTheCurrentObjectNameJumpsAgain() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines(amidFiller({"objecttemplate.create Vehicle Scout"}));
        h.editor->RefreshObjectList();
        QTableView *list = h.editor->ObjectList;
        const QPoint cell = list->visualRect(list->model()->index(0, 1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(h.editor->firstVisibleLine(), 200);
        h.editor->setFirstVisibleLine(0);
        h.setCaret(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(h.editor->firstVisibleLine(), 200);
        QCOMPARE(h.editor->selectedText(), QStringLiteral("objecttemplate.create Vehicle Scout"));
    }

    void objectListWithoutObjectsHasNoRows() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"objecttemplate.create Vehicle Scout"});
        h.editor->RefreshObjectList();
        QCOMPARE(h.editor->ObjectList->model()->rowCount(), 1);
        h.editor->loadLines({"nothing here", "rem objecttemplate.create Vehicle Old", "beginRem",
                             "objecttemplate.create Vehicle Older", "endRem",
                             "objecttemplate.create"});
        h.editor->RefreshObjectList();
        QCOMPARE(h.editor->ObjectList->model()->rowCount(), 0);
    }

    void fontReachesEveryStyleButNotTheObjectList() {
        EditorHarness h("", phraseTable);
        h.setText("rem Scout");
        h.editor->RefreshHighlighting();
        const QFont listFont = h.editor->ObjectList->font();
        QFont font(QStringLiteral("Monospace"), 17);
        h.editor->setFont(font);
        const long redStyle = h.send(QsciScintillaBase::SCI_GETSTYLEAT, 5);
        QCOMPARE(h.send(QsciScintillaBase::SCI_STYLEGETSIZE, 0), 17L);
        QCOMPARE(h.send(QsciScintillaBase::SCI_STYLEGETSIZE, redStyle), 17L);
        QCOMPARE(h.colorAt(5), red); // colours survive the font change
        QCOMPARE(h.editor->ObjectList->font(), listFont);
    }

    void menuKeysAreNeitherBoundNorHandled() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines({"keep this line", "x"});
        h.editor->setMenuKeys(
            {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::CTRL | Qt::Key_F)});
        h.setCaret(0);
        h.key(Qt::Key_L, Qt::ControlModifier); // line cut in the editor's own key map
        h.key(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(h.editor->documentBytes(), QByteArray("keep this line\r\nx"));
        QVERIFY(!h.editor->DocChanged);
        // A menu entry's shortcut wins over the editor while the editor has the focus.
        QAction action(h.page.get());
        action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
        h.page->addAction(&action);
        QSignalSpy fired(&action, &QAction::triggered);
        h.page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.page.get()));
        h.editor->setFocus();
        h.key(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(fired.count(), 1);
        QCOMPARE(h.editor->documentBytes(), QByteArray("keep this line\r\nx"));
    }
};

QTEST_MAIN(AdvEditTest)
#include "AdvEditTest.moc"
