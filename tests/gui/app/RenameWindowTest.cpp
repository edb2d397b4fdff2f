// Rename across the mod through the real main window, on a mod laid out as real ones are
// (shared objects, two levels with their game modes, a base game): F2 and Tools > Rename
// Name, the preview of every change, Cancel, Apply with its one undo step in the open script,
// the closed scripts changed byte for byte only in the renamed words, and the refusals.
#include "app/IndexTools.h"
#include "app/RenameDialogs.h"
#include "app/RenameTool.h"
#include "core/modindex/IndexFolders.h"
#include "tests/core/modindex/LayoutModTree.h"
#include "tests/gui/support/MainWindowFixture.h"
#include "tests/gui/support/ModalDialogs.h"
#include "tests/gui/support/WindowPartsB.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

using fixture::MainWindow;
using namespace marlix;

namespace {

using fixture::whenShown;

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The layout mod with a tank used in both levels: its template in the shared objects (with a
// remark naming it, which stays), placed by a spawner of Alpha's Conquest (a script with LF
// line ends and no final line end) and by beta's CTF mode.
struct RenameMod : LayoutModTree {
    QString panzer = path("objects/tanks/panzer.con");
    QString conquest = path("bf1942/levels/Alpha/Conquest/ObjectSpawnTemplates.con");
    QString ctf = path("bf1942/levels/beta/Ctf/ObjectSpawns.con");
    QString tank = path("objects/tanks/tank.con");

    RenameMod() {
        put("objects/tanks/panzer.con", "rem Panzer: the heavy tank, \xe9t\xe9 1943  \r\n"
                                        "ObjectTemplate.create Bundle Panzer\r\n"
                                        "\tObjectTemplate.addTemplate PanzerTurret   \r\n"
                                        "ObjectTemplate.create SimpleObject PanzerTurret\r\n");
        put("bf1942/levels/Alpha/GameTypes/Conquest.con", "run Conquest/ObjectSpawns\r\n"
                                                          "run Conquest/ObjectSpawnTemplates\r\n"
                                                          "run Conquest/SoldierSpawns\r\n");
        put("bf1942/levels/Alpha/Conquest/ObjectSpawnTemplates.con",
            "ObjectTemplate.create ObjectSpawner PanzerSpawner\n"
            "ObjectTemplate.setObjectTemplate 2 Panzer\n"
            "ObjectTemplate.setObjectTemplate 1 panzer");
        put("bf1942/levels/beta/GameTypes/Ctf.con", "run Ctf/SoldierSpawns\r\n"
                                                    "run Ctf/ObjectSpawns\r\n");
        put("bf1942/levels/beta/Ctf/ObjectSpawns.con", "Object.create   Panzer\r\n"
                                                       "Object.absolutePosition 1/2/3\r\n");
    }

    // Every script of the mod and the base game with its bytes.
    QHash<QString, QByteArray> snapshot() const {
        QHash<QString, QByteArray> files;
        for (const QString &root : {mod, base}) {
            QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                files.insert(file, readAll(file));
            }
        }
        return files;
    }
};

struct RenameWindow {
    RenameMod mod;
    MainWindow m;
    TFormMain *w = nullptr;

    RenameWindow() {
        writeIndexFolders(m.folder.path(), {mod.mod}, {mod.base});
        w = m.open();
        w->show();
    }
    RenameTool *tool() const { return w->findChild<RenameTool *>(); }
    QAction *action() const { return w->findChild<QAction *>("renameNameAction"); }
    TAdvEdit *editor() const { return w->activeEditor(); }
    bool built() const {
        IndexTools *tools = fixture::indexTools(w);
        if (!tools->isBuilding() && !tools->index()->scriptFiles().isEmpty())
            return true;
        QSignalSpy done(tools, &IndexTools::buildFinished);
        return done.wait(10000);
    }
    // Opens the script with the caret inside the first whole occurrence of the word.
    bool caretIn(const QString &script, const QByteArray &before, const QByteArray &word) {
        w->OpenDocumentFile(script);
        const qsizetype at = editor()->documentBytes().indexOf(before + word);
        if (at < 0)
            return false;
        editor()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                                static_cast<unsigned long>(at + before.size() + 2));
        return true;
    }
};

// Answers the name dialog with the new name and the preview with Apply or Cancel, keeping the
// preview's rows and summary.
struct Answers {
    QString prefilled;
    QStringList rows;
    QString summary;
    bool previewShown = false;
    QPointer<QTimer> nameWatch, previewWatch;

    Answers(const QString &newName, bool apply) {
        nameWatch = whenShown<RenameNameDialog>([this, newName](RenameNameDialog *dialog) {
            prefilled = dialog->findChild<QLineEdit *>("newNameEdit")->text();
            dialog->findChild<QLineEdit *>("newNameEdit")->setText(newName);
            dialog->findChild<QPushButton *>("okButton")->click();
        });
        previewWatch = whenShown<RenamePreviewDialog>([this, apply](RenamePreviewDialog *dialog) {
            previewShown = true;
            summary = dialog->summaryLabel->text();
            auto *list = dialog->findChild<QTreeWidget *>("renameChanges");
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *row = list->topLevelItem(i);
                rows.append(
                    QStringList{row->text(0), row->text(1), row->text(2), row->text(3)}.join(
                        " | "));
            }
            dialog->findChild<QPushButton *>(apply ? "applyButton" : "cancelButton")->click();
        });
    }
    ~Answers() {
        delete nameWatch;
        delete previewWatch;
    }
};

} // namespace

class RenameWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { Prompts::reset(); }

    void previewListsEveryChangedLineAndCancelChangesNothing() {
        RenameWindow x;
        QVERIFY(x.built());
        // A script of another mod open beside it names a Panzer of its own.
        const QString other = x.m.script("OtherMod/objects/spawns.con", "Object.create Panzer\r\n");
        x.w->OpenDocumentFile(other);
        QVERIFY(x.caretIn(x.mod.conquest, "setObjectTemplate 2 ", "Panzer"));
        const QByteArray openBefore = x.editor()->documentBytes();
        const auto before = x.mod.snapshot();

        Answers answers("Kampfwagen", false);
        QTest::keyClick(x.editor(), Qt::Key_F2); // the menu's key
        QTRY_VERIFY(answers.previewShown);
        QCOMPARE(answers.prefilled, QString("Panzer"));
        const QString sep = QDir::separator();
        const auto at = [&](QString p) { return p.replace('/', sep); };
        QCOMPARE(answers.rows,
                 QStringList({at("bf1942/levels/Alpha/Conquest/ObjectSpawnTemplates.con") +
                                  " (open) | 2 | ObjectTemplate.setObjectTemplate 2 Panzer | "
                                  "ObjectTemplate.setObjectTemplate 2 Kampfwagen",
                              at("bf1942/levels/Alpha/Conquest/ObjectSpawnTemplates.con") +
                                  " (open) | 3 | ObjectTemplate.setObjectTemplate 1 panzer | "
                                  "ObjectTemplate.setObjectTemplate 1 Kampfwagen",
                              at("bf1942/levels/beta/Ctf/ObjectSpawns.con") +
                                  " | 1 | Object.create   Panzer | Object.create   Kampfwagen",
                              at("objects/tanks/panzer.con") +
                                  " | 2 | ObjectTemplate.create Bundle Panzer | "
                                  "ObjectTemplate.create Bundle Kampfwagen"}));
        QVERIFY2(answers.summary.contains("4 changes in 3 scripts"), qPrintable(answers.summary));

        QCOMPARE(x.editor()->documentBytes(), openBefore);
        QVERIFY(!x.editor()->DocChanged);
        QVERIFY(x.mod.snapshot() == before);
        QVERIFY(Prompts::shownTexts().isEmpty());
    }

    void applyRenamesTheOpenScriptAsOneUndoStepAndTheOthersOnDiskOnlyInTheWords() {
        RenameWindow x;
        QVERIFY(x.built());
        // Another script open with the template, not in view, changes in its tab too.
        x.w->OpenDocumentFile(x.mod.ctf);
        TAdvEdit *ctfEditor = x.editor();
        QVERIFY(x.caretIn(x.mod.conquest, "setObjectTemplate 2 ", "Panzer"));
        const QByteArray openBefore = x.editor()->documentBytes();
        const QByteArray ctfOpenBefore = ctfEditor->documentBytes();
        auto expected = x.mod.snapshot();

        Answers answers("Kampfwagen", true);
        QSignalSpy renamed(x.tool(), &RenameTool::renamed);
        x.action()->trigger();
        QTRY_COMPARE(renamed.size(), 1);

        QCOMPARE(x.editor()->documentBytes(),
                 QByteArray("ObjectTemplate.create ObjectSpawner PanzerSpawner\r\n"
                            "ObjectTemplate.setObjectTemplate 2 Kampfwagen\r\n"
                            "ObjectTemplate.setObjectTemplate 1 Kampfwagen"));
        QVERIFY(x.editor()->DocChanged);
        QCOMPARE(ctfEditor->documentBytes(),
                 QByteArray(ctfOpenBefore).replace("Panzer", "Kampfwagen"));
        // Only the closed script changed on disk: the open ones keep their files until saved.
        expected[x.mod.panzer].replace("Bundle Panzer\r\n", "Bundle Kampfwagen\r\n");
        const auto now = x.mod.snapshot();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(now.value(it.key()) == it.value(), qPrintable(it.key()));
        QCOMPARE(now.size(), expected.size()); // no file left behind

        // The index follows at once.
        ModIndex *index = fixture::indexTools(x.w)->index();
        QCOMPARE(index->definitions("Kampfwagen", "ObjectTemplate").size(), 1);
        QVERIFY(index->definitions("Panzer", "ObjectTemplate").isEmpty());

        x.editor()->undo();
        QCOMPARE(x.editor()->documentBytes(), openBefore);
        QVERIFY(!x.editor()->DocChanged);
        QVERIFY(Prompts::shownTexts().isEmpty());
    }

    void refusalsSayWhyAndLeaveEveryFileUntouched() {
        RenameWindow x;
        QVERIFY(x.built());
        const auto before = x.mod.snapshot();

        // Taken in the family: Tiger is the mod's (and the base game's) tank.
        QVERIFY(x.caretIn(x.mod.panzer, "Bundle ", "Panzer"));
        const QByteArray openBefore = x.editor()->documentBytes();
        Answers taken("Tiger", true);
        x.action()->trigger();
        QTRY_COMPARE(Prompts::shownTexts().size(), 1);
        QVERIFY2(Prompts::shownTexts()[0].contains("ObjectTemplate Tiger is already defined"),
                 qPrintable(Prompts::shownTexts()[0]));
        QVERIFY(!taken.previewShown);

        // Not one word.
        Answers spaced("Panzer IV", true);
        x.action()->trigger();
        QTRY_COMPARE(Prompts::shownTexts().size(), 2);
        QVERIFY(Prompts::shownTexts()[1].contains("not one word"));

        // Used in the base game, which is only read: no name is asked for.
        QVERIFY(x.caretIn(x.mod.tank, "addTemplate ", "BaseWheel"));
        x.action()->trigger();
        QTRY_COMPARE(Prompts::shownTexts().size(), 3);
        QVERIFY2(Prompts::shownTexts()[2].contains("base game"),
                 qPrintable(Prompts::shownTexts()[2]));

        // Nothing renameable at the caret.
        x.editor()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 1ul);
        x.action()->trigger();
        QTRY_COMPARE(Prompts::shownTexts().size(), 4);
        QVERIFY(Prompts::shownTexts()[3].contains("no name to rename"));

        // An untitled script is in no index folder.
        fixture::trigger(x.w, "mnuNew");
        QTest::keyClicks(x.editor(), "Object.create Panzer");
        x.action()->trigger();
        QTRY_COMPARE(Prompts::shownTexts().size(), 5);
        QVERIFY(Prompts::shownTexts()[4].contains("not saved in the index folders"));

        for (const PromptRecord &shown : Prompts::shown())
            QCOMPARE(shown.caption, QString("Marlix"));
        QVERIFY(x.mod.snapshot() == before);
        x.w->OpenDocumentFile(x.mod.panzer);
        QCOMPARE(x.editor()->documentBytes(), openBefore);
        QVERIFY(!x.editor()->DocChanged);
    }
};

QTEST_MAIN(RenameWindowTest)
#include "RenameWindowTest.moc"
