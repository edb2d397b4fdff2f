#include <QTest>

#include "app/FindBar.h"
#include "app/GoToLineBar.h"
#include "app/ResultsPanel.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>
#include <ctime>

using namespace marlix;
using fixture::MainWindow;

// The find, replace and go-to-line bars of the real window, driven by keys as a user does.
class FindBarTest : public QObject {
    Q_OBJECT

private slots:
    void typingInTheBarFindsMarksAndCounts();
    void emptyOrInvalidPatternIsSaidInTheBar();
    void menuKeysReachTheMenuWithTheBarFocused();
    void replaceAllIsOneUndoStepWithRegexGroups();
    void replaceTakesTheSelectedMatchAndGoesOn();
    void goToLineJumpsOrSaysWhyNot();
    void findInFilesListsTheIndexFoldersMatches();
    void escClosesTheBarFromItsButtonsAndBoxes();
    void patternTooComplexIsSaidAndReplaceAllReplacesNothing();
    void slowSearchLeavesTheWindowFreeAndEscStopsIt();
};

namespace {

struct OpenWindow {
    MainWindow m;
    TFormMain *w = nullptr;
    TAdvEdit *editor = nullptr;

    explicit OpenWindow(const QByteArray &text) {
        w = m.open();
        w->show();
        if (!QTest::qWaitForWindowActive(w))
            qFatal("window not active");
        w->OpenDocumentFile(m.script("find.con", text));
        editor = m.editor();
        editor->setFocus();
    }
    FindBar *bar() const { return FindBar::ofPage(m.active(), editor, false); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) const {
        QTest::keyClick(QApplication::focusWidget(), k, mods);
        QCoreApplication::processEvents();
    }
    long send(unsigned int message, unsigned long w1 = 0, long l = 0) const {
        return editor->SendScintilla(message, w1, l);
    }
    QPair<long, long> selection() const {
        return {send(QsciScintillaBase::SCI_GETSELECTIONSTART),
                send(QsciScintillaBase::SCI_GETSELECTIONEND)};
    }
    bool marked(int indicator, long position) const {
        return send(QsciScintillaBase::SCI_INDICATORVALUEAT, indicator, position) != 0;
    }
    QByteArray styles() const {
        QByteArray s;
        for (long p = 0; p < send(QsciScintillaBase::SCI_GETLENGTH); ++p)
            s.append(char(send(QsciScintillaBase::SCI_GETSTYLEAT, p)));
        return s;
    }
};

constexpr int matchIndicator = 8;
constexpr int currentIndicator = 9;

qint64 threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The most processor time the window's thread spends between two turns of its event loop,
// while it is alive.
struct Heartbeat {
    QTimer beat;
    qint64 last = threadCpuMs();
    qint64 longest = 0;
    Heartbeat() {
        QObject::connect(&beat, &QTimer::timeout, [this] {
            const qint64 now = threadCpuMs();
            longest = qMax(longest, now - last);
            last = now;
        });
        beat.start(5);
    }
};

// Lines on which "(a+)+$" backtracks twice as long for every further "a".
QByteArray linesOfA(int perLine, qsizetype bytes) {
    QByteArray text;
    while (text.size() < bytes)
        text += QByteArray(perLine, 'a') + "b\r\n";
    return text;
}

} // namespace

void FindBarTest::typingInTheBarFindsMarksAndCounts() {
    OpenWindow o("if x\r\nalpha Alpha\r\nalphabet alpha\r\n");
    QTRY_VERIFY(o.editor->hasFocus());
    const QByteArray text = o.editor->documentBytes();
    const QByteArray colors = o.styles();
    o.key(Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = o.bar();
    QVERIFY(bar && bar->isVisible());
    QTRY_VERIFY(bar->findField->hasFocus());
    QVERIFY(!bar->replaceRow->isVisible());

    QTest::keyClicks(bar->findField, "alpha");
    QCOMPARE(o.selection(), qMakePair(6L, 11L)); // found as typed
    QTRY_COMPARE(bar->statusLabel->text(), QStringLiteral("4 matches"));
    for (long p : {6L, 12L, 19L, 28L})
        QVERIFY2(o.marked(matchIndicator, p), qPrintable(QString::number(p)));
    QVERIFY(!o.marked(matchIndicator, 0));
    QVERIFY(o.marked(currentIndicator, 6));
    QVERIFY(!o.marked(currentIndicator, 12));
    QCOMPARE(o.styles(), colors); // marks, never styles

    bar->matchCase->setChecked(true);
    bar->wholeWord->setChecked(true);
    QTRY_COMPARE(bar->statusLabel->text(), QStringLiteral("2 matches"));
    o.key(Qt::Key_Return);
    QCOMPARE(o.selection(), qMakePair(28L, 33L));
    o.key(Qt::Key_Return); // round the end
    QCOMPARE(o.selection(), qMakePair(6L, 11L));
    QTRY_VERIFY(bar->statusLabel->text().contains(QStringLiteral("wrapped")));
    o.key(Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(o.selection(), qMakePair(28L, 33L));
    // F3 and Shift+F3 are the menu's, also from the bar.
    QSignalSpy next(fixture::action(o.w, "findNextAction"), &QAction::triggered);
    o.key(Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(o.selection(), qMakePair(6L, 11L));
    o.key(Qt::Key_F3);
    QCOMPARE(next.size(), 1);
    QCOMPARE(o.selection(), qMakePair(28L, 33L));
    bar->wrapAround->setChecked(false);
    o.key(Qt::Key_F3);
    QCOMPARE(o.selection(), qMakePair(28L, 33L));
    QTRY_VERIFY(bar->statusLabel->text().contains(QStringLiteral("no more")));

    o.key(Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QTRY_VERIFY(o.editor->hasFocus());
    QVERIFY(!o.marked(matchIndicator, 28));
    QCOMPARE(o.editor->documentBytes(), text);
    QVERIFY(Prompts::shown().isEmpty());
    // F3 in the editor goes on with the bar's search.
    o.key(Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(o.selection(), qMakePair(6L, 11L));
}

void FindBarTest::emptyOrInvalidPatternIsSaidInTheBar() {
    OpenWindow o("one (two)\r\n");
    QTRY_VERIFY(o.editor->hasFocus());
    o.key(Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = o.bar();
    QTRY_VERIFY(!bar->statusLabel->text().isEmpty()); // empty pattern
    const QString empty = bar->statusLabel->text();
    bar->regularExpression->setChecked(true);
    QTest::keyClicks(bar->findField, "(two");
    QTRY_VERIFY(bar->statusLabel->text() != empty);
    QVERIFY(!bar->statusLabel->text().contains(QStringLiteral("match")));
    o.key(Qt::Key_Return);
    QCOMPARE(o.selection(), qMakePair(0L, 0L));
    QVERIFY(Prompts::shown().isEmpty()); // never a box
    QTest::keyClick(bar->findField, Qt::Key_ParenRight);
    QTRY_COMPARE(bar->statusLabel->text(), QStringLiteral("1 match"));
    QCOMPARE(o.selection(), qMakePair(5L, 8L)); // the group "(two)"
}

void FindBarTest::menuKeysReachTheMenuWithTheBarFocused() {
    OpenWindow o("alpha beta\r\n");
    QTRY_VERIFY(o.editor->hasFocus());
    const QByteArray text = o.editor->documentBytes();
    o.key(Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = o.bar();
    QTRY_VERIFY(bar->findField->hasFocus());
    // The field's own editing keys stay in the field.
    QGuiApplication::clipboard()->setText(QStringLiteral("beta"));
    o.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(bar->findField->text(), QStringLiteral("beta"));
    QCOMPARE(o.editor->documentBytes(), text);
    // Ctrl+R turns the same bar into the Replace bar.
    o.key(Qt::Key_R, Qt::ControlModifier);
    QVERIFY(bar->replaceRow->isVisible());
    QCOMPARE(bar->findField->text(), QStringLiteral("beta"));
    // Ctrl+S saves the document; Ctrl+G changes to the Go to Line bar.
    o.key(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(o.m.folder.read("find.con").contains("alpha beta"));
    o.key(Qt::Key_G, Qt::ControlModifier);
    QVERIFY(!bar->isVisible());
    auto *go = GoToLineBar::ofPage(o.m.active(), o.editor, false);
    QVERIFY(go && go->isVisible());
    QTRY_VERIFY(go->lineField->hasFocus());
    o.key(Qt::Key_Escape);
    QVERIFY(!go->isVisible());
    QTRY_VERIFY(o.editor->hasFocus());
    // Ctrl+L closes the document from the bar too.
    o.key(Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(bar->findField->hasFocus());
    o.key(Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(o.m.pages(), 0);
}

void FindBarTest::replaceAllIsOneUndoStepWithRegexGroups() {
    // Bytes outside the matches (0x80-0xFF, a lone LF) must come through as they are.
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += "obj.set" + QByteArray::number(i % 7) + " \x93q\x94 \xE9\n\r\n";
    OpenWindow o(text);
    QTRY_VERIFY(o.editor->hasFocus());
    const QByteArray before = o.editor->documentBytes();
    o.key(Qt::Key_R, Qt::ControlModifier);
    FindBar *bar = o.bar();
    QVERIFY(bar->replaceRow->isVisible());
    bar->regularExpression->setChecked(true);
    QTest::keyClicks(bar->findField, "(\\w+)\\.set(\\d)");
    bar->replaceField->setText(QStringLiteral("\\2:\\1"));
    QTRY_COMPARE(bar->statusLabel->text(), QStringLiteral("300 matches"));
    QSignalSpy spy(o.editor, &QsciScintillaBase::SCN_MODIFIED);
    bar->replaceAllButton->click();
    QCOMPARE(bar->statusLabel->text(), QStringLiteral("Replaced 300 matches"));
    QByteArray expected = before;
    expected.replace(QByteArray("obj.set"), QByteArray("#"));
    for (int d = 0; d < 7; ++d)
        expected.replace("#" + QByteArray::number(d), QByteArray::number(d) + ":obj");
    QCOMPARE(o.editor->documentBytes(), expected);
    QVERIFY(o.editor->DocChanged);
    QVERIFY(spy.size() <= 2); // one edit, not 300
    // The replaced text is coloured as the table says, like the rest.
    const QByteArray colors = o.styles();
    fixture::trigger(o.w, "mnuRefreshObjects");
    QCOMPARE(o.styles(), colors);

    bar->close();
    QTRY_VERIFY(o.editor->hasFocus());
    o.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(o.editor->documentBytes(), before);
    o.key(Qt::Key_Z, Qt::ControlModifier); // nothing before it to undo
    QCOMPARE(o.editor->documentBytes(), before);

    // A group the pattern lacks is said in the bar, and nothing changes.
    o.key(Qt::Key_R, Qt::ControlModifier);
    bar->replaceField->setText(QStringLiteral("\\5"));
    bar->replaceAllButton->click();
    QVERIFY(!bar->statusLabel->text().isEmpty());
    QCOMPARE(o.editor->documentBytes(), before);
}

void FindBarTest::replaceTakesTheSelectedMatchAndGoesOn() {
    OpenWindow o("cat dog cat\r\n");
    QTRY_VERIFY(o.editor->hasFocus());
    o.key(Qt::Key_R, Qt::ControlModifier);
    FindBar *bar = o.bar();
    QTest::keyClicks(bar->findField, "cat");
    QCOMPARE(o.selection(), qMakePair(0L, 3L));
    bar->replaceField->setText(QStringLiteral("bird"));
    bar->replaceButton->click();
    QCOMPARE(o.editor->documentBytes(), QByteArray("bird dog cat"));
    QCOMPARE(o.selection(), qMakePair(9L, 12L)); // on to the next
    bar->replaceButton->click();
    QCOMPARE(o.editor->documentBytes(), QByteArray("bird dog bird"));
    QTRY_VERIFY(bar->statusLabel->text().startsWith(QStringLiteral("No matches")));
}

void FindBarTest::goToLineJumpsOrSaysWhyNot() {
    OpenWindow o("one\r\ntwo\r\nthree\r\nfour\r\n");
    QTRY_VERIFY(o.editor->hasFocus());
    o.key(Qt::Key_G, Qt::ControlModifier);
    auto *go = GoToLineBar::ofPage(o.m.active(), o.editor, false);
    QTRY_VERIFY(go->lineField->hasFocus());
    QTest::keyClicks(go->lineField, "x3");
    o.key(Qt::Key_Return);
    QVERIFY(go->isVisible());
    QVERIFY(!go->statusLabel->text().isEmpty());
    go->lineField->clear();
    QTest::keyClicks(go->lineField, " 3 ");
    o.key(Qt::Key_Return);
    QVERIFY(!go->isVisible());
    QTRY_VERIFY(o.editor->hasFocus());
    int line = 0, index = 0;
    o.editor->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
    QCOMPARE(index, 0);
    o.key(Qt::Key_G, Qt::ControlModifier);
    QTest::keyClicks(go->lineField, "999"); // past the end: the last line
    o.key(Qt::Key_Return);
    o.editor->getCursorPosition(&line, &index);
    QCOMPARE(line, o.editor->lines() - 1);
}

void FindBarTest::findInFilesListsTheIndexFoldersMatches() {
    MainWindow m;
    m.folder.write(QStringLiteral("mod/objects/a.con"), "rem tank\r\nTank.create\r\n");
    m.folder.write(QStringLiteral("mod/objects/sub/b.inc"), "x\r\ny\r\nbig tank here\r\n");
    m.folder.write(QStringLiteral("mod/objects/c.txt"), "tank"); // not a script
    m.folder.write(QStringLiteral("indexfolders.ini"), m.folder.file("mod").toUtf8() + "\r\n");
    TFormMain *w = m.open();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->OpenDocumentFile(m.folder.file("mod/objects/a.con"));
    m.editor()->setFocus();
    QTRY_VERIFY(m.editor()->hasFocus());
    QTest::keyClick(m.editor(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    FindBar *bar = FindBar::ofPage(m.active(), m.editor(), false);
    QTRY_VERIFY(bar && bar->findField->hasFocus());
    bar->wholeWord->setChecked(true);
    QTest::keyClicks(bar->findField, "tank");
    QTest::keyClick(bar->findField, Qt::Key_Return);
    ResultsPanel *panel = fixture::results(w);
    QTRY_COMPARE(panel->resultCount(), 3); // "Tank." too: letter case ignored
    QCOMPARE(panel->resultFile(0), m.folder.file("mod/objects/a.con"));
    QCOMPARE(panel->resultLine(0), 1);
    QCOMPARE(panel->resultLine(1), 2);
    QCOMPARE(panel->resultFile(2), m.folder.file("mod/objects/sub/b.inc"));
    QCOMPARE(panel->resultLine(2), 3);
    QCOMPARE(panel->resultText(2), QStringLiteral("big tank here"));
    panel->chooseResult(2);
    QTRY_COMPARE(m.active()->caption(), m.folder.file("mod/objects/sub/b.inc"));
    int line = 0, index = 0;
    m.editor()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
}

// Esc only closed the bar from its two text fields; from its buttons and boxes it did nothing.
void FindBarTest::escClosesTheBarFromItsButtonsAndBoxes() {
    OpenWindow o("alpha\r\n");
    QTRY_VERIFY(o.editor->hasFocus());
    for (const char *control : {"matchCase", "nextButton", "wrapAround", "closeButton"}) {
        o.key(Qt::Key_F, Qt::ControlModifier);
        FindBar *bar = o.bar();
        QTRY_VERIFY(bar->findField->hasFocus());
        auto *widget = bar->findChild<QWidget *>(QLatin1String(control));
        QVERIFY(widget);
        widget->setFocus();
        QTRY_VERIFY(widget->hasFocus());
        o.key(Qt::Key_Escape);
        QVERIFY2(!bar->isVisible(), control);
        QTRY_VERIFY(o.editor->hasFocus());
    }
    // The results panel keeps its own Esc, which leaves the bar as it is.
    o.key(Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = o.bar();
    ResultsPanel *panel = fixture::results(o.w);
    panel->addResult(o.m.active()->caption(), 1, QStringLiteral("alpha"));
    panel->present();
    QTRY_VERIFY(panel->list->hasFocus());
    o.key(Qt::Key_Escape);
    QVERIFY(!panel->isVisible());
    QVERIFY(bar->isVisible());
}

// "(a+)+$" over 25 KB of such lines froze the window for minutes and then said "No matches",
// while Enter still found a match and Replace All replaced nothing without a word.
void FindBarTest::patternTooComplexIsSaidAndReplaceAllReplacesNothing() {
    OpenWindow o("x1\r\n" + linesOfA(40, 25 * 1024) + "x2\r\n");
    QTRY_VERIFY(o.editor->hasFocus());
    const QByteArray before = o.editor->documentBytes();
    Heartbeat heart;
    o.key(Qt::Key_R, Qt::ControlModifier);
    FindBar *bar = o.bar();
    bar->regularExpression->setChecked(true);
    QTest::keyClicks(bar->findField, "x\\d|(a+)+$");
    QTRY_COMPARE_WITH_TIMEOUT(bar->statusLabel->text(),
                              QStringLiteral("search stopped: pattern too complex at line 2"),
                              20000);
    QCOMPARE(o.selection(), qMakePair(0L, 2L)); // x1, before the place, is found
    o.key(Qt::Key_Return);
    QTRY_VERIFY(!bar->isSearching());
    QCOMPARE(o.selection(), qMakePair(0L, 2L)); // never past the place to x2
    QTRY_VERIFY(bar->statusLabel->text().startsWith(QStringLiteral("search stopped")));
    bar->replaceField->setText(QStringLiteral("y"));
    bar->replaceAllButton->click();
    QTRY_VERIFY(!bar->isSearching());
    QCOMPARE(bar->statusLabel->text(),
             QStringLiteral("search stopped: pattern too complex at line 2"));
    QCOMPARE(o.editor->documentBytes(), before);
    QVERIFY2(heart.longest < 100, qPrintable(QString::number(heart.longest)));
}

void FindBarTest::slowSearchLeavesTheWindowFreeAndEscStopsIt() {
    // Each place costs just under the engine's limit: slow, but a search it completes.
    OpenWindow o(linesOfA(15, 400 * 1024));
    QTRY_VERIFY(o.editor->hasFocus());
    o.key(Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = o.bar();
    bar->regularExpression->setChecked(true);
    QTest::keyClicks(bar->findField, "(a+)+");
    QTRY_VERIFY(!bar->isSearching());
    const auto selected = o.selection();
    Heartbeat heart;
    QTest::keyClicks(bar->findField, "$"); // no line ends in a's: every place is tried
    QTRY_VERIFY(bar->isSearching());
    QTRY_COMPARE(bar->statusLabel->text(), QStringLiteral("Searching... (Esc stops)"));
    QTest::qWait(300);
    QVERIFY2(heart.longest < 100, qPrintable(QString::number(heart.longest)));
    o.key(Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QVERIFY(!bar->isSearching());
    QTRY_VERIFY(o.editor->hasFocus());
    QCOMPARE(o.selection(), selected); // the search that was stopped selects nothing
}

QTEST_MAIN(FindBarTest)
#include "FindBarTest.moc"
