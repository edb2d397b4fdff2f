// The dark scheme reaches the panels beside the text, and the selection and the find marks
// keep the text on them readable in both schemes: measured on grabs of the real window, as a
// user sees it.
#include "app/FindBar.h"
#include "app/ResultsPanel.h"
#include "core/common/Contrast.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QHash>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace marlix;
using fixture::MainWindow;

namespace {

const QByteArray script = "ObjectTemplate.create Bundle Tank\r\n"
                          "zqxv plain words zqxv and more words\r\n"
                          "more plain zqxv\r\n";

long send(TAdvEdit *editor, unsigned int message, unsigned long w = 0, long l = 0) {
    return editor->SendScintilla(message, w, l);
}

// The place of the text between two positions, in the viewport's coordinates.
QRect textRect(TAdvEdit *editor, long from, long to) {
    const int x0 = int(send(editor, QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, from));
    const int x1 = int(send(editor, QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, to));
    const int y = int(send(editor, QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, from));
    const long line = send(editor, QsciScintillaBase::SCI_LINEFROMPOSITION, from);
    const int height = int(send(editor, QsciScintillaBase::SCI_TEXTHEIGHT, line));
    return QRect(x0, y, x1 - x0, height);
}

// The colour most pixels of the place have (what lies behind the text) and the contrast of
// the text's own colour, its pixels farthest from that, against it.
struct Reading {
    QRgb ground = 0;
    double contrast = 0;
};

Reading readText(const QImage &image, const QRect &place) {
    QHash<QRgb, int> counts;
    const QRect inside = place.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y) & 0xFFFFFF];
    Reading reading;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            reading.ground = it.key();
        }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        reading.contrast = qMax(reading.contrast, contrastRatio(it.key(), reading.ground));
    return reading;
}

QImage grabText(TAdvEdit *editor) {
    return editor->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb commonColor(QWidget *widget) {
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return readText(image, image.rect()).ground;
}

} // namespace

class SchemeContrastTest : public QObject {
    Q_OBJECT

private slots:
    void selectionAndFindMarksStayReadable_data();
    void selectionAndFindMarksStayReadable();
};

void SchemeContrastTest::selectionAndFindMarksStayReadable_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light scheme") << false;
    QTest::newRow("dark scheme") << true;
}

void SchemeContrastTest::selectionAndFindMarksStayReadable() {
    QFETCH(bool, dark);
    MainWindow m;
    // Dark text on a light background is the third option; no update check.
    m.folder.write("marlix.ini",
                   QByteArray("1\r\n1\r\n") + (dark ? "0" : "1") + "\r\n0\r\n1\r\n1\r\n");
    TFormMain *w = m.open();
    w->resize(1100, 700);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.script("scheme.con", script));
    TAdvEdit *editor = m.editor();
    QCOMPARE(editor->darkScheme(), dark);
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());

    // The panels beside the text take the scheme, and their text reads on them.
    ResultsPanel *results = fixture::results(w);
    results->addResult(m.folder.file("scheme.con"), 2, "zqxv plain words");
    results->setSummary("1 result");
    results->show();
    for (QWidget *panel :
         {static_cast<QWidget *>(editor->ObjectList), static_cast<QWidget *>(results->list)}) {
        QTRY_VERIFY(panel->isVisible());
        const QRgb ground = commonColor(panel);
        QCOMPARE(relativeLuminance(ground) < 0.05, dark);
        const QColor text = panel->palette().color(QPalette::Text);
        QVERIFY2(contrastRatio(text.rgb(), ground) >= ReadableContrast,
                 qPrintable(panel->objectName()));
    }

    // The selection.
    const long word = script.indexOf("plain");
    send(editor, QsciScintillaBase::SCI_SETSEL, word, word + 5);
    QTest::qWait(20);
    const Reading selected = readText(grabText(editor), textRect(editor, word, word + 5));
    QVERIFY2(selected.contrast >= ReadableContrast,
             qPrintable(QStringLiteral("selection %1:1").arg(selected.contrast)));

    // The find marks, of the current match and of the others.
    send(editor, QsciScintillaBase::SCI_SETSEL, 0, 0);
    fixture::trigger(w, "mnuFind");
    auto *bar = w->findChild<FindBar *>();
    QVERIFY(bar);
    bar->findField->setText(QStringLiteral("zqxv"));
    editor->setFocus();
    QTest::qWait(50);
    QTRY_VERIFY(
        send(editor, QsciScintillaBase::SCI_INDICATORALLONFOR, script.lastIndexOf("zqxv")) != 0);
    const QImage marked = grabText(editor);
    int measured = 0;
    for (qsizetype at = script.indexOf("zqxv"); at >= 0; at = script.indexOf("zqxv", at + 1)) {
        const Reading mark = readText(marked, textRect(editor, long(at), long(at + 4)));
        QVERIFY2(mark.ground != (dark ? 0x1E1E1Eu : 0xFFFFFFu),
                 qPrintable(QStringLiteral("no mark at %1").arg(at)));
        QVERIFY2(mark.contrast >= ReadableContrast,
                 qPrintable(QStringLiteral("mark at %1: %2:1").arg(at).arg(mark.contrast)));
        ++measured;
    }
    QCOMPARE(measured, 3);
}

QTEST_MAIN(SchemeContrastTest)
#include "SchemeContrastTest.moc"
