// The mod index through the real main window, on the generated mod tree of the index tests:
// the background build, Index Folders, go to definition and back, find references, Check Mod,
// the tips over names and the index kept current.
#include "app/IndexFoldersDialog.h"
#include "app/IndexTools.h"
#include "app/ResultsPanel.h"
#include "core/common/Contrast.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/ModCheck.h"
#include "tests/core/modindex/ModTree.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/ModalDialogs.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <functional>

using fixture::MainWindow;
using namespace marlix;

namespace {

using fixture::whenShown;

// The main window over the tree, its index folders listed, the first build done.
struct IndexedWindow {
    ModTree tree;
    MainWindow m;
    TFormMain *w = nullptr;

    // options: the marlix.ini the window starts with; none when empty.
    explicit IndexedWindow(bool listFolders = true, const QByteArray &options = {}) {
        if (listFolders)
            writeIndexFolders(m.folder.path(), {tree.mod});
        if (!options.isEmpty())
            m.folder.write(QStringLiteral("marlix.ini"), options);
        w = m.open();
        w->show();
    }
    IndexTools *tools() const { return fixture::indexTools(w); }
    bool waitForBuild() const {
        QSignalSpy done(tools(), &IndexTools::buildFinished);
        return done.wait(10000);
    }
    // Opens the script with the caret inside the first occurrence of the text.
    void caretIn(const QString &script, const QByteArray &text, int offset = 2) const {
        w->OpenDocumentFile(tree.path(script));
        const qsizetype at = editor()->documentBytes().indexOf(text);
        QVERIFY2(at >= 0, text.constData());
        editor()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                static_cast<unsigned long>(at + offset));
    }
    TAdvEdit *editor() const { return w->activeEditor(); }
    QString shownFile() const {
        const TTabSheet *page = fixture::tabs(w)->ActivePage();
        return page ? (page->caption().isEmpty() ? page->displayText() : page->caption())
                    : QString();
    }
    int caretLine() const {
        int line = 0, index = 0;
        editor()->getCursorPosition(&line, &index);
        return line + 1;
    }
    void press(int key, Qt::KeyboardModifiers modifiers = {}) const {
        QTest::keyClick(editor(), Qt::Key(key), modifiers);
    }
};

} // namespace

class ModIndexWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theIndexIsBuiltInTheBackgroundAtStartWithAProgressBar() {
        IndexedWindow x;
        QVERIFY(x.tools()->isBuilding() || x.tools()->progressBar->isVisible() ||
                x.tools()->index()->scriptFiles().isEmpty());
        QVERIFY(x.waitForBuild());
        QVERIFY(x.tools()->progressBar->isHidden());
        QVERIFY(x.tools()->indexStatus->text().startsWith("Index: "));
        QVERIFY(x.tools()->index()->contains(x.tree.path("objects/vehicles/tank/tank.inc")));
        QCOMPARE(x.tools()->indexedFolders(), QStringList{x.tree.mod});
    }

    void closingTheWindowDuringABuildStopsTheBuildBeforeTheIndexGoes() {
        ModTree tree;
        for (int i = 0; i < 400; ++i)
            tree.put(QString("objects/many/s%1.con").arg(i),
                     QByteArray("ObjectTemplate.create Bundle Many_") + QByteArray::number(i) +
                         "\r\nObjectTemplate.addTemplate Tank_Hull\r\n");
        MainWindow m;
        writeIndexFolders(m.folder.path(), {tree.mod});
        TFormMain *w = m.open();
        QTRY_VERIFY(fixture::indexTools(w)->isBuilding());
        m.window.reset(); // must not leave the build's threads reading a deleted index
    }

    void indexFoldersDialogKeepsTheListBesideTheProgramAndRebuilds() {
        IndexedWindow x(false);
        QVERIFY(x.tools()->indexedFolders().isEmpty());
        QStringList shown;
        whenShown<IndexFoldersDialog>([&](IndexFoldersDialog *dialog) {
            shown = dialog->folders();
            dialog->folderBox->setText(x.tree.mod + "/");
            QVERIFY(dialog->addTypedFolder());
            dialog->folderBox->setText(x.tree.mod);
            dialog->addTypedFolder(); // already listed
            dialog->accept();
        });
        QSignalSpy done(x.tools(), &IndexTools::buildFinished);
        x.w->findChild<QAction *>("indexFoldersAction")->trigger();
        QCOMPARE(shown, QStringList());
        QCOMPARE(readIndexFolders(x.m.folder.path()), QStringList{x.tree.mod});
        QVERIFY(done.wait(10000));
        QVERIFY(x.tools()->index()->contains(x.tree.path("objects/common/dupes.con")));

        // Cancel keeps the list as it was.
        whenShown<IndexFoldersDialog>([&](IndexFoldersDialog *dialog) {
            dialog->folderList->item(0)->setSelected(true);
            dialog->removeChosenFolders();
            dialog->reject();
        });
        x.tools()->indexFoldersAction->trigger();
        QCOMPARE(readIndexFolders(x.m.folder.path()), QStringList{x.tree.mod});
    }

    void f12OpensTheDefinitionSelectedAndAltLeftComesBack() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        x.caretIn("objects/vehicles/tank/tank.con", "Tank_Hull_M1");
        const long start = x.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        TAdvEdit *from = x.editor();
        x.press(Qt::Key_F12); // the menu's key, not the editor's
        QCOMPARE(x.shownFile(), x.tree.path("objects/vehicles/tank/tank.inc"));
        QCOMPARE(x.caretLine(), 1);
        QCOMPARE(x.editor()->selectedText(),
                 QString("GEOMETRYTEMPLATE.CREATE StandardMesh Tank_Hull_M1"));

        // Again on an open script: its tab is reused.
        x.caretIn("objects/vehicles/tank/tank.con", "Tank_Hull_M1");
        x.press(Qt::Key_F12);
        QCOMPARE(x.m.pages(), 2);

        x.press(Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(x.editor(), from);
        QCOMPARE(x.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), start);
        QCOMPARE(x.m.pages(), 2);
    }

    void severalDefinitionsAreOfferedToChooseFrom() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        x.caretIn("objects/vehicles/tank/tank.con", "tank_turret");
        QStringList offered;
        whenShown<QDialog>([&](QDialog *dialog) {
            auto *list = dialog->findChild<QListWidget *>("definitionList");
            for (int row = 0; row < list->count(); ++row)
                offered << list->item(row)->text();
            list->setCurrentRow(1);
            dialog->accept();
        });
        x.press(Qt::Key_F12);
        QCOMPARE(offered.size(), 2);
        QVERIFY(offered[0].contains("dupes.con:1"));
        QVERIFY(offered[1].contains("tank.inc:2"));
        QCOMPARE(x.shownFile(), x.tree.path("objects/vehicles/tank/tank.inc"));
        QCOMPARE(x.caretLine(), 2);
    }

    // The list of places stood white in a dark editor.
    void definitionChooserFollowsTheDarkScheme() {
        IndexedWindow x(true, fixture::darkSchemeOptions);
        QVERIFY(x.waitForBuild());
        QVERIFY(x.w->darkScheme());
        x.caretIn("objects/vehicles/tank/tank.con", "tank_turret");
        QColor base, text;
        whenShown<QDialog>([&](QDialog *dialog) {
            auto *list = dialog->findChild<QListWidget *>("definitionList");
            base = list->palette().color(QPalette::Base);
            text = list->palette().color(QPalette::Text);
            dialog->reject();
        });
        x.press(Qt::Key_F12);
        QTRY_VERIFY(base.isValid());
        QVERIFY(base.lightness() < 64);
        QVERIFY(marlix::contrastRatio(text.rgb(), base.rgb()) >= marlix::ReadableContrast);
    }

    void ctrlClickAndIncludeOrRunPathsOpenTheirScripts() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        x.caretIn("objects/vehicles/tank/tank.con", "include tank.inc", 10);
        x.press(Qt::Key_F12);
        QCOMPARE(x.shownFile(), x.tree.path("objects/vehicles/tank/tank.inc"));

        // Ctrl+click on "run TankSounds" (no extension: the .con).
        x.w->OpenDocumentFile(x.tree.path("objects/vehicles/tank/tank.con"));
        TAdvEdit *editor = x.editor();
        const qsizetype at = editor->documentBytes().indexOf("TankSounds") + 3;
        const QPoint point(
            int(editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, at)),
            int(editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, at)) + 3);
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::ControlModifier, point);
        QTRY_COMPARE(x.shownFile(), x.tree.path("objects/vehicles/tank/TankSounds.con"));
    }

    void archiveEntriesOpenAsOpenFromArchiveShowsThem() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        x.caretIn("objects/vehicles/tank/tank.con", "Tank_AI");
        x.press(Qt::Key_F12);
        QCOMPARE(x.shownFile(), QString("[ai.rfa:ai/tank_ai.con]"));
        QVERIFY(x.m.active()->caption().isEmpty()); // Save asks for a name
        QCOMPARE(x.editor()->selectedText(), QString("aiTemplate.create Tank_AI"));
        QCOMPARE(x.m.pages(), 2);
        x.caretIn("objects/vehicles/tank/tank.con", "Tank_AI");
        x.press(Qt::Key_F12);
        QCOMPARE(x.m.pages(), 2); // the entry's tab is reused
    }

    void shiftF12ListsDefinitionsAndReferencesWithTheCount() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        x.caretIn("objects/vehicles/tank/tank.con", "Tank_Hull\r");
        x.press(Qt::Key_F12, Qt::ShiftModifier);
        ResultsPanel *panel = fixture::results(x.w);
        QVERIFY(panel->isVisible());
        QVERIFY(panel->height() < fixture::tabs(x.w)->height()); // the script stays the larger part
        QCOMPARE(panel->summary(), QString("Tank_Hull: 1 definition, 1 reference"));
        QCOMPARE(panel->resultCount(), 2);
        QCOMPARE(panel->resultFile(0), x.tree.path("bf1942/levels/test/objects.con"));
        QCOMPARE(panel->resultText(0), QString("Object.create Tank_Hull"));
        QCOMPARE(panel->resultLine(1), 2);
        QTest::keyClick(panel->list, Qt::Key_Return);
        QCOMPARE(x.shownFile(), x.tree.path("bf1942/levels/test/objects.con"));
    }

    void checkModListsEveryProblemUnderItsSummary() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        x.tools()->checkModAction->trigger();
        const QList<ModProblem> problems = checkMod(*x.tools()->index());
        ResultsPanel *panel = fixture::results(x.w);
        QVERIFY(!problems.isEmpty());
        // The check runs off the window's thread; the panel fills when it is done.
        QTRY_COMPARE(panel->summary(), problemSummary(problems));
        QCOMPARE(panel->resultCount(), problems.size());
        QStringList texts;
        for (int row = 0; row < panel->resultCount(); ++row)
            texts << panel->resultText(row);
        QVERIFY(texts.join('\n').contains("Tank_Wheel"));
        QVERIFY(texts.join('\n').contains("setMaxSped"));
        QVERIFY(texts.join('\n').contains("error: unknown command"));
    }

    void aTickedIndexFolderIsKeptAsTheBaseGameAndIndexedAsIt() {
        IndexedWindow x(false);
        const QString base = x.tree.dir.filePath("aisource");
        whenShown<IndexFoldersDialog>([&](IndexFoldersDialog *dialog) {
            dialog->folderBox->setText(x.tree.mod);
            QVERIFY(dialog->addTypedFolder());
            dialog->folderBox->setText(base);
            QVERIFY(dialog->addTypedFolder());
            dialog->folderList->item(1)->setCheckState(Qt::Checked);
            dialog->accept();
        });
        QSignalSpy done(x.tools(), &IndexTools::buildFinished);
        x.tools()->indexFoldersAction->trigger();
        QCOMPARE(readIndexFolders(x.m.folder.path()), QStringList{x.tree.mod});
        QCOMPARE(readBaseFolders(x.m.folder.path()), QStringList{base});
        QVERIFY(done.wait(10000));
        QCOMPARE(x.tools()->index()->baseFolders(), QStringList{base});
        // The dialog shows it ticked the next time.
        bool ticked = false;
        whenShown<IndexFoldersDialog>([&](IndexFoldersDialog *dialog) {
            ticked = dialog->folderList->count() == 2 &&
                     dialog->folderList->item(1)->checkState() == Qt::Checked;
            dialog->reject();
        });
        x.tools()->indexFoldersAction->trigger();
        QVERIFY(ticked);
    }

    void restingTheMouseOnANameShowsWhereItIsDefined() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        x.caretIn("objects/vehicles/tank/tank.con", "Tank_Hull_M1");
        const long at = x.editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        emit x.editor()->SCN_DWELLSTART(int(at), 10, 10);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(),
                 QString("GeometryTemplate StandardMesh Tank_Hull_M1\nDefined in %1:1")
                     .arg(x.tree.path("objects/vehicles/tank/tank.inc")));
        const QByteArray text = x.editor()->documentBytes();
        QCOMPARE(x.tools()->tipAt(x.editor(), text.indexOf("Ghost_In_Rem") + 1), QString());
        QCOMPARE(x.tools()->tipAt(x.editor(), text.indexOf("Tank_AI") + 1),
                 QString("aiTemplate Tank_AI\nDefined in %1:1")
                     .arg(x.tree.path("archives/ai.rfa/ai/tank_ai.con")));
    }

    void templateNamesOpenAfterAReferenceCommandBesideTheTriggerCodes() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        QVERIFY(x.w->NewDocumentTab());
        TAdvEdit *editor = x.editor();
        QListWidget *list = editor->CompletionList;
        QTest::keyClicks(editor, "ObjectTemplate.addTemplate Ta");
        QVERIFY(list->isVisible());
        QStringList shown;
        for (int row = 0; row < list->count(); ++row)
            shown << list->item(row)->text();
        QCOMPARE(shown, QStringList({"Tank_Engine", "Tank_Hull", "TANK_TURRET"}));
        QCOMPARE(list->currentItem()->text(), QString("Tank_Hull"));
        x.press(Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(editor->documentBytes(), QByteArray("ObjectTemplate.addTemplate Tank_Hull"));

        // The language table's trigger codes complete as before in the same editor.
        x.press(Qt::Key_Return);
        QTest::keyClicks(editor, "GeometryTemplate.");
        QVERIFY(list->isVisible());
        QCOMPARE(editor->ActiveCode, QString("GeometryTemplate."));
        QTest::keyClicks(editor, "create");
        x.press(Qt::Key_Return);
        QCOMPARE(editor->documentBytes(),
                 QByteArray("ObjectTemplate.addTemplate Tank_Hull\r\nGeometryTemplate.create"));
        QTest::keyClicks(editor, " StandardMesh Gun\rObjectTemplate.geometry ");
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("Tank_Hull_M1"));
    }

    void aSaveOrAChangeOnDiskRereadsTheScript() {
        IndexedWindow x;
        QVERIFY(x.waitForBuild());
        ModIndex *index = x.tools()->index();
        x.w->OpenDocumentFile(x.tree.path("objects/common/dupes.con"));
        x.editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        x.editor()->insert("\r\nObjectTemplate.create SimpleObject Saved_Thing");
        QVERIFY(index->definitions("Saved_Thing").isEmpty());
        x.press(Qt::Key_S, Qt::ControlModifier);
        QTRY_COMPARE(index->definitions("saved_thing").size(), 1);

        // A script no tab holds, written by another program.
        ModTree::putAt(x.tree.path("objects/vehicles/tank/TankSounds.con"),
                       "ObjectTemplate.create Sound Tank_Horn\r\n");
        QTRY_COMPARE(index->definitions("Tank_Horn").size(), 1);
        QVERIFY(index->definitions("Tank_Engine").isEmpty());
        // A new script in an indexed folder.
        ModTree::putAt(x.tree.path("objects/common/added.con"),
                       "ObjectTemplate.create Bundle Added_Thing\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(index->definitions("Added_Thing").size(), 1, 10000);
    }
};

QTEST_MAIN(ModIndexWindowTest)
#include "ModIndexWindowTest.moc"
