// Takes the pictures of the README from the real windows, in a throw-away program folder that
// holds the shipped data files:
//   readme_screenshots <folder of the built program> <folder for the pictures>
#include "SampleMod.h"
#include "SampleScript.h"
#include "app/IndexTools.h"
#include "app/ModTreePanel.h"
#include "app/frmMain.h"
#include "core/modindex/IndexFolders.h"
#include "editor/AdvEdit.h"
#include "launch/JpegImage.h"
#include "launch/frmLaunch.h"
#include "pictures/LevelMapView.h"
#include "pictures/LevelMapWindow.h"
#include "pictures/TemplateTreePanel.h"
#include "platform/Prompts.h"
#include "prefs/frmPref.h"
#include "tests/gui/support/TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>

namespace {

// Lets the window lay itself out and paint before it is grabbed.
void settle(QWidget *window) {
    (void)QTest::qWaitForWindowExposed(window);
    QTest::qWait(300);
}

bool save(QWidget *window, const QString &path) {
    settle(window);
    const bool saved = window->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

bool takeMainWindow(const QString &folder, const QString &out) {
    const QString script = folder + QStringLiteral("scoutbuggy.con");
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write(SampleScript) < 0)
        return false;
    file.close();

    TFormMain window(nullptr, folder);
    window.setWindowState(Qt::WindowNoState);
    window.resize(960, 600);
    window.show();
    settle(&window);
    window.OpenDocumentFile(script);
    TAdvEdit *editor = window.activeEditor();
    if (!editor)
        return false;
    editor->setCursorPosition(8, 0);
    bool ok = save(&window, out + QStringLiteral("main-window.png"));

    // A new line under the engine's settings, its trigger code typed: the list opens at once.
    editor->setCursorPosition(18, 0);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("ObjectTemplate.set"));
    settle(&window);
    ok = editor->CompletionList->isVisible() &&
         save(&window, out + QStringLiteral("completion-list.png")) && ok;
    editor->DocChanged = false; // nothing to ask about when the window goes
    return ok;
}

// The mod tree beside the sample script of a small mod, a command hint over the line typed.
bool takeWorkspace(const QString &folder, const QString &out) {
    const QString mod = folder + QStringLiteral("ScoutMod/");
    const QString script = mod + QStringLiteral("objects/vehicles/land/scoutbuggy/scoutbuggy.con");
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) >= 0;
    };
    bool ok = put(script, SampleScript);
    for (const char *name :
         {"objects/vehicles/land/scoutbuggy/Network.con",
          "objects/vehicles/land/scoutbuggy/Physics.con", "objects/vehicles/land/jeep/Objects.con",
          "bf1942/levels/Dunes/Init.con", "bf1942/levels/Dunes/GameTypes/Conquest.con",
          "bf1942/levels/Dunes/GameTypes/TDM.con", "bf1942/levels/Dunes/Conquest/ObjectSpawns.con"})
        ok = put(mod + QLatin1String(name), "rem\r\n") && ok;
    marlix::writeIndexFolders(folder, {mod.chopped(1)});

    TFormMain window(nullptr, folder);
    window.setWindowState(Qt::WindowNoState);
    window.resize(1100, 620);
    window.show();
    auto *tree = window.findChild<marlix::ModTreePanel *>(QStringLiteral("modTreePanel"));
    QSignalSpy scanned(tree, &marlix::ModTreePanel::scanned);
    window.findChild<QAction *>(QStringLiteral("modTreeAction"))->trigger();
    if (!scanned.wait(10000))
        return false;
    tree->view->expandAll();
    window.OpenDocumentFile(script);
    TAdvEdit *editor = window.activeEditor();
    if (!editor)
        return false;
    editor->setCursorPosition(10, 0);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("ObjectTemplate.setObjectTemplate 2 Scout"));
    QWidget *hint = editor->findChild<QLabel *>(QStringLiteral("commandHint"));
    // The tree is filled again as the mod check's marks come in: opened once more.
    settle(&window);
    tree->view->expandAll();
    ok = hint && hint->isVisible() && save(&window, out + QStringLiteral("mod-tree.png")) && ok;
    editor->DocChanged = false;
    return ok;
}

bool takePreferences(const QString &folder, const QString &out) {
    TfrmPref dialog;
    dialog.ProgramFolder = folder;
    dialog.show();
    dialog.pgcPref->setCurrentIndex(2);
    const bool ok = save(&dialog, out + QStringLiteral("preferences.png"));
    dialog.hide();
    return ok;
}

bool takeCompileAndLaunch(const QString &folder, const QString &out) {
    TFrmLaunch dialog;
    dialog.ProgramFolder = folder;
    // The dialog reads its background beside the executable; this program lives elsewhere.
    QFile picture(folder + QStringLiteral("launchback.jpg"));
    if (picture.open(QIODevice::ReadOnly))
        dialog.imgBackground->setPixmap(QPixmap::fromImage(marlix::decodeJpeg(picture.readAll())));
    dialog.show();
    dialog.txtRFAPath->setText(QStringLiteral("/home/me/bin/rfapack"));
    dialog.txtArchivePath->setText(QStringLiteral("/home/me/mods/ScoutMod"));
    dialog.txtBFPath->setText(QStringLiteral("/home/me/bin/bf1942"));
    dialog.txtParameters->setText(QStringLiteral("-game ScoutMod"));
    dialog.chkAnimations->setChecked(true);
    dialog.chkTexture->setChecked(true);
    const bool ok = save(&dialog, out + QStringLiteral("compile-and-launch.png"));
    dialog.hide();
    return ok;
}

// The map of the sample island's Conquest mode and the tree of its patrol boat.
bool takePictures(const QString &folder, const QString &out) {
    const QString mod = folder + QStringLiteral("SkerryMod");
    if (!sample::writeMod(mod))
        return false;
    marlix::writeIndexFolders(folder, {mod});
    TFormMain window(nullptr, folder);
    QSignalSpy built(window.findChild<marlix::IndexTools *>(), &marlix::IndexTools::buildFinished);
    window.resize(960, 600);
    window.show();
    if (built.isEmpty() && !built.wait(20000))
        return false;

    window.findChild<QAction *>(QStringLiteral("levelMapAction"))->trigger();
    auto *map = window.findChild<marlix::LevelMapWindow *>();
    if (!map)
        return false;
    map->resize(860, 720);
    map->modeBox()->setCurrentIndex(map->modeBox()->findText(QStringLiteral("Conquest")));
    settle(map);
    map->view()->fit();
    bool ok = save(map, out + QStringLiteral("level-map.png"));
    map->hide();

    window.OpenDocumentFile(mod + QStringLiteral("/objects/vehicles/sea/PatrolBoat/Objects.con"));
    TAdvEdit *editor = window.activeEditor();
    if (!editor)
        return false;
    editor->setCursorPosition(0, 45);
    window.findChild<QAction *>(QStringLiteral("templateTreeAction"))->trigger();
    auto *panel = window.findChild<marlix::TemplateTreePanel *>();
    if (!panel)
        return false;
    panel->resize(820, 520);
    QTreeWidgetItem *root = panel->tree()->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i)
        root->child(i)->setExpanded(true);
    ok = save(panel, out + QStringLiteral("template-tree.png")) && ok;
    panel->hide();
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: readme_screenshots <program folder> <picture folder>\n");
        return 2;
    }
    // Nothing may wait for an answer while the pictures are taken.
    marlix::Prompts::setTestMode(true);

    const TempFolder temporary;
    temporary.copyFrom(QString::fromLocal8Bit(argv[1]), QStringLiteral("marlix"));
    const QString folder = temporary.path();
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QLatin1Char('/');
    if (!temporary.exists(QStringLiteral("highlighting.ini")) || !QDir().mkpath(out)) {
        std::fprintf(stderr, "readme_screenshots: cannot prepare the program folder\n");
        return 1;
    }
    const bool ok = takeMainWindow(folder, out) && takePreferences(folder, out) &&
                    takeCompileAndLaunch(folder, out) && takePictures(folder, out) &&
                    takeWorkspace(folder, out);
    return ok ? 0 : 1;
}
