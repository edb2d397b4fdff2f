#include "pictures/LevelMapWindow.h"

#include "core/level/Heightmap.h"
#include "core/level/LevelReader.h"
#include "core/level/TemplateTree.h"
#include "core/modindex/ModIndex.h"
#include "pictures/LevelMapView.h"
#include "pictures/ScriptHost.h"
#include "pictures/SvgPainting.h"
#include "platform/Prompts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QSaveFile>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace marlix {

namespace {

// The kind of vehicle from the words of its name, its type and its parts' types.
VehicleKind kindFromIndex(TemplateTree &tree, const QByteArray &name) {
    QList<QByteArray> words{name};
    const TemplatePart root = tree.root(name);
    words << root.type;
    if (root.state == TemplatePart::Defined)
        for (const TemplatePart &child : tree.children(name, {name}))
            words << child.name << child.type;
    return vehicleKindFromWords(words);
}

QImage terrainImage(const LevelLocation &location, const Level &level) {
    if (level.heightmapSide == 0)
        return {};
    const Heightmap map = Heightmap::fromBytes(readHeightmapBytes(location, level));
    const ReliefPicture relief =
        shadeRelief(map, level.worldSize, level.yScale, level.waterLevel, level.hasWaterLevel);
    if (relief.side == 0)
        return {};
    QImage image(relief.side, relief.side, QImage::Format_RGB32);
    for (int row = 0; row < relief.side; ++row)
        std::copy_n(relief.pixels.data() + size_t(row) * relief.side, relief.side,
                    reinterpret_cast<quint32 *>(image.scanLine(row)));
    return image;
}

} // namespace

LevelMapWindow::LevelMapWindow(ScriptHost *host, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_host(host) {
    setObjectName(QStringLiteral("LevelMapWindow"));
    setWindowTitle(QStringLiteral("Level Map"));
    resize(900, 760);

    m_view = new LevelMapView(this);
    setCentralWidget(m_view);

    QToolBar *bar = addToolBar(QStringLiteral("Level"));
    bar->setObjectName(QStringLiteral("levelMapBar"));
    bar->setMovable(false);
    bar->addWidget(new QLabel(QStringLiteral(" Level: "), bar));
    m_levels = new QComboBox(bar);
    m_levels->setObjectName(QStringLiteral("levelCombo"));
    m_levels->setMinimumContentsLength(16);
    bar->addWidget(m_levels);
    bar->addWidget(new QLabel(QStringLiteral("  Mode: "), bar));
    m_modes = new QComboBox(bar);
    m_modes->setObjectName(QStringLiteral("modeCombo"));
    m_modes->setMinimumContentsLength(10);
    bar->addWidget(m_modes);
    bar->addSeparator();
    QAction *fit = bar->addAction(QStringLiteral("Fit"));
    fit->setObjectName(QStringLiteral("mapFitAction"));
    connect(fit, &QAction::triggered, m_view, &LevelMapView::fit);
    // The layers on a row of their own, so that all of them stay in sight.
    addToolBarBreak();
    QToolBar *layers = addToolBar(QStringLiteral("Layers"));
    layers->setObjectName(QStringLiteral("layerBar"));
    layers->setMovable(false);
    layers->addWidget(new QLabel(QStringLiteral(" Show: "), layers));
    addLayer(QStringLiteral("Terrain"), LevelMapView::Terrain, "layerTerrain");
    addLayer(QStringLiteral("Control Points"), LevelMapView::ControlPoints, "layerControlPoints");
    addLayer(QStringLiteral("Soldier Spawns"), LevelMapView::SoldierSpawns, "layerSoldierSpawns");
    addLayer(QStringLiteral("Object Spawners"), LevelMapView::ObjectSpawners,
             "layerObjectSpawners");
    addLayer(QStringLiteral("Static Objects"), LevelMapView::StaticObjects, "layerStaticObjects");

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *save = file->addAction(QStringLiteral("Save Picture\u2026"));
    save->setObjectName(QStringLiteral("savePictureAction"));
    connect(save, &QAction::triggered, this, &LevelMapWindow::savePictureClick);
    QAction *refresh = file->addAction(QStringLiteral("Find Levels Again"));
    refresh->setObjectName(QStringLiteral("findLevelsAction"));
    connect(refresh, &QAction::triggered, this, &LevelMapWindow::refreshLevels);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("mapStatus"));
    statusBar()->addWidget(m_status, 1);
    statusBar()->addPermanentWidget(
        new QLabel(QStringLiteral("Click: open   Ctrl+drag: move the selected object"), this));

    m_watcher = new QFileSystemWatcher(this);
    m_reread = new QTimer(this);
    m_reread->setSingleShot(true);
    m_reread->setInterval(250);
    connect(m_reread, &QTimer::timeout, this, [this] { reload(false); });
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_reread, qOverload<>(&QTimer::start));
    // Editors opened after the map are followed too.
    m_follow = new QTimer(this);
    m_follow->setInterval(1000);
    connect(m_follow, &QTimer::timeout, m_host, &ScriptHost::followEditors);
    m_follow->start();

    connect(m_levels, &QComboBox::currentIndexChanged, this, &LevelMapWindow::levelChosen);
    connect(m_modes, &QComboBox::currentIndexChanged, this, [this] { reload(true); });
    connect(m_view, &LevelMapView::objectActivated, this, &LevelMapWindow::objectActivated);
    connect(m_view, &LevelMapView::objectMoved, this, &LevelMapWindow::objectMoved);
    connect(m_host, &ScriptHost::scriptChanged, this, &LevelMapWindow::scriptChanged);
    connect(m_host, &ScriptHost::lineSelected, this, [this](const QString &path, int line) {
        if (isVisible())
            m_view->selectLine(path, line);
    });
    m_host->followEditors();
    refreshLevels();
}

void LevelMapWindow::addLayer(const QString &caption, int layer, const char *name) {
    QToolBar *bar = findChild<QToolBar *>(QStringLiteral("layerBar"));
    QAction *action = bar->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(true);
    connect(action, &QAction::toggled, this,
            [this, layer](bool on) { m_view->setLayerVisible(LevelMapView::Layer(layer), on); });
}

void LevelMapWindow::refreshLevels() {
    const QString current = m_levels->currentText();
    m_found = findLevels(m_host->folders());
    {
        const QSignalBlocker block(m_levels);
        m_levels->clear();
        for (const LevelLocation &level : std::as_const(m_found))
            m_levels->addItem(level.name);
        m_levels->setCurrentIndex(std::max(0, m_levels->findText(current)));
    }
    chooseLevelOf(m_host->activeScript());
    levelChosen();
}

// The script in view may belong to a level: ".../levels/<Level>/<Mode folder>/...".
void LevelMapWindow::chooseLevelOf(const QString &script) {
    const QStringList parts = QDir::fromNativeSeparators(script).split(QLatin1Char('/'));
    for (int i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i].compare(QLatin1String("levels"), Qt::CaseInsensitive) != 0)
            continue;
        const int level = m_levels->findText(parts[i + 1], Qt::MatchFixedString);
        if (level < 0)
            continue;
        const QSignalBlocker block(m_levels);
        m_levels->setCurrentIndex(level);
        return;
    }
}

void LevelMapWindow::levelChosen() {
    const int index = m_levels->currentIndex();
    const QString wanted = m_modes->currentText();
    {
        const QSignalBlocker block(m_modes);
        m_modes->clear();
        if (index >= 0 && index < m_found.size())
            m_modes->addItems(levelModes(m_found[index]));
        // A script of a mode's folder chooses that mode.
        const QString script = QDir::fromNativeSeparators(m_host->activeScript());
        int chosen = m_modes->findText(wanted, Qt::MatchFixedString);
        for (int i = 0; i < m_modes->count(); ++i)
            if (script.contains(QLatin1Char('/') + m_modes->itemText(i) + QLatin1Char('/'),
                                Qt::CaseInsensitive))
                chosen = i;
        m_modes->setCurrentIndex(std::max(0, chosen));
    }
    reload(true);
}

void LevelMapWindow::reload(bool fit) {
    const int index = m_levels->currentIndex();
    if (index < 0 || index >= m_found.size()) {
        m_view->setLevel(Level(), QImage(), true);
        m_status->setText(m_found.isEmpty() ? QStringLiteral("No level below the index folders")
                                            : QString());
        return;
    }
    const LevelLocation &location = m_found[index];
    LevelReadOptions options;
    options.openText = [this](const QString &path, QByteArray &bytes) {
        return m_host->openText(path, bytes);
    };
    std::unique_ptr<TemplateTree> tree;
    if (const ModIndex *modIndex = m_host->index()) {
        tree = std::make_unique<TemplateTree>(*modIndex);
        options.vehicleKind = [&tree](const QByteArray &name) {
            return kindFromIndex(*tree, name);
        };
    }
    const Level level = readLevel(location, m_modes->currentText(), options);

    const QString terrainKey = QStringLiteral("%1|%2|%3|%4|%5")
                                   .arg(level.heightmapPath)
                                   .arg(level.waterLevel)
                                   .arg(level.hasWaterLevel)
                                   .arg(level.yScale)
                                   .arg(level.worldSize);
    const qint64 terrainStamp =
        QFileInfo(level.heightmapPath).exists()
            ? QFileInfo(level.heightmapPath).lastModified().toMSecsSinceEpoch()
            : 0;
    if (terrainKey != m_terrainPath || terrainStamp != m_terrainStamp) {
        m_terrain = terrainImage(location, level);
        m_terrainPath = terrainKey;
        m_terrainStamp = terrainStamp;
    }
    m_view->setLevel(level, m_terrain, fit);

    QStringList watched;
    for (const QString &script : level.scripts)
        if (QFileInfo(script).isFile())
            watched << script;
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (!watched.isEmpty())
        m_watcher->addPaths(watched);

    QString ground = level.heightmapSide > 0
                         ? QStringLiteral("heightmap %1 x %1").arg(level.heightmapSide)
                         : QStringLiteral("no heightmap");
    m_status->setText(QStringLiteral("%1 objects   world size %2   %3")
                          .arg(level.objects.size())
                          .arg(level.worldSize > 0 ? QString::number(level.worldSize)
                                                   : QStringLiteral("not given"))
                          .arg(ground));
    setWindowTitle(QStringLiteral("Level Map - %1 %2").arg(level.name, level.mode));
}

void LevelMapWindow::objectActivated(int object) {
    const PlacedObject &o = m_view->level().objects.at(object);
    m_host->openScriptAt(o.script, o.line);
}

void LevelMapWindow::objectMoved(int object, double x, double z) {
    const PlacedObject o = m_view->level().objects.at(object);
    if (o.inArchive) {
        m_status->setText(QStringLiteral("%1 is placed by a script inside an archive; unpack "
                                         "it to move the object")
                              .arg(QString::fromLatin1(o.templateName)));
        m_view->update();
        return;
    }
    const int line = o.line;
    const QByteArray name = o.templateName;
    const bool moved =
        m_host->editScript(o.script, line, [line, x, z, name](const QByteArray &text) {
            return positionEdit(text, line, x, z, name);
        });
    if (!moved)
        m_status->setText(QStringLiteral("%1 has no Object.absolutePosition to change there")
                              .arg(QString::fromLatin1(o.templateName)));
    reload(false);
}

void LevelMapWindow::scriptChanged(const QString &path) {
    const QString clean = QDir::cleanPath(path);
    for (const QString &script : m_view->level().scripts)
        if (QDir::cleanPath(script) == clean) {
            m_reread->start();
            return;
        }
}

bool LevelMapWindow::savePicture(const QString &path) {
    const QSize size = m_view->size();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        SvgPainting svg(size);
        QPainter painter(&svg);
        m_view->render(painter, size);
        painter.end();
        file.write(svg.svg());
    } else {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        m_view->render(painter, size);
        painter.end();
        if (!image.save(&file, "PNG"))
            return false;
    }
    return file.commit();
}

void LevelMapWindow::savePictureClick() {
    FileRequest request;
    request.kind = FileRequest::Save;
    request.caption = QStringLiteral("Save Picture");
    request.filter = QStringLiteral("PNG picture (*.png)|*.png|SVG picture (*.svg)|*.svg");
    request.defaultSuffix = QStringLiteral("png");
    request.fileName = m_levels->currentText() + QLatin1Char('_') + m_modes->currentText();
    const FileAnswer answer = Prompts::file(this, request);
    if (!answer.accepted)
        return;
    QString path = answer.fileName;
    if (QFileInfo(path).suffix().isEmpty())
        path += answer.filterIndex == 2 ? QStringLiteral(".svg") : QStringLiteral(".png");
    if (!savePicture(path))
        Prompts::message(
            this, QMessageBox::Critical, QStringLiteral("Save Picture"),
            QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace marlix
