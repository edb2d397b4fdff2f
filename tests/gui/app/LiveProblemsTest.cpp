// The mod check as the script in view is typed, through the real main window, on a mod laid out
// as real ones are (two levels with two game modes, GameTypes scripts, shared objects, a base
// game): the underline after the pause, the margin marks and tips, F8, the quick fixes, the
// status bar's count and the results panel of Check Mod following edits and saves.
#include "app/LiveProblems.h"
#include "app/IndexTools.h"
#include "app/ResultsPanel.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/ModCheck.h"
#include "editor/ProblemMarks.h"
#include "tests/core/modindex/LayoutModTree.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using fixture::MainWindow;
using namespace marlix;
using Sci = QsciScintillaBase;

namespace {

// The indicators of the three severities (see ProblemMarks.cpp).
constexpr int errorIndicator = 20;
constexpr int informationIndicator = 22;
// Their margin marks; an error's is drawn over the others.
constexpr int errorMarker = 22;
constexpr int informationMarker = 20;

struct LiveWindow {
    LayoutModTree tree;
    MainWindow m;
    TFormMain *w = nullptr;

    LiveWindow() {
        writeIndexFolders(m.folder.path(), {tree.mod}, {tree.base});
        w = m.open();
        w->show();
        QSignalSpy done(fixture::indexTools(w), &IndexTools::buildFinished);
        if (!done.wait(10000))
            qFatal("the index was not built");
    }
    LiveProblems *live() const { return w->findChild<LiveProblems *>(); }
    TAdvEdit *editor() const { return w->activeEditor(); }
    ProblemMarks *marks() const { return live()->marksOf(editor()); }
    QString count() const { return w->findChild<QLabel *>("problemsLabel")->text(); }

    // Opens the script and waits for its first check.
    bool open(const QString &script) {
        QSignalSpy shown(live(), &LiveProblems::problemsShown);
        w->OpenDocumentFile(tree.path(script));
        return shown.wait(5000) && marks();
    }
    qsizetype at(const QByteArray &text) const { return editor()->documentBytes().indexOf(text); }
    bool underlined(qsizetype position, int indicator = errorIndicator) const {
        const long on = editor()->SendScintilla(Sci::SCI_INDICATORALLONFOR,
                                                static_cast<unsigned long>(position));
        return on & (1L << indicator);
    }
    long lineMarks(qsizetype position) const {
        const long line = editor()->SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                                  static_cast<unsigned long>(position));
        return editor()->SendScintilla(Sci::SCI_MARKERGET, static_cast<unsigned long>(line));
    }
    qsizetype caret() const { return editor()->SendScintilla(Sci::SCI_GETCURRENTPOS); }
    void goTo(qsizetype position) const {
        editor()->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(position));
    }
    QByteArray styles() const {
        QByteArray bytes;
        const long length = editor()->SendScintilla(Sci::SCI_GETLENGTH);
        for (long i = 0; i < length; ++i)
            bytes.append(
                char(editor()->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(i))));
        return bytes;
    }
    // Asks for the editor's context menu over the byte, as a right click there does.
    QMenu *contextMenuAt(qsizetype position) const {
        const auto pos = static_cast<unsigned long>(position);
        const QPoint point(int(editor()->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, pos)) + 2,
                           int(editor()->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, pos)) + 4);
        QWidget *viewport = editor()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, viewport->mapToGlobal(point));
        QApplication::sendEvent(viewport, &event);
        return editor()->findChild<QMenu *>("editorContextMenu");
    }
    int panelRowsOf(const QString &script) const {
        const ResultsPanel *results = fixture::results(w);
        int rows = 0;
        for (int row = 0; row < results->resultCount(); ++row)
            rows += results->resultFile(row) == tree.path(script);
        return rows;
    }
};

} // namespace

class LiveProblemsTest : public QObject {
    Q_OBJECT

private slots:
    void aTypoIsUnderlinedAfterThePauseWithAMarkATipAndACount() {
        LiveWindow x;
        QVERIFY(x.open("objects/tanks/tank.con"));
        // Only the override of the base game's tank, which is no error or warning.
        QCOMPARE(x.marks()->problems().size(), 1);
        QVERIFY(x.underlined(x.at("Tiger"), informationIndicator));
        QCOMPARE(x.count(), QString());

        x.goTo(x.editor()->SendScintilla(Sci::SCI_GETLENGTH));
        QTest::keyClick(x.editor(), Qt::Key_Return);
        QTest::keyClicks(x.editor(), "GeometriyTemplate.setLodDistance 0 50");
        const qsizetype typo = x.at("GeometriyTemplate");
        QVERIFY(typo > 0);
        // Not while the keys come: only once the typing has rested, counted from the last key.
        QVERIFY(!x.underlined(typo + 3));
        auto *pause = x.live()->findChild<QTimer *>();
        QVERIFY(pause && pause->isActive());
        QTest::qWait(150);
        QTest::keyClick(x.editor(), Qt::Key_Space);
        QVERIFY(pause->remainingTime() > 200);
        QVERIFY(!x.underlined(typo + 3));
        QTRY_VERIFY_WITH_TIMEOUT(x.underlined(typo + 3), 5000);
        QVERIFY(x.underlined(typo));
        QVERIFY(!x.underlined(x.at(" 0 50")));
        QVERIFY(x.lineMarks(typo) & (1L << errorMarker));
        QVERIFY(!(x.lineMarks(0) & (1L << errorMarker)));
        QVERIFY(x.lineMarks(0) & (1L << informationMarker));
        QCOMPARE(x.count(), QString("1 error"));
        const QString tip = x.marks()->tipAt(typo + 5);
        QVERIFY2(tip.startsWith("error: unknown command GeometriyTemplate.setLodDistance"),
                 qPrintable(tip));
        QVERIFY2(tip.contains("GeometryTemplate.setLodDistance"), qPrintable(tip));
        QCOMPARE(x.marks()->tipAt(0), QString());

        // Mended by hand: the mark and the count go after the next pause.
        x.goTo(typo + 8); // after the stray "i"
        QTest::keyClick(x.editor(), Qt::Key_Backspace);
        QTRY_COMPARE_WITH_TIMEOUT(x.count(), QString(), 5000);
        QVERIFY(!x.underlined(typo + 3));
        QVERIFY(!(x.lineMarks(typo) & (1L << errorMarker)));
    }

    void theColorsOfTheHighlightingStayAsTheyWereUnderTheMarks() {
        LiveWindow x;
        const QString names = x.tree.path("bf1942/game/common/names.con");
        x.w->OpenDocumentFile(names);
        const QByteArray before = x.styles();
        QTRY_VERIFY_WITH_TIMEOUT(x.marks() && x.marks()->problems().size() >= 2, 5000);
        QVERIFY(x.underlined(x.at("GeometriyTemplate")));
        QCOMPARE(x.styles(), before);
        QVERIFY(before.count('\0') < before.size()); // the table did colour something
    }

    void f8AndShiftF8StepThroughTheProblemsAndWrapRound() {
        LiveWindow x;
        QVERIFY(x.open("bf1942/game/common/names.con"));
        // The typo, the far command and the missing file, in the order of the text.
        const qsizetype typo = x.at("GeometriyTemplate"), far = x.at("Frobnicate"),
                        missing = x.at("Missing/Nowhere");
        QCOMPARE(x.marks()->problems().size(), 3);
        x.goTo(0);
        QCOMPARE(fixture::action(x.w, "nextProblemAction")->shortcut(), QKeySequence(Qt::Key_F8));
        QCOMPARE(fixture::action(x.w, "previousProblemAction")->shortcut(),
                 QKeySequence(Qt::ShiftModifier | Qt::Key_F8));
        fixture::trigger(x.w, "nextProblemAction");
        QCOMPARE(x.caret(), typo);
        QCOMPARE(x.editor()->selectedText(), QString("GeometriyTemplate.setLodDistance"));
        fixture::trigger(x.w, "nextProblemAction");
        QCOMPARE(x.caret(), far);
        fixture::trigger(x.w, "nextProblemAction");
        QCOMPARE(x.caret(), missing);
        fixture::trigger(x.w, "nextProblemAction");
        QCOMPARE(x.caret(), typo);
        fixture::trigger(x.w, "previousProblemAction");
        QCOMPARE(x.caret(), missing);
        fixture::trigger(x.w, "previousProblemAction");
        QCOMPARE(x.caret(), far);

        // Lines typed above move the marks with them before the next check.
        x.goTo(0);
        QTest::keyClicks(x.editor(), "rem moved\r");
        fixture::trigger(x.w, "previousProblemAction");
        QCOMPARE(x.caret(), x.at("Missing/Nowhere"));
    }

    void aSuggestionReplacesTheWordAsOneUndoStep() {
        LiveWindow x;
        x.tree.put("objects/tanks/tank.con", "ObjectTemplate.create Bundle Tiger\r\n"
                                             "ObjectTemplate.aiTemplate TigerGnu rem the gun\r\n");
        QVERIFY(x.open("objects/tanks/tank.con"));
        const QByteArray original = x.editor()->documentBytes();
        const qsizetype word = x.at("TigerGnu");
        QVERIFY(x.underlined(word));
        QMenu *menu = x.contextMenuAt(word + 2);
        QVERIFY(menu);
        auto *fix = menu->findChild<QAction *>("actReplaceWith0");
        QVERIFY(fix);
        QCOMPARE(fix->text(), QString("Replace with TigerGun"));
        // The editor's own entries follow.
        QVERIFY(menu->actions().size() > 3);
        fix->trigger();
        menu->close();
        QCOMPARE(x.editor()->documentBytes(), QByteArray(original).replace("TigerGnu", "TigerGun"));
        QTRY_COMPARE_WITH_TIMEOUT(x.count(), QString(), 5000);
        x.editor()->undo();
        QCOMPARE(x.editor()->documentBytes(), original);
        QTRY_COMPARE_WITH_TIMEOUT(x.count(), QString("1 error"), 5000);

        // Away from any problem the menu is the editor's own.
        QVERIFY(!x.contextMenuAt(2) ||
                !x.contextMenuAt(2)->findChild<QAction *>("actReplaceWith0"));
    }

    void ignoreHereSilencesTheProblemWithAnIndentedRemarkAsOneUndoStep() {
        LiveWindow x;
        x.tree.put("objects/tanks/tank.con", "ObjectTemplate.create Bundle Tiger\r\n"
                                             "  Frobnicate.everything 1\r\n");
        QVERIFY(x.open("objects/tanks/tank.con"));
        const QByteArray original = x.editor()->documentBytes();
        QCOMPARE(x.count(), QString("1 warning"));
        QMenu *menu = x.contextMenuAt(x.at("Frobnicate") + 1);
        QVERIFY(menu);
        auto *ignore = menu->findChild<QAction *>("actIgnoreHere0");
        QVERIFY(ignore);
        ignore->trigger();
        menu->close();
        QCOMPARE(x.editor()->documentBytes(),
                 QByteArray(original).replace(
                     "  Frobnicate", "  rem marlix: ignore unknown-command\r\n  Frobnicate"));
        QTRY_COMPARE_WITH_TIMEOUT(x.count(), QString(), 5000);
        for (const ModProblem &left : x.marks()->problems())
            QCOMPARE(left.kind, ModProblem::Override); // the base game's tank
        x.editor()->undo();
        QCOMPARE(x.editor()->documentBytes(), original);
    }

    void theResultsOfCheckModFollowEditsAndSaves() {
        LiveWindow x;
        QVERIFY(x.open("objects/tanks/tank.con"));
        fixture::trigger(x.w, "checkModAction");
        ResultsPanel *panel = fixture::results(x.w);
        const QList<ModProblem> all = checkMod(*fixture::indexTools(x.w)->index());
        QTRY_COMPARE(panel->summary(), problemSummary(all));
        const int others = panel->resultCount();
        QVERIFY(others > 0);
        const int tankRows = x.panelRowsOf("objects/tanks/tank.con"); // the override

        // Typed, not saved: the script's rows come after the pause.
        x.goTo(x.editor()->SendScintilla(Sci::SCI_GETLENGTH));
        QTest::keyClicks(x.editor(), "ObjectTemplate.addTemplate NoSuchPart");
        QTRY_COMPARE_WITH_TIMEOUT(x.panelRowsOf("objects/tanks/tank.con"), tankRows + 1, 5000);
        QCOMPARE(panel->resultCount(), others + 1);
        QVERIFY(panel->summary() != problemSummary(all));

        // Saved with a second mistake: the rows are what the saved script holds.
        QTest::keyClicks(x.editor(), "\rGeometriyTemplate.setLodDistance 0 50");
        fixture::trigger(x.w, "mnuSave");
        QTRY_COMPARE_WITH_TIMEOUT(x.panelRowsOf("objects/tanks/tank.con"), tankRows + 2, 5000);
        QCOMPARE(panel->resultCount(), others + 2);
        // The index reads the saved script again; the summary agrees with a check of it all.
        QTRY_COMPARE_WITH_TIMEOUT(
            panel->summary(), problemSummary(checkMod(*fixture::indexTools(x.w)->index())), 5000);

        // Once another command fills the panel, its rows are left alone.
        x.goTo(x.at("Tiger") + 1);
        fixture::trigger(x.w, "findReferencesAction");
        const int references = panel->resultCount();
        QTest::keyClicks(x.editor(), "\rObject.create Nowhere");
        QSignalSpy shown(x.live(), &LiveProblems::problemsShown);
        QVERIFY(shown.wait(5000));
        QCOMPARE(panel->resultCount(), references);
    }

    void closingTheWindowWhileAScriptIsCheckedStopsTheCheckBeforeTheIndexGoes() {
        LiveWindow x;
        QVERIFY(x.open("objects/tanks/tank.con"));
        QTest::keyClicks(x.editor(), "Object.create Nowhere");
        QTest::qWait(LiveProblems::pauseMilliseconds + 5);
        x.m.window.reset(); // must not leave the check reading a deleted index
    }

    void aScriptOutsideTheIndexedModShowsNothing() {
        LiveWindow x;
        const QString stray = x.m.script("stray.con", "Object.create NothingHere\r\n");
        QSignalSpy shown(x.live(), &LiveProblems::problemsShown);
        x.w->OpenDocumentFile(stray);
        QVERIFY(shown.wait(5000));
        QCOMPARE(x.count(), QString());
        QVERIFY(!x.marks() || x.marks()->problems().isEmpty());
    }
};

QTEST_MAIN(LiveProblemsTest)
#include "LiveProblemsTest.moc"
