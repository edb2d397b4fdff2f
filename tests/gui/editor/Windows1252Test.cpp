// Bytes 0x80-0x9F in a real editor: drawn as their Windows-1252 characters in the colours of
// the text around them, and kept byte for byte through opening, editing, copying and saving.
#include "core/script/Windows1252.h"
#include "editor/PrintableCopy.h"
#include "editor/Windows1252Overlay.h"
#include "tests/gui/editor/EditorHarness.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QtTest>

using Sci = QsciScintillaBase;

namespace {

QRect cellOf(const EditorHarness &h, long pos) {
    const long x = h.send(Sci::SCI_POINTXFROMPOSITION, 0, pos);
    const long next = h.send(Sci::SCI_POINTXFROMPOSITION, 0, pos + 1);
    return QRect(int(x), int(h.send(Sci::SCI_POINTYFROMPOSITION, 0, pos)), int(next - x),
                 int(h.send(Sci::SCI_TEXTHEIGHT, 0)));
}

QImage viewOf(const EditorHarness &h) {
    return h.editor->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int darkness(QRgb pixel) {
    return 255 - qGray(pixel);
}

// The rows of the cell holding ink: any pixel clearly unlike the background at its top right
// corner.
int inkRows(const QImage &view, const QRect &cell) {
    const int back = qGray(view.pixel(cell.topRight()));
    int rows = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        bool ink = false;
        for (int x = cell.left() + 1; x <= cell.right(); ++x) // past a caret at the left edge
            ink = ink || std::abs(qGray(view.pixel(x, y)) - back) > 60;
        rows += ink;
    }
    return rows;
}

// The character as QPainter draws it in the cell on a white page, black, centred, on
// Scintilla's baseline.
QImage drawnByHand(const QFont &font, const QSize &cell, QChar character) {
    QImage image(cell, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(character);
    p.drawText(QPointF((cell.width() - advance) / 2, int(metrics.ascent())), QString(character));
    return image;
}

} // namespace

class Windows1252Test : public QObject {
    Q_OBJECT

private slots:
    void charactersAreDrawnInsteadOfBoxes();
    void cellsTakeTheSelectionAndTheDarkScheme();
    void caretBesideACharacterStaysVisible();
    void onlyTheVisibleTextIsLookedAt();
    void highControlBytesSurviveOpenEditCopyAndSave();
    void thePrintedCopyHoldsTheCharactersInTheirStyles();
    void theObjectListShowsNamesWithTheirCharacters();
    void otherProgramsGetAndGiveTheCharacters();
};

void Windows1252Test::charactersAreDrawnInsteadOfBoxes() {
    EditorHarness h("", "");
    // A fixed-pitch font: every cell, box or character, is as wide as a letter.
    const QFont font(QStringLiteral("DejaVu Sans Mono"), 14);
    h.editor->setFont(font);
    h.setText("x\x80x\x96x\x99x\x85x\x93x");
    h.setCaret(0);
    h.editor->clearFocus(); // neither caret nor selection in the picture
    const QImage view = viewOf(h);
    for (const long pos : {1L, 3L, 5L, 7L, 9L}) {
        const QRect cell = cellOf(h, pos);
        QVERIFY(cell.width() > 4);
        const auto byte = static_cast<unsigned char>(h.editor->documentBytes().at(qsizetype(pos)));
        const QChar character(marlix::windows1252Character(byte));
        const QImage expected = drawnByHand(font, cell.size(), character);
        // Inked in the same places, allowing for the rounding of the glyph's edges.
        int both = 0, either = 0;
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x) {
                const bool shown = darkness(view.pixel(cell.left() + x, cell.top() + y)) > 100;
                const bool drawn = darkness(expected.pixel(x, y)) > 100;
                both += shown && drawn;
                either += shown || drawn;
            }
        QVERIFY2(
            either > 0 && both >= either * 8 / 10,
            qPrintable(QStringLiteral("position %1: %2 of %3").arg(pos).arg(both).arg(either)));
    }
    // A box has ink from top to bottom of the letters; the dash holds one thin stroke.
    QVERIFY(inkRows(view, cellOf(h, 3)) <= 2);
    QVERIFY(inkRows(view, cellOf(h, 7)) <= 3); // the ellipsis: dots on the baseline
}

void Windows1252Test::cellsTakeTheSelectionAndTheDarkScheme() {
    EditorHarness h("", "");
    h.editor->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 14));
    h.setText("a\x96"
              "b \x97 c");
    h.send(Sci::SCI_SETSEL, 2, 1); // the caret before the dash
    QTRY_VERIFY(h.editor->hasFocus());
    QImage view = viewOf(h);
    const QPalette palette = h.editor->palette();
    QRect cell = cellOf(h, 1);
    QCOMPARE(QColor(view.pixel(cell.topRight())),
             palette.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(QColor(view.pixel(cell.bottomRight())),
             palette.color(QPalette::Active, QPalette::Highlight));
    // The dash is drawn in the selection's text colour: its ink is the lightest pixel.
    int lightest = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            lightest = std::max(lightest, qGray(view.pixel(x, y)));
    QVERIFY(lightest > 200);
    QVERIFY(inkRows(view, cell) <= 2); // a dash, not a box

    h.editor->setDarkScheme(true);
    h.send(Sci::SCI_SETSEL, 0, 0);
    view = viewOf(h);
    cell = cellOf(h, 4);
    // The cell stands on the caret's line, shaded darker than the page.
    QCOMPARE(QColor(view.pixel(cell.topLeft())).rgb() & 0xFFFFFF, 0x111111u);
    int brightest = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            brightest = std::max(brightest, qGray(view.pixel(x, y)));
    QVERIFY(brightest > 150); // the dash in the scheme's light text colour
    QVERIFY(inkRows(view, cell) <= 2);
}

void Windows1252Test::caretBesideACharacterStaysVisible() {
    EditorHarness h("", "");
    h.editor->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 14));
    h.setText("ab\x96\x96 cd");
    h.send(Sci::SCI_SETCARETPERIOD, 0); // no blinking: the caret is always drawn
    QTRY_VERIFY(h.editor->hasFocus());
    for (const long caret : {2L, 3L, 4L}) {
        h.setCaret(caret);
        const QImage view = viewOf(h);
        const QRect line = cellOf(h, caret);
        // The one-pixel caret stands at the position's left edge or just before it.
        int dark = 0;
        for (const int x : {line.left() - 1, line.left()}) {
            int column = 0;
            for (int y = line.top(); y <= line.bottom(); ++y)
                column += darkness(view.pixel(x, y)) > 200;
            dark = std::max(dark, column);
        }
        QVERIFY2(dark >= line.height() - 1, qPrintable(QString::number(caret)));
        // and no stroke of a box is left beside it: the dash's cell holds one thin line.
        if (caret > 2) {
            const QRect dash = cellOf(h, caret - 1);
            QVERIFY2(inkRows(view, dash) <= 2, qPrintable(QString::number(caret)));
        }
    }
}

void Windows1252Test::onlyTheVisibleTextIsLookedAt() {
    EditorHarness h("", "");
    QByteArrayList lines;
    for (int i = 0; i < 20000; ++i)
        lines.append("line " + QByteArray::number(i) + (i == 12000 ? " costs 5 \x80" : ""));
    h.editor->loadLines(lines);
    marlix::Windows1252Overlay overlay(*h.editor);
    const QRect whole = h.editor->viewport()->rect();
    auto range = overlay.visibleRange(whole);
    QCOMPARE(range.from, 0);
    QVERIFY(range.to > 100 && range.to < 8000);

    h.send(Sci::SCI_SETFIRSTVISIBLELINE, 11990);
    const long euro = h.editor->documentBytes().indexOf('\x80');
    range = overlay.visibleRange(whole);
    QVERIFY(range.from <= euro && euro < range.to);
    QVERIFY(range.to - range.from < 8000);
    // A strip of the view looks at its own lines only.
    const int lineHeight = int(h.send(Sci::SCI_TEXTHEIGHT, 0));
    const auto strip = overlay.visibleRange(QRect(0, lineHeight * 3, whole.width(), lineHeight));
    QCOMPARE(h.send(Sci::SCI_LINEFROMPOSITION, strip.from), 11993L);
    QVERIFY(h.send(Sci::SCI_LINEFROMPOSITION, strip.to) <= 11994);
    QVERIFY(inkRows(viewOf(h), cellOf(h, euro)) > 3); // the euro sign drawn once scrolled to
}

void Windows1252Test::highControlBytesSurviveOpenEditCopyAndSave() {
    fixture::MainWindow m;
    TFormMain *w = m.open();
    QByteArray high;
    for (int b = 0x80; b <= 0x9F; ++b)
        high += static_cast<char>(b);
    const QByteArray script = "rem " + high + "\r\nx = \"" + high + "\"\r\nend";
    const QString path = m.script(QStringLiteral("cp.con"), script);
    w->OpenDocumentFile(path);
    TAdvEdit *editor = m.editor();
    QVERIFY(editor);
    QCOMPARE(editor->documentBytes(), script);
    editor->SendScintilla(Sci::SCI_DOCUMENTEND);
    QTest::keyClicks(editor, QStringLiteral(" ok"));
    editor->SendScintilla(Sci::SCI_SETSEL, 4, 4 + high.size());
    fixture::trigger(w, "mnuCopy");
    editor->SendScintilla(Sci::SCI_DOCUMENTEND);
    fixture::trigger(w, "mnuPaste");
    const QByteArray expected = script + " ok" + high;
    QCOMPARE(editor->documentBytes(), expected);
    fixture::trigger(w, "mnuSave");
    const QByteArray saved = m.folder.read(QStringLiteral("cp.con"));
    QVERIFY(saved.endsWith(expected + "\r\n")); // saving ends the last line
    QCOMPARE(saved.count(high), 3);
}

void Windows1252Test::thePrintedCopyHoldsTheCharactersInTheirStyles() {
    EditorHarness h("", "");
    h.editor->setDarkScheme(true);
    const QByteArray text("rem \x93quoted\x94 \x80\r\nx\xE9\x81");
    h.editor->loadBytes(text);
    h.send(Sci::SCI_STYLESETFORE, 5, 0x0000FF);
    h.send(Sci::SCI_STARTSTYLING, 0, 0);
    h.send(Sci::SCI_SETSTYLING, 4, 0);
    h.send(Sci::SCI_SETSTYLING, 8, 5); // the quotes and the word between them
    const auto copy = marlix::printableCopy(*h.editor);
    QCOMPARE(h.editor->documentBytes(), text); // the editor is left as it was
    QCOMPARE(copy->text(), QStringLiteral("rem \u201Cquoted\u201D \u20AC\r\nx\u00E9\u0081"));
    QCOMPARE(copy->lines(), 2);
    const auto styleOf = [&](int index) {
        return copy->SendScintilla(
            Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(copy->positionFromLineIndex(0, index)));
    };
    QCOMPARE(styleOf(3), 0L);
    for (int index = 4; index < 12; ++index)
        QCOMPARE(styleOf(index), 5L);
    QCOMPARE(styleOf(13), 0L);
    QCOMPARE(copy->SendScintilla(Sci::SCI_STYLEGETFORE, 5UL), 0x0000FFL);
    QCOMPARE(copy->SendScintilla(Sci::SCI_STYLEGETBACK, 0UL),
             h.send(Sci::SCI_STYLEGETBACK, 0)); // the dark page as the editor shows it
}

void Windows1252Test::theObjectListShowsNamesWithTheirCharacters() {
    EditorHarness h("", "");
    h.editor->loadLines({"rem first", "ObjectTemplate.create Vehicle \x84Scout\x93", "end"});
    h.editor->RefreshObjectList();
    QCOMPARE(h.editor->ObjectList->model()->index(0, 1).data().toString(),
             QStringLiteral("\u201EScout\u201C"));
    h.setCaret(0);
    h.editor->ObjectListSelectCell(1, 0); // finds the line by the bytes behind the name
    QCOMPARE(h.editor->selectedText().toLatin1(),
             QByteArray("ObjectTemplate.create Vehicle \x84Scout\x93"));
}

// Copying put U+0080-U+009F on the clipboard, and a pasted euro sign became '?'.
void Windows1252Test::otherProgramsGetAndGiveTheCharacters() {
    EditorHarness h("", "");
    h.setText("a\x80\x93"
              "b\x94\x81");
    h.editor->selectAll();
    h.editor->copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\u20AC\u201C"
                                                                  "b\u201D\u0081"));

    QGuiApplication::clipboard()->setText(QStringLiteral("\u201EZ\u00FCge\u201C \u2013 \u0416"));
    h.setText("");
    h.editor->paste();
    QCOMPARE(h.editor->documentBytes(), QByteArray("\x84Z\xFCge\x93 \x96 ?"));
}

QTEST_MAIN(Windows1252Test)
#include "Windows1252Test.moc"
