// The level map through the real main window, on a small level laid out as real ones are:
// the pixels at known world positions, layers, the click that opens a script, the Ctrl+drag
// that moves an object as one undo step, the map following edits, and Save Picture.
#include "app/PageControl.h"
#include "core/level/LevelReader.h"
#include "core/modindex/IndexFolders.h"
#include "pictures/LevelMapView.h"
#include "pictures/LevelMapWindow.h"
#include "tests/core/level/SampleLevel.h"
#include "tests/gui/support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QWheelEvent>

using fixture::MainWindow;
using namespace marlix;

namespace {

struct MapWindow {
    SampleLevel sample;
    MainWindow m;
    TFormMain *w = nullptr;
    LevelMapWindow *map = nullptr;

    MapWindow() {
        writeIndexFolders(m.folder.path(), {sample.mod});
        w = m.open();
        w->show();
        w->findChild<QAction *>("levelMapAction")->trigger();
        map = w->findChild<LevelMapWindow *>();
        if (!map)
            return;
        map->resize(800, 700);
        (void)QTest::qWaitForWindowExposed(map);
        map->modeBox()->setCurrentIndex(map->modeBox()->findText("Conquest"));
        view()->fit();
    }
    LevelMapView *view() const { return map->view(); }
    int objectNamed(const QByteArray &name) const {
        const QList<PlacedObject> &objects = view()->level().objects;
        for (int i = 0; i < objects.size(); ++i)
            if (objects[i].templateName == name)
                return i;
        return -1;
    }
    QPoint at(double x, double z) const { return view()->toScreen(x, z).toPoint(); }
    // The colour a little below and right of the middle of what stands there: clear of the
    // yaw line and the marks drawn across the middle.
    QColor pixel(double x, double z, QPoint offset = QPoint(4, 4)) const {
        return view()->grab().toImage().pixelColor(at(x, z) + offset);
    }
    QString shownFile() const {
        const TTabSheet *page = fixture::tabs(w)->ActivePage();
        return page ? page->caption() : QString();
    }
    int selectedLine() const {
        int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
        w->activeEditor()->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
        return lineFrom + 1;
    }
};

bool isBlue(const QColor &c) {
    return c.blue() > c.red() + 40 && c.blue() > c.green() + 20;
}

bool isGreenish(const QColor &c) {
    return c.green() > c.blue() + 20;
}

} // namespace

class LevelMapTest : public QObject {
    Q_OBJECT
private slots:
    void drawsEachKindAtItsWorldPositionOverTheTerrain() {
        MapWindow t;
        QVERIFY(t.map);
        QCOMPARE(t.map->levelBox()->currentText(), QString("Harbour"));
        QCOMPARE(t.view()->level().objects.size(), 7);
        // Team 1 red, team 2 blue, static objects dark grey.
        QCOMPARE(t.pixel(200, 800), QColor(210, 40, 40));
        QCOMPARE(t.pixel(800, 200), QColor(40, 90, 220));
        QCOMPARE(t.pixel(100.5, 200.125, {}), QColor(70, 70, 70));
        // The heightmap rises with X and the water stands at 20: the west is sea.
        QVERIFY(isBlue(t.pixel(150, 600)));
        QVERIFY(isGreenish(t.pixel(900, 500)));
        // The map is the world square: outside it is the plain surround.
        QCOMPARE(t.pixel(-100, 500, {}), QColor(120, 120, 120));
    }

    void layersHideTheirKindAndTheTerrainGivesWayToAGrid() {
        MapWindow t;
        QVERIFY(t.map);
        t.map->findChild<QAction *>("layerControlPoints")->trigger();
        QVERIFY(t.pixel(200, 800) != QColor(210, 40, 40));
        QCOMPARE(t.view()->objectAt(t.at(200, 800)), -1);
        t.map->findChild<QAction *>("layerStaticObjects")->trigger();
        QVERIFY(t.pixel(100.5, 200.125, {}) != QColor(70, 70, 70));
        t.map->findChild<QAction *>("layerTerrain")->trigger();
        const QColor ground = t.pixel(151, 601);
        QVERIFY2(ground == QColor(228, 234, 222) || ground == QColor(200, 208, 196),
                 qPrintable(ground.name()));
        // Still shown: the spawner, team 1.
        QCOMPARE(t.pixel(260, 740), QColor(210, 40, 40));
    }

    void theWheelZoomsAroundThePointerAndFitShowsTheWholeWorld() {
        MapWindow t;
        QVERIFY(t.map);
        const QPointF pointer = t.view()->toScreen(800, 200);
        const double before = t.view()->scale();
        QWheelEvent wheel(pointer, t.view()->mapToGlobal(pointer), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(t.view(), &wheel);
        QVERIFY(t.view()->scale() > before * 1.5);
        const QPointF after = t.view()->toScreen(800, 200);
        QVERIFY(std::abs(after.x() - pointer.x()) < 0.5 && std::abs(after.y() - pointer.y()) < 0.5);
        t.map->findChild<QAction *>("mapFitAction")->trigger();
        QCOMPARE(t.view()->scale(), before);
    }

    void aClickOpensTheScriptAtTheCreateLineAndTheTipNamesIt() {
        MapWindow t;
        QVERIFY(t.map);
        const int allied = t.objectNamed("AlliedBase");
        QVERIFY(t.view()->tipFor(allied).contains("ControlPoints.con:3"));
        QVERIFY(t.view()->tipFor(allied).contains("Team: 2"));
        QVERIFY(t.view()
                    ->tipFor(t.objectNamed("lighttankspawner"))
                    .contains("Spawns for team 1: Panzer_Tank"));
        QTest::mouseClick(t.view(), Qt::LeftButton, {}, t.at(800, 200));
        QCOMPARE(t.shownFile(), t.sample.path("Conquest/ControlPoints.con"));
        QCOMPARE(t.selectedLine(), 3);
        QCOMPARE(t.view()->selected(), allied);
        // A line chosen in the script selects its object on the map.
        t.w->activeEditor()->setCursorPosition(1, 3);
        QTRY_COMPARE(t.view()->selected(), t.objectNamed("AxisBase"));
    }

    void aCtrlDragMovesTheSelectedObjectAsOneUndoStepAndAPlainDragPans() {
        MapWindow t;
        QVERIFY(t.map);
        const QString script = t.sample.path("StaticObjects.con");
        const QPoint barn = t.at(100.5, 200.125);
        QTest::mouseClick(t.view(), Qt::LeftButton, {}, barn);
        QCOMPARE(t.shownFile(), script);
        TAdvEdit *editor = t.w->activeEditor();
        const QByteArray original = editor->documentBytes();

        // Without Ctrl the same drag pans and changes nothing.
        QTest::mousePress(t.view(), Qt::LeftButton, {}, barn);
        QTest::mouseMove(t.view(), barn + QPoint(30, -20));
        QTest::mouseRelease(t.view(), Qt::LeftButton, {}, barn + QPoint(30, -20));
        QCOMPARE(editor->documentBytes(), original);
        QCOMPARE(t.view()->toScreen(100.5, 200.125).toPoint(), barn + QPoint(30, -20));

        const QPoint from = t.at(100.5, 200.125);
        const QPoint to = from + QPoint(40, -25);
        // The object moves as far as the pointer does, from where it stands.
        const QPointF target =
            t.view()->toWorld(t.view()->toScreen(100.5, 200.125) + QPointF(40, -25));
        QTest::mousePress(t.view(), Qt::LeftButton, Qt::ControlModifier, from);
        QTest::mouseMove(t.view(), from + QPoint(20, -10));
        QTest::mouseMove(t.view(), to);
        QTest::mouseRelease(t.view(), Qt::LeftButton, Qt::ControlModifier, to);

        const QByteArray moved = editor->documentBytes();
        const QList<QByteArray> lines = moved.split('\n');
        QCOMPARE(lines.size(), original.split('\n').size());
        const QByteArray position = lines[2].trimmed();
        QVERIFY2(position.startsWith("Object.absolutePosition "), position.constData());
        const QList<QByteArray> xyz = position.mid(24).split('/');
        QCOMPARE(xyz.size(), 3);
        QVERIFY(std::abs(xyz[0].toDouble() - target.x()) <= 0.05);
        QCOMPARE(xyz[1], QByteArray("30.25"));
        QVERIFY(std::abs(xyz[2].toDouble() - target.y()) <= 0.0005);
        // Every other line as it was.
        QList<QByteArray> rest = original.split('\n');
        rest[2] = lines[2];
        QCOMPARE(rest.join('\n'), moved);
        // The map shows the object where it went.
        const int object = t.objectNamed("Barn");
        QVERIFY(std::abs(t.view()->level().objects[object].x - target.x()) <= 0.05);

        fixture::trigger(t.w, "mnuUndo");
        QCOMPARE(editor->documentBytes(), original);
        QTRY_VERIFY(std::abs(t.view()->level().objects[t.objectNamed("Barn")].x - 100.5) < 1e-9);
    }

    void aCtrlDragOpensTheScriptWhenItIsNotOpen() {
        MapWindow t;
        QVERIFY(t.map);
        const int pine = t.objectNamed("Pine");
        t.view()->select(pine, false);
        QVERIFY(t.shownFile() != t.sample.path("StaticObjects.con"));
        const QPoint from = t.at(900, 900);
        QTest::mousePress(t.view(), Qt::LeftButton, Qt::ControlModifier, from);
        QTest::mouseMove(t.view(), from + QPoint(-30, 0));
        QTest::mouseRelease(t.view(), Qt::LeftButton, Qt::ControlModifier, from + QPoint(-30, 0));
        QCOMPARE(t.shownFile(), t.sample.path("StaticObjects.con"));
        QVERIFY(t.w->activeEditor()->documentBytes().contains("Object.absolutePosition 8"));
        QVERIFY(t.w->activeEditor()->documentBytes().contains("/31/900\r\n"));
    }

    void theMapFollowsEditsOfTheLevelsScripts() {
        MapWindow t;
        QVERIFY(t.map);
        t.w->OpenDocumentFile(t.sample.path("Conquest/ControlPoints.con"));
        // Once the map follows the new editor (it looks for new ones every second), only the
        // edit itself can tell it.
        QTest::qWait(1300);
        QCOMPARE(t.view()->level().objects.size(), 7);
        t.w->activeEditor()->setCursorPosition(0, 0);
        QApplication::clipboard()->setText("Object.create AxisBase\r\n"
                                           "Object.absolutePosition 600/40/600\r\n");
        t.w->findChild<QAction *>("mnuPaste")->trigger();
        QTRY_COMPARE(t.view()->level().objects.size(), 8);
        QTRY_COMPARE(t.pixel(600, 600), QColor(210, 40, 40));
        // A script saved by another program is read again too.
        SampleLevel::putAt(t.sample.path("StaticObjects.con"), "Object.create Barn\r\n");
        QTRY_COMPARE(t.view()->level().objects.size(), 7);
    }

    void savePictureWritesPngAndSvg() {
        MapWindow t;
        QVERIFY(t.map);
        const QString png = t.m.folder.file("harbour.png");
        Prompts::answerFile(fixture::chosen(png));
        t.map->findChild<QAction *>("savePictureAction")->trigger();
        const QImage image(png);
        QCOMPARE(image.size(), t.view()->size());
        QCOMPARE(image.pixelColor(t.at(200, 800) + QPoint(4, 4)), QColor(210, 40, 40));

        const QString svg = t.m.folder.file("harbour.svg");
        Prompts::answerFile(fixture::chosen(svg));
        t.map->findChild<QAction *>("savePictureAction")->trigger();
        const QByteArray text = SampleLevel::readFile(svg);
        QVERIFY(text.startsWith("<?xml"));
        QVERIFY(text.contains("<svg xmlns=\"http://www.w3.org/2000/svg\""));
        QVERIFY(text.contains(">German_Base</text>"));
        QVERIFY(text.contains("fill=\"#d22828\"")); // team 1
        QVERIFY(text.contains("data:image/png;base64,"));
        QVERIFY(text.trimmed().endsWith("</svg>"));
    }

    void aLevelWithoutScriptsOfItsOwnStillOpens() {
        MapWindow t;
        QVERIFY(t.map);
        QDir(t.sample.level).removeRecursively();
        t.map->findChild<QAction *>("findLevelsAction")->trigger();
        QCOMPARE(t.map->levelBox()->count(), 0);
        QCOMPARE(t.view()->level().objects.size(), 0);
        (void)t.view()->grab();
    }
};

QTEST_MAIN(LevelMapTest)
#include "LevelMapTest.moc"
