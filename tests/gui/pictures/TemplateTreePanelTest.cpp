// The template tree through the real main window, on a small tank mod indexed in the
// background: the tree of the name at the caret, children on demand, marks, the filter, a
// click that opens a definition, "Used by" and Copy as Text.
#include "pictures/TemplateTreePanel.h"
#include "app/IndexTools.h"
#include "app/PageControl.h"
#include "core/modindex/IndexFolders.h"
#include "editor/AdvEdit.h"
#include "tests/core/level/SampleTank.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

using fixture::MainWindow;
using namespace marlix;

namespace {

struct TreeWindow {
    TankMod mod;
    MainWindow m;
    TFormMain *w = nullptr;

    TreeWindow() {
        writeIndexFolders(m.folder.path(), {mod.mod});
        w = m.open();
        IndexTools *tools = fixture::indexTools(w);
        QSignalSpy done(tools, &IndexTools::buildFinished);
        w->show();
        if (!tools->index() || tools->isBuilding() || done.isEmpty())
            done.wait(10000);
    }
    // Opens the script with the caret inside the first occurrence of the text, then the tree.
    TemplateTreePanel *treeAt(const QString &script, const QByteArray &text) {
        w->OpenDocumentFile(mod.path(script));
        const qsizetype at = w->activeEditor()->documentBytes().indexOf(text);
        w->activeEditor()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                         static_cast<unsigned long>(at + 2));
        w->findChild<QAction *>("templateTreeAction")->trigger();
        return w->findChild<TemplateTreePanel *>();
    }
    QString shownFile() const {
        const TTabSheet *page = fixture::tabs(w)->ActivePage();
        return page ? page->caption() : QString();
    }
    // Asks for the editor's context menu as the right button does at the position's place,
    // and returns the menu shown.
    QMenu *contextMenuAt(qsizetype position) const {
        TAdvEdit *editor = w->activeEditor();
        const QPoint at(int(editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL,
                                                  long(position))) +
                            3,
                        int(editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL,
                                                  long(position))) +
                            3);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at,
                                  editor->viewport()->mapToGlobal(at));
        QApplication::sendEvent(editor->viewport(), &request);
        return shownMenu();
    }
    QMenu *shownMenu() const {
        for (QMenu *menu : w->activeEditor()->findChildren<QMenu *>())
            if (menu->isVisible())
                return menu;
        return nullptr;
    }
    int caretLine() const {
        int line = 0, index = 0;
        w->activeEditor()->getCursorPosition(&line, &index);
        return line + 1;
    }
};

QStringList visibleNames(QTreeWidgetItem *item, int depth = 0) {
    QStringList names;
    if (item->isHidden())
        return names;
    names << QString(depth * 2, ' ') + item->text(0);
    if (item->isExpanded())
        for (int i = 0; i < item->childCount(); ++i)
            names << visibleNames(item->child(i), depth + 1);
    return names;
}

} // namespace

class TemplateTreePanelTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheTemplateAtTheCaretAndItsChildrenOnDemand() {
        TreeWindow t;
        TemplateTreePanel *panel = t.treeAt("bf1942/levels/Harbour/StaticObjects.con", "tank");
        QVERIFY(panel);
        QTreeWidget *tree = panel->findChild<QTreeWidget *>("templateTree");
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QString("tank"));
        QCOMPARE(root->text(1), QString("PlayerControlObject"));
        QCOMPARE(root->text(4), QString("Tank_Hull_M1"));
        QCOMPARE(visibleNames(root),
                 (QStringList{"tank", "  Tank_Hull", "  Tank_Radio  (undefined)"}));
        QCOMPARE(root->child(0)->text(2), QString("0/0.5/0"));
        QCOMPARE(root->child(1)->foreground(0).color(), QColor(200, 0, 0));
        // Deeper levels are read when opened.
        QCOMPARE(root->child(0)->childCount(), 0);
        root->child(0)->setExpanded(true);
        QCOMPARE(root->child(0)->childCount(), 2);
        QTreeWidgetItem *turret = root->child(0)->child(0);
        turret->setExpanded(true);
        turret->child(0)->setExpanded(true);
        QCOMPARE(turret->child(0)->child(0)->text(0), QString("TANK_TURRET  (cycle)"));
        // A part that comes back up the tree is not followed.
        turret->child(0)->child(0)->setExpanded(true);
        QCOMPARE(turret->child(0)->child(0)->childCount(), 0);
    }

    void aClickOpensTheDefinitionAndUsedByListsItsUsers() {
        TreeWindow t;
        TemplateTreePanel *panel = t.treeAt("objects/vehicles/tank/objects.con", "Tank_Hull\r");
        QVERIFY(panel);
        QTreeWidget *tree = panel->tree();
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("Tank_Hull"));
        QTreeWidgetItem *turret = tree->topLevelItem(0)->child(0);
        QCOMPARE(turret->text(0), QString("Tank_Turret"));
        tree->scrollToItem(turret);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(turret).center());
        QCOMPARE(t.shownFile(), t.mod.path("objects/vehicles/tank/turret.con"));
        QCOMPARE(t.caretLine(), 1);

        QListWidget *users = panel->findChild<QListWidget *>("usedByList");
        QCOMPARE(users->count(), 1);
        QVERIFY(users->item(0)->text().startsWith("Tank   ObjectTemplate.addTemplate"));
        QTest::mouseClick(users->viewport(), Qt::LeftButton, {},
                          users->visualItemRect(users->item(0)).center());
        QCOMPARE(t.shownFile(), t.mod.path("objects/vehicles/tank/objects.con"));
        QCOMPARE(t.caretLine(), 3);
    }

    void theFilterKeepsMatchesAndTheirParentsAndCopyGivesTheWholeTree() {
        TreeWindow t;
        TemplateTreePanel *panel = t.treeAt("bf1942/levels/Harbour/StaticObjects.con", "tank");
        QVERIFY(panel);
        panel->findChild<QLineEdit *>("treeFilter")->setText("gun");
        QCOMPARE(visibleNames(panel->tree()->topLevelItem(0)),
                 (QStringList{"tank", "  Tank_Hull", "    Tank_Turret", "      Shared_Gun"}));
        panel->findChild<QLineEdit *>("treeFilter")->clear();
        QVERIFY(visibleNames(panel->tree()->topLevelItem(0)).contains("  Tank_Radio  (undefined)"));

        panel->findChild<QPushButton *>("copyTreeButton")->click();
        const QString copied = QApplication::clipboard()->text();
        QVERIFY2(copied.startsWith("tank  PlayerControlObject  Tank_Hull_M1\n"
                                   "  Tank_Hull  Bundle  0/0.5/0\n"),
                 qPrintable(copied));
        QVERIFY(copied.contains("        TANK_TURRET  (cycle)"));

        // A chosen name.
        QLineEdit *name = panel->findChild<QLineEdit *>("templateName");
        name->setText("Shared_Gun");
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(panel->tree()->topLevelItem(0)->text(1), QString("GenericFireArm"));
        name->setText("No_Such_Part");
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(panel->tree()->topLevelItem(0)->text(0), QString("No_Such_Part  (undefined)"));
        QCOMPARE(panel->usedBy()->count(), 0);
    }

    void theEditorsContextMenuShowsTheTreeOfTheNameAtTheClick() {
        TreeWindow t;
        t.w->OpenDocumentFile(t.mod.path("objects/vehicles/tank/objects.con"));
        TAdvEdit *editor = t.w->activeEditor();
        editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL); // on the command word
        const QByteArray bytes = editor->documentBytes();

        // The name under the pointer counts, not the one at the caret.
        QMenu *menu = t.contextMenuAt(bytes.indexOf("Tank_Hull\r"));
        QVERIFY(menu);
        QVERIFY(!menu->findChild<QAction *>("contextLevelMapAction")); // no script of a level
        QAction *entry = menu->findChild<QAction *>("contextTemplateTreeAction");
        QVERIFY(entry);
        QVERIFY(menu->actions().contains(entry));
        QVERIFY(menu->actions().size() > 2); // below the editor's own entries
        // The name's tip, which the resting pointer brings, does not cover the menu.
        const qsizetype hull = bytes.indexOf("Tank_Hull\r");
        emit editor->SCN_DWELLSTART(int(hull), 10, 10);
        QTRY_VERIFY(!QToolTip::isVisible());
        entry->trigger();
        menu->close();
        auto *panel = t.w->findChild<TemplateTreePanel *>();
        QVERIFY(panel && panel->isVisible());
        QCOMPARE(panel->tree()->topLevelItem(0)->text(0), QString("Tank_Hull"));

        // Off any template name: the editor's menu alone.
        QTRY_VERIFY(!t.shownMenu());
        emit editor->SCN_DWELLSTART(int(hull), 10, 10); // with no menu, the tip shows
        QVERIFY(QToolTip::isVisible());
        QToolTip::hideText();
        menu = t.contextMenuAt(bytes.indexOf("0/0.5/0"));
        QVERIFY(menu);
        QVERIFY(!menu->findChild<QAction *>("contextTemplateTreeAction"));
        menu->close();

        // From the keyboard, the name at the caret.
        QTRY_VERIFY(!t.shownMenu());
        editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                              static_cast<unsigned long>(bytes.indexOf("Tank_Radio") + 3));
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5),
                              editor->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(editor->viewport(), &key);
        menu = t.shownMenu();
        QVERIFY(menu);
        menu->findChild<QAction *>("contextTemplateTreeAction")->trigger();
        menu->close();
        QCOMPARE(panel->tree()->topLevelItem(0)->text(0), QString("Tank_Radio  (undefined)"));

        // On a script of a level, the level's map as well.
        QTRY_VERIFY(!t.shownMenu());
        t.w->OpenDocumentFile(t.mod.path("bf1942/levels/Harbour/StaticObjects.con"));
        menu = t.contextMenuAt(t.w->activeEditor()->documentBytes().indexOf("tank"));
        QVERIFY(menu);
        QVERIFY(menu->findChild<QAction *>("contextTemplateTreeAction"));
        QAction *map = menu->findChild<QAction *>("contextLevelMapAction");
        QVERIFY(map);
        map->trigger();
        menu->close();
        QWidget *mapWindow = t.w->findChild<QWidget *>("LevelMapWindow");
        QVERIFY(mapWindow && mapWindow->isVisible());
    }

    void theTreeFollowsEditsAndSavesOfItsScripts() {
        TreeWindow t;
        // The turret's script is open before the tree is made, so that only its edits can
        // tell the tree of them.
        t.w->OpenDocumentFile(t.mod.path("objects/vehicles/tank/turret.con"));
        TemplateTreePanel *panel = t.treeAt("objects/vehicles/tank/objects.con", "Tank_Hull\r");
        QVERIFY(panel);
        QTreeWidgetItem *root = panel->tree()->topLevelItem(0);
        root->child(0)->setExpanded(true); // the turret, open
        QTest::qWait(300);
        QCOMPARE(visibleNames(root),
                 (QStringList{"Tank_Hull", "  Tank_Turret", "    Shared_Gun", "  Tank_Light"}));

        // Pasted into the turret's editor: the new part shows, undefined while the index has
        // not read its definition, and the parts that were open stay open.
        t.w->OpenDocumentFile(t.mod.path("objects/vehicles/tank/turret.con"));
        t.w->activeEditor()->setCursorPosition(2, 0);
        QApplication::clipboard()->setText("ObjectTemplate.addTemplate Tank_Sight\r\n"
                                           "ObjectTemplate.create SimpleObject Tank_Sight\r\n"
                                           "ObjectTemplate.active Tank_Turret\r\n");
        t.w->findChild<QAction *>("mnuPaste")->trigger();
        QTRY_COMPARE(visibleNames(panel->tree()->topLevelItem(0)),
                     (QStringList{"Tank_Hull", "  Tank_Turret", "    Tank_Sight  (undefined)",
                                  "    Shared_Gun", "  Tank_Light"}));
        // Saved: the index reads the script again and the part is defined.
        fixture::button(t.w, "btnSave")->click();
        QTRY_COMPARE(visibleNames(panel->tree()->topLevelItem(0)),
                     (QStringList{"Tank_Hull", "  Tank_Turret", "    Tank_Sight", "    Shared_Gun",
                                  "  Tank_Light"}));
        QTRY_COMPARE(panel->tree()->topLevelItem(0)->child(0)->child(0)->text(1),
                     QString("SimpleObject"));

        // A script saved by another program.
        t.mod.put("objects/vehicles/tank/extras.con", "ObjectTemplate.active Tank_Hull\r\n"
                                                      "ObjectTemplate.addTemplate Tank_Horn\r\n");
        QTRY_COMPARE(visibleNames(panel->tree()->topLevelItem(0)),
                     (QStringList{"Tank_Hull", "  Tank_Turret", "    Tank_Sight", "    Shared_Gun",
                                  "  Tank_Horn  (undefined)"}));
    }
};

QTEST_MAIN(TemplateTreePanelTest)
#include "TemplateTreePanelTest.moc"
