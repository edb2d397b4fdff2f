#include "tests/gui/support/MainWindowFixture.h"

#include <QAction>
#include <QTest>

using namespace marlix;
using fixture::MainWindow;

namespace {

void trigger(TFormMain *w, const char *name) {
    auto *entry = w->findChild<QAction *>(QLatin1String(name));
    QVERIFY2(entry, name);
    entry->trigger();
}

// The list and the row of tabs name the same documents in the same order.
void verifyInStep(TFormMain *w) {
    const DocumentList &list = w->documents();
    QCOMPARE(list.count(), fixture::tabs(w)->pageCount());
    for (int i = 0; i < list.count(); ++i) {
        TTabSheet *page = fixture::tabs(w)->page(i);
        QCOMPARE(list.slotAt(i), page->Tag);
        QCOMPARE(list.path(page->Tag), page->caption());
        QCOMPARE(w->pageOfSlot(page->Tag), page);
    }
}

} // namespace

// The main window's document list follows what the user does with tabs and files.
class DocumentListWindowTest : public QObject {
    Q_OBJECT
private slots:
    void listFollowsOpeningClosingAndTabOrder() {
        MainWindow m;
        TFormMain *w = m.open();
        const QString a = m.script("mod/a.con", "rem a\r\n");
        trigger(w, "mnuNew");
        Prompts::answerFile(fixture::chosen(a));
        trigger(w, "mnuOpen");
        trigger(w, "mnuNew");
        const DocumentList &list = w->documents();
        QCOMPARE(list.tabOrder(), QList<int>({0, 1, 2}));
        QCOMPARE(list.path(1), a);
        QCOMPARE(list.knownFile(1).path, a);
        QVERIFY(list.knownFile(1).fingerprint.exists);
        verifyInStep(w);

        // Closing the middle tab frees its slot; the next script takes it, on the last tab.
        fixture::tabs(w)->setActivePage(w->pageOfSlot(1));
        trigger(w, "mnuClose");
        QCOMPARE(list.tabOrder(), QList<int>({0, 2}));
        QCOMPARE(list.slotWithFile(a), -1);
        QVERIFY(!w->pageOfSlot(1) && !w->editorOfSlot(1));
        Prompts::answerFile(fixture::chosen(a));
        trigger(w, "mnuOpen");
        QCOMPARE(list.tabOrder(), QList<int>({0, 2, 1}));
        QCOMPARE(m.activeSlot(), 1);
        QCOMPARE(list.slotWithFile(a), 1);
        verifyInStep(w);
    }

    void changesAndNamesFollowTheEditor() {
        MainWindow m;
        TFormMain *w = m.open();
        const QString a = m.script("a.con", "rem a\r\n");
        w->OpenDocumentFile(a);
        const int slot = m.activeSlot();
        const DocumentList &list = w->documents();
        QVERIFY(!list.isModified(slot));
        QTest::keyClicks(m.editor(), QStringLiteral("x"));
        QVERIFY(list.isModified(slot));
        QCOMPARE(list.caption(slot), "*" + a);
        trigger(w, "mnuUndo");
        QVERIFY(!list.isModified(slot)); // back at the save point
        QTest::keyClicks(m.editor(), QStringLiteral("y"));
        trigger(w, "mnuSave");
        QVERIFY(!list.isModified(slot));
        QCOMPARE(list.caption(slot), a);

        // An untitled script named by Save As.
        trigger(w, "mnuNew");
        const int untitled = m.activeSlot();
        QTest::keyClicks(m.editor(), QStringLiteral("rem b"));
        QCOMPARE(list.caption(untitled), QStringLiteral("*"));
        const QString b = m.folder.file("b.con");
        Prompts::answerFile(fixture::chosen(b));
        trigger(w, "mnuSaveAs");
        QCOMPARE(list.path(untitled), b);
        QCOMPARE(list.caption(untitled), b);
        verifyInStep(w);
    }

    void anArchiveEntryIsFoundAgainByWhatItsTabShows() {
        MainWindow m;
        TFormMain *w = m.open();
        const QString display = QStringLiteral("[objects.rfa:tanks/Tank.con]");
        QVERIFY(w->openArchiveTextAt(display, "rem one\r\nrem two\r\n", 2));
        const int slot = m.activeSlot();
        const DocumentList &list = w->documents();
        QCOMPARE(list.path(slot), QString());
        QCOMPARE(list.display(slot), display);
        QCOMPARE(list.caption(slot), display);
        trigger(w, "mnuNew");
        QVERIFY(w->openArchiveTextAt(display, "rem one\r\nrem two\r\n", 1));
        QCOMPARE(m.activeSlot(), slot);
        QCOMPARE(m.pages(), 2);
        // Saved under a name, it is that file from then on.
        const QString saved = m.folder.file("Tank.con");
        Prompts::answerFile(fixture::chosen(saved));
        trigger(w, "mnuSaveAs");
        QCOMPARE(list.display(slot), QString());
        QCOMPARE(list.slotWithFile(saved), slot);
        verifyInStep(w);
    }
};

QTEST_MAIN(DocumentListWindowTest)
#include "DocumentListWindowTest.moc"
