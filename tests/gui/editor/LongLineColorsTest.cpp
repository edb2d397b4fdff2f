#include "EditorHarness.h"

#include "core/script/TwinStyles.h"

#include <QImage>

using marlix::baseStyle;
using marlix::twinLineBytes;

namespace {

const QByteArray phraseTable =
    "rem\r\n1\r\nclGreen\r\nScout\r\n0\r\nclRed\r\nObjectTemplate\r\n0\r\n"
    "clBlue\r\n";

// One line long enough for twins, in several colours, with a comment to its end.
QByteArray longLine() {
    QByteArray line = "ObjectTemplate.create Scout ";
    while (line.size() < twinLineBytes / 2)
        line += "Scout ObjectTemplate.setPosition 0/1.25/3\tweapon of the scout ";
    line += "rem";
    for (int i = 0; line.size() < 2 * twinLineBytes; ++i)
        line += (i % 10 ? " part_" : " Scout part_") + QByteArray::number(line.size());
    return line;
}

QByteArray styleBytes(const EditorHarness &h) {
    const long length = h.send(QsciScintillaBase::SCI_GETLENGTH);
    QByteArray styled(2 * length + 2, '\0');
    h.editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, 0L, length, styled.data());
    QByteArray styles(length, '\0');
    for (qsizetype i = 0; i < length; ++i)
        styles[i] = styled[2 * i + 1];
    return styles;
}

qsizetype twinCount(const QByteArray &styles) {
    qsizetype count = 0;
    for (char s : styles)
        count += baseStyle(static_cast<unsigned char>(s)) != static_cast<unsigned char>(s);
    return count;
}

// The text area as drawn with the styles it has, then with every twin put back to its
// original; the two must not differ by a pixel.
void compareWithoutTwins(EditorHarness &h) {
    const QByteArray twinned = styleBytes(h);
    QVERIFY(twinCount(twinned) > 0);
    const QImage withTwins = h.editor->viewport()->grab().toImage();
    QByteArray plain = twinned;
    for (char &s : plain)
        s = char(baseStyle(static_cast<unsigned char>(s)));
    h.send(QsciScintillaBase::SCI_STARTSTYLING, 0, 0);
    h.editor->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX,
                            static_cast<unsigned long>(plain.size()), plain.constData());
    QCOMPARE(twinCount(styleBytes(h)), 0);
    const QImage withoutTwins = h.editor->viewport()->grab().toImage();
    QCOMPARE(withTwins.size(), withoutTwins.size());
    QVERIFY(withTwins == withoutTwins);
}

// The lines followed by enough short ones to make the script one that is cut into pieces.
QByteArrayList largeScript(QByteArrayList lines) {
    qsizetype size = 0;
    for (int i = 0; size < marlix::splitTwinDocumentBytes; ++i) {
        lines.append("Object.absolutePosition 1043.5/77.25/" + QByteArray::number(i));
        size += lines.last().size() + 2;
    }
    return lines;
}

} // namespace

class LongLineColorsTest : public QObject {
    Q_OBJECT

private slots:
    void longLineLooksTheSameWithTwinsInBothSchemes() {
        EditorHarness h("", phraseTable);
        h.editor->setFont(QFont(QStringLiteral("Monospace"), 11));
        h.setText(longLine());
        h.editor->RefreshHighlighting();
        const QImage light = h.editor->viewport()->grab().toImage();
        compareWithoutTwins(h);
        // Every byte shows the colour of its original style in font, size and colour.
        h.editor->RefreshHighlighting();
        const QByteArray styles = styleBytes(h);
        for (int i = 0; i < styles.size(); ++i) {
            const int style = static_cast<unsigned char>(styles[i]);
            for (unsigned int msg :
                 {QsciScintillaBase::SCI_STYLEGETFORE, QsciScintillaBase::SCI_STYLEGETSIZE,
                  QsciScintillaBase::SCI_STYLEGETBOLD}) {
                if (h.send(msg, style) != h.send(msg, baseStyle(style)))
                    QFAIL(qPrintable(QStringLiteral("style %1 at %2").arg(style).arg(i)));
            }
        }
        h.editor->setDarkScheme(true);
        h.editor->RefreshHighlighting();
        QVERIFY(h.editor->viewport()->grab().toImage() != light);
        compareWithoutTwins(h);
    }

    void typedCommentInALongLineAlternatesAgainInItsColor() {
        EditorHarness h("", phraseTable);
        h.setText(longLine());
        h.editor->RefreshHighlighting();
        // Before a blank, so that the typed word stands alone.
        const qsizetype start = longLine().indexOf(' ', twinLineBytes / 4);
        h.setCaret(long(start));
        h.type(" rem");
        const QByteArray styles = styleBytes(h);
        const int comment = baseStyle(static_cast<unsigned char>(styles[start + 1]));
        QCOMPARE(h.send(QsciScintillaBase::SCI_STYLEGETFORE, comment), green);
        QByteArray rest = styles.mid(start + 1);
        QVERIFY(twinCount(rest) > rest.size() / 4);
        QVERIFY(twinCount(rest) < rest.size() * 3 / 4);
        // The line is coloured as F5 colours it: the comment to the line's end, with the later
        // entries' words over it; what went before the comment kept its colours.
        QCOMPARE(h.colorAt(0), blue);
        h.editor->RefreshHighlighting();
        const QByteArray whole = styleBytes(h);
        for (qsizetype i = 0; i < styles.size(); ++i)
            QCOMPARE(baseStyle(static_cast<unsigned char>(styles[i])),
                     baseStyle(static_cast<unsigned char>(whole[i])));
    }

    void shortLinesOfALargeScriptAreCutIntoPiecesOnlyWhereTheyCanNeverWrap() {
        EditorHarness h("", phraseTable);
        h.editor->setFont(QFont(QStringLiteral("Monospace"), 11));
        const QByteArrayList lines = {"ObjectTemplate.create Scout rem a b c d e f",
                                      longLine().left(200)};
        h.editor->loadLines(lines);
        h.editor->RefreshHighlighting();
        QCOMPARE(twinCount(styleBytes(h)), 0); // a small script keeps its plain styles
        h.editor->loadLines(largeScript(lines));
        h.editor->RefreshHighlighting();
        const QByteArray styles = styleBytes(h);
        // The short line is cut into words and signs; the 200-byte one reaches the edge of the
        // 900-pixel page and changes twins only where a word follows a blank, where it may
        // break anyway, so it wraps where it always did.
        QVERIFY(twinCount(styles.left(43)) > 0);
        const QByteArray wrapping = styles.mid(45, 200);
        QVERIFY(twinCount(wrapping) > 0);
        for (qsizetype i = 1; i < wrapping.size(); ++i)
            if ((static_cast<unsigned char>(wrapping[i]) >= marlix::twinOffset) !=
                (static_cast<unsigned char>(wrapping[i - 1]) >= marlix::twinOffset))
                QCOMPARE(lines[1].at(i - 1), ' ');
        compareWithoutTwins(h);
        // A document with a long line keeps the widths of many more words.
        const long usual = h.send(QsciScintillaBase::SCI_GETPOSITIONCACHE);
        h.setText(longLine());
        QVERIFY(h.send(QsciScintillaBase::SCI_GETPOSITIONCACHE) > 16 * usual);
    }

    void wrappedLinesBreakWhereTheyDidWithoutTwinsAfterTheWindowNarrows() {
        EditorHarness h("", phraseTable);
        h.editor->setFont(QFont(QStringLiteral("Monospace"), 11));
        QByteArrayList lines;
        for (int i = 0; i < 12; ++i)
            lines.append("ObjectTemplate.setPosition 10.5/2" + QByteArray::number(i) +
                         "/3 rem a part_" + QByteArray(i * 4, 'x') + "/12.5/" +
                         QByteArray::number(i * 977));
        h.editor->loadLines(largeScript(lines));
        h.editor->RefreshHighlighting();
        QVERIFY(twinCount(styleBytes(h)) > 0);
        // Narrower than most lines: those keep twins only between words, before they are
        // wrapped.
        h.page->resize(420, 600);
        QTRY_VERIFY(h.send(QsciScintillaBase::SCI_WRAPCOUNT, 11) > 1);
        const auto layout = [&] {
            (void)h.editor->viewport()->grab(); // lays out what is shown
            QList<QPoint> points;
            const long length = h.send(QsciScintillaBase::SCI_POSITIONFROMLINE, 12);
            for (long pos = 0; pos < length; ++pos)
                points.append({int(h.send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, pos)),
                               int(h.send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, pos))});
            return points;
        };
        const QList<QPoint> withTwins = layout();
        QByteArray plain = styleBytes(h);
        for (char &s : plain)
            s = char(baseStyle(static_cast<unsigned char>(s)));
        h.send(QsciScintillaBase::SCI_STARTSTYLING, 0, 0);
        h.editor->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX,
                                static_cast<unsigned long>(plain.size()), plain.constData());
        QVERIFY(layout() == withTwins);
    }
};

QTEST_MAIN(LongLineColorsTest)
#include "LongLineColorsTest.moc"
