#include "app/ModTreePanel.h"

#include "app/DocumentHost.h"
#include "app/IndexTools.h"
#include "core/archive/RfaReader.h"
#include "core/common/Error.h"
#include "core/modindex/ModCheck.h"
#include "core/workspace/ModTreeModel.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace marlix {

namespace {

constexpr int WatchLimit = 4000;

// The tree's rows with icons, and scripts with problems marked in red with their count.
class MarkedTree : public ModTreeFilter {
public:
    explicit MarkedTree(QObject *parent) : ModTreeFilter(parent) {}

    QVariant data(const QModelIndex &index, int role) const override {
        const int problems = ModTreeFilter::data(index, ModTreeModel::ProblemsRole).toInt();
        const int kind = ModTreeFilter::data(index, ModTreeModel::KindRole).toInt();
        switch (role) {
        case Qt::DisplayRole:
            if (problems > 0)
                return QStringLiteral("%1  (%2)")
                    .arg(ModTreeFilter::data(index, role).toString())
                    .arg(problems);
            break;
        case Qt::ForegroundRole:
            if (problems > 0)
                return QColor(0xc0, 0x20, 0x20);
            break;
        case Qt::DecorationRole: {
            QStyle *style = QApplication::style();
            if (problems > 0 && (kind == ModTreeNode::Script || kind == ModTreeNode::Entry))
                return style->standardIcon(QStyle::SP_MessageBoxWarning);
            if (!ModTreeFilter::data(index, ModTreeModel::ErrorRole).toString().isEmpty())
                return style->standardIcon(QStyle::SP_MessageBoxCritical);
            if (kind == ModTreeNode::Archive)
                return style->standardIcon(QStyle::SP_DriveHDIcon);
            if (kind == ModTreeNode::Script || kind == ModTreeNode::Entry)
                return style->standardIcon(QStyle::SP_FileIcon);
            return style->standardIcon(QStyle::SP_DirIcon);
        }
        default:
            break;
        }
        return ModTreeFilter::data(index, role);
    }
};

} // namespace

ModTreePanel::ModTreePanel(DocumentHost &host, IndexTools *tools)
    : QDockWidget(QStringLiteral("Mod Tree"), host.hostWindow()), m_host(host),
      m_window(host.hostWindow()), m_tools(tools) {
    setObjectName(QStringLiteral("modTreePanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    auto *content = new QWidget(this);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    filter = new QLineEdit(content);
    filter->setObjectName(QStringLiteral("modTreeFilter"));
    filter->setPlaceholderText(QStringLiteral("Filter"));
    filter->setClearButtonEnabled(true);
    view = new QTreeView(content);
    view->setObjectName(QStringLiteral("modTreeView"));
    view->setHeaderHidden(true);
    view->setUniformRowHeights(true);
    layout->addWidget(filter);
    layout->addWidget(view);
    setWidget(content);

    m_model = new ModTreeModel(this);
    m_proxy = new MarkedTree(this);
    m_proxy->setSourceModel(m_model);
    view->setModel(m_proxy);
    connect(filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_proxy->setFilterWords(text);
        if (!text.trimmed().isEmpty())
            view->expandAll();
    });
    connect(view, &QTreeView::clicked, this,
            [this](const QModelIndex &index) { guarded(m_window, [&] { openRow(index); }); });
    connect(view, &QTreeView::activated, this,
            [this](const QModelIndex &index) { guarded(m_window, [&] { openRow(index); }); });

    const auto action = [this](const QString &text, const char *name, auto handler) {
        auto *entry = new QAction(text, view);
        entry->setObjectName(QLatin1String(name));
        connect(entry, &QAction::triggered, this,
                [this, handler] { guarded(m_window, [&] { (this->*handler)(); }); });
        view->addAction(entry);
        return entry;
    };
    actOpen = action(QStringLiteral("Open"), "modTreeOpen", &ModTreePanel::openCurrent);
    actReveal = action(QStringLiteral("Reveal in the File Manager"), "modTreeReveal",
                       &ModTreePanel::revealClick);
    actCopyPath =
        action(QStringLiteral("Copy Path"), "modTreeCopyPath", &ModTreePanel::copyPathClick);
    actFindInFolder = action(QStringLiteral("Find in This Folder"), "modTreeFindInFolder",
                             &ModTreePanel::findInFolderClick);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);

    // Changes come in bursts (a save, a packer writing an archive): one rescan after them.
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(300);
    connect(m_settle, &QTimer::timeout, this, &ModTreePanel::rescan);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            rescan();
        else
            watch({}, {}); // a hidden tree follows nothing; it reads everything when shown
    });
    // A script saved here or changed by another program is read into the index again: its
    // mark, and those of the scripts that name it, follow.
    m_marksSettle = new QTimer(this);
    m_marksSettle->setSingleShot(true);
    m_marksSettle->setInterval(500);
    connect(m_marksSettle, &QTimer::timeout, this, &ModTreePanel::refreshMarks);
    connect(tools, &IndexTools::indexChanged, this, [this] {
        if (isVisible())
            m_marksSettle->start();
    });
    connect(tools, &IndexTools::buildFinished, this, [this] {
        if (!isVisible())
            return;
        rescan();
        refreshMarks();
    });
}

ModTreePanel::~ModTreePanel() {
    for (QThread *thread : {m_scan, m_check})
        if (thread) {
            thread->wait();
            delete thread;
        }
}

void ModTreePanel::rescan() {
    if (m_scan) {
        m_scanAgain = true;
        return;
    }
    const QStringList folders = m_tools->indexedFolders();
    auto result = std::make_shared<ScanResult>();
    m_scan = QThread::create([folders, result] {
        result->tree = scanModTree(folders, &result->folders);
        std::vector<const ModTreeNode *> pending{result->tree.get()};
        while (!pending.empty()) {
            const ModTreeNode *node = pending.back();
            pending.pop_back();
            if (node->kind == ModTreeNode::Archive)
                result->archives.append(node->path);
            else
                for (const auto &child : node->children)
                    pending.push_back(child.get());
        }
    });
    connect(m_scan, &QThread::finished, this, [this, result] {
        m_scan->deleteLater();
        m_scan = nullptr;
        scanDone(result);
        if (std::exchange(m_scanAgain, false))
            rescan();
    });
    m_scan->start(QThread::LowPriority);
}

// The check reads the index on a thread of its own (a few hundred milliseconds on a mod of
// thousands of scripts); the window waits for it before the index goes (see ~Workspace).
void ModTreePanel::refreshMarks() {
    ModIndex *index = m_tools->index();
    // During a build the marks of the last one stay.
    if (!index || m_tools->isBuilding())
        return;
    if (m_check) {
        m_checkAgain = true;
        return;
    }
    auto problems = std::make_shared<QHash<QString, int>>();
    m_check = QThread::create([index, problems] {
        for (const ModProblem &problem : checkMod(*index))
            ++(*problems)[problem.file];
    });
    connect(m_check, &QThread::finished, this, [this, problems] {
        m_check->deleteLater();
        m_check = nullptr;
        m_model->setProblems(*problems);
        emit marked();
        if (std::exchange(m_checkAgain, false))
            refreshMarks();
    });
    m_check->start(QThread::LowPriority);
}

void ModTreePanel::scanDone(std::shared_ptr<ScanResult> result) {
    const bool first = m_model->rowCount() == 0;
    m_model->update(std::move(result->tree));
    if (first) {
        refreshMarks();
        for (int row = 0; row < m_proxy->rowCount(); ++row)
            view->expand(m_proxy->index(row, 0));
    }
    if (isVisible())
        watch(result->folders, result->archives);
    emit scanned();
}

void ModTreePanel::watch(const QStringList &folders, const QStringList &archives) {
    // A fresh watcher drops the old watches in one step.
    delete m_watcher;
    m_watcher = nullptr;
    if (folders.isEmpty() && archives.isEmpty())
        return;
    m_watcher = new QFileSystemWatcher(this);
    QStringList paths = folders.mid(0, WatchLimit);
    paths += archives.mid(0, WatchLimit - paths.size());
    if (!paths.isEmpty())
        m_watcher->addPaths(paths);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle,
            qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
}

QModelIndex ModTreePanel::currentSource() const {
    return m_proxy->mapToSource(view->currentIndex());
}

void ModTreePanel::openRow(const QModelIndex &index) {
    const ModTreeNode *node = m_model->node(m_proxy->mapToSource(index));
    if (!node)
        return;
    if (node->kind == ModTreeNode::Script) {
        m_host.OpenDocumentFile(node->path);
        return;
    }
    if (node->kind != ModTreeNode::Entry)
        return;
    // As Open from Archive opens an entry: untitled, the tab naming archive and entry.
    RfaReader archive(node->archive);
    const int entry = archive.indexOf(node->entryName);
    if (entry < 0)
        throw Error(QStringLiteral("%1 holds no entry %2")
                        .arg(QDir::toNativeSeparators(node->archive), node->entryName));
    const QString display =
        QStringLiteral("[%1:%2]").arg(QFileInfo(node->archive).fileName(), node->entryName);
    m_host.openArchiveTextAt(display, archive.read(entry), 1);
}

void ModTreePanel::openCurrent() {
    openRow(view->currentIndex());
}

// The folder a row stands for: a folder itself, the folder that holds a script or an archive.
QString ModTreePanel::folderOfRow(const QModelIndex &source) const {
    const ModTreeNode *node = m_model->node(source);
    if (!node)
        return {};
    if (node->kind == ModTreeNode::Root || node->kind == ModTreeNode::Folder)
        return node->path;
    const QString file = node->archive.isEmpty() ? node->path : node->archive;
    return QFileInfo(file).absolutePath();
}

void ModTreePanel::revealClick() {
    const QString folder = folderOfRow(currentSource());
    if (!folder.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void ModTreePanel::copyPathClick() {
    const ModTreeNode *node = m_model->node(currentSource());
    if (!node)
        return;
    const QString text = node->entryName.isEmpty() && node->kind != ModTreeNode::ArchiveFolder
                             ? QDir::toNativeSeparators(node->path)
                             : QDir::toNativeSeparators(node->archive) + QLatin1Char(':') +
                                   node->path.mid(node->archive.size() + 1);
    QApplication::clipboard()->setText(text);
}

void ModTreePanel::findInFolderClick() {
    const ModTreeNode *node = m_model->node(currentSource());
    if (!node || !node->archive.isEmpty())
        return; // archives are searched with the index folders, not on their own
    emit findInFolderRequested(folderOfRow(currentSource()));
}

} // namespace marlix
