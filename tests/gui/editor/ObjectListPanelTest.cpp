#include "EditorHarness.h"

#include "platform/Prompts.h"

#include <QLineEdit>
#include <QTableView>

namespace {

const QByteArray phraseTable = "rem\r\n1\r\nclGreen\r\n";

} // namespace

// The panel driven as the user drives it: keys in the list and an edit typed into a name.
class ObjectListPanelTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        marlix::Prompts::setTestMode(true);
        marlix::Prompts::reset();
    }

    void arrowKeysWalkTheNamesAndEachJumps() {
        EditorHarness h("", phraseTable);
        h.editor->loadLines(amidFiller(
            {"objecttemplate.create Vehicle Scout", "objecttemplate.create Weapon Cannon"}));
        h.editor->RefreshObjectList();
        QTableView *list = h.editor->ObjectList;
        h.page->activateWindow();
        list->setFocus();
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down); // onto the first type: nothing to select there
        QTest::keyClick(list, Qt::Key_Right);
        QCOMPARE(h.editor->selectedText(), QStringLiteral("objecttemplate.create Vehicle Scout"));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(h.editor->selectedText(), QStringLiteral("objecttemplate.create Weapon Cannon"));
        QCOMPARE(h.editor->firstVisibleLine(), 201);
        QVERIFY(list->hasFocus());
        QCOMPARE(list->currentIndex(), list->model()->index(1, 1));

        // A refresh leaves no cell current, so the next key starts from the top again.
        h.editor->RefreshObjectList();
        QVERIFY(!list->currentIndex().isValid());
    }

    void aNameTypedInPlaceChangesOnlyThePanel() {
        EditorHarness h("", phraseTable);
        const QByteArrayList lines = amidFiller({"objecttemplate.create Vehicle Scout"});
        h.editor->loadLines(lines);
        h.editor->RefreshObjectList();
        QTableView *list = h.editor->ObjectList;
        h.page->activateWindow();
        list->setFocus();
        list->setCurrentIndex(list->model()->index(0, 1));
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, 'J'); // any key starts the edit
        auto *cellEditor = list->findChild<QLineEdit *>();
        QVERIFY(cellEditor);
        QTest::keyClicks(cellEditor, QStringLiteral("eep"));
        QTest::keyClick(cellEditor, Qt::Key_Return);
        QTRY_COMPARE(list->model()->index(0, 1).data().toString(), QStringLiteral("Jeep"));
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("Vehicle "));
        QCOMPARE(h.editor->documentBytes(), lines.join("\r\n"));
        QVERIFY(!h.editor->DocChanged);

        h.editor->RefreshObjectList(); // the text wins again
        QCOMPARE(list->model()->index(0, 1).data().toString(), QStringLiteral("Scout"));
    }
};

QTEST_MAIN(ObjectListPanelTest)
#include "ObjectListPanelTest.moc"
