#include "pictures/TemplateTreePanel.h"

#include "core/modindex/ModIndex.h"
#include "pictures/ScriptHost.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace marlix {

namespace {

enum Role { FileRole = Qt::UserRole, LineRole, NameRole, FilledRole, StateRole };
constexpr int FilterDepth = 12; // the filter looks this deep into the tree

QString text(const QByteArray &bytes) {
    return QString::fromLatin1(bytes);
}

// An item by the names from the root down to it, which a tree read again keeps.
QString pathOf(const QTreeWidgetItem *item) {
    QStringList names;
    for (; item; item = item->parent())
        names.prepend(item->data(0, NameRole).toString().toLower());
    return names.join(QLatin1Char('\n'));
}

QTreeWidgetItem *itemFor(const TemplatePart &part) {
    auto *item = new QTreeWidgetItem;
    QString name = text(part.name);
    if (part.state == TemplatePart::Undefined)
        name += QStringLiteral("  (undefined)");
    if (part.state == TemplatePart::Cycle)
        name += QStringLiteral("  (cycle)");
    item->setText(0, name);
    item->setText(1, text(part.type));
    item->setText(2, text(part.position));
    item->setText(3, text(part.rotation));
    item->setText(4, text(part.geometry));
    item->setData(0, FileRole, part.file);
    item->setData(0, LineRole, part.line);
    item->setData(0, NameRole, part.name);
    item->setData(0, StateRole, int(part.state));
    if (part.state == TemplatePart::Undefined)
        item->setForeground(0, QColor(200, 0, 0));
    if (part.state == TemplatePart::Cycle) {
        item->setForeground(0, QColor(120, 120, 120));
        QFont font = item->font(0);
        font.setItalic(true);
        item->setFont(0, font);
    }
    item->setToolTip(
        0, part.file.isEmpty()
               ? QString()
               : QStringLiteral("%1:%2").arg(QDir::toNativeSeparators(part.file)).arg(part.line));
    if (part.state == TemplatePart::Defined)
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

} // namespace

TemplateTreePanel::TemplateTreePanel(ScriptHost *host, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host) {
    setObjectName(QStringLiteral("TemplateTreePanel"));
    setWindowTitle(QStringLiteral("Template Tree"));
    resize(760, 560);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Template:"), this));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("templateName"));
    top->addWidget(m_name, 2);
    top->addWidget(new QLabel(QStringLiteral("Filter:"), this));
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("treeFilter"));
    m_filter->setClearButtonEnabled(true);
    top->addWidget(m_filter, 1);
    auto *copy = new QPushButton(QStringLiteral("Copy as Text"), this);
    copy->setObjectName(QStringLiteral("copyTreeButton"));
    top->addWidget(copy);
    layout->addLayout(top);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    m_tree = new QTreeWidget(splitter);
    m_tree->setObjectName(QStringLiteral("templateTree"));
    m_tree->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"),
                             QStringLiteral("Position"), QStringLiteral("Rotation"),
                             QStringLiteral("Geometry")});
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *usedBox = new QWidget(splitter);
    auto *usedLayout = new QVBoxLayout(usedBox);
    usedLayout->setContentsMargins(0, 0, 0, 0);
    usedLayout->addWidget(new QLabel(QStringLiteral("Used by:"), usedBox));
    m_usedBy = new QListWidget(usedBox);
    m_usedBy->setObjectName(QStringLiteral("usedByList"));
    usedLayout->addWidget(m_usedBy);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    connect(m_name, &QLineEdit::returnPressed, this,
            [this] { showTemplate(m_name->text().trimmed().toLatin1()); });
    connect(m_filter, &QLineEdit::textChanged, this, &TemplateTreePanel::applyFilter);
    connect(copy, &QPushButton::clicked, this, &TemplateTreePanel::copyAsText);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &TemplateTreePanel::fill);
    connect(m_tree, &QTreeWidget::itemClicked, this, &TemplateTreePanel::openItem);
    connect(m_usedBy, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        m_host->openScriptAt(item->data(FileRole).toString(), item->data(LineRole).toInt());
    });
    // What was read may be out of date once the index is built anew, a script it was read
    // from is edited, or saved (here or by another program; the index reads a saved script
    // again as it changes on disk, before the pause is over).
    m_watcher = new QFileSystemWatcher(this);
    m_reread = new QTimer(this);
    m_reread->setSingleShot(true);
    m_reread->setInterval(250);
    connect(m_reread, &QTimer::timeout, this, &TemplateTreePanel::refresh);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_reread, qOverload<>(&QTimer::start));
    connect(m_host, &ScriptHost::indexChanged, this, &TemplateTreePanel::refresh);
    connect(m_host, &ScriptHost::scriptChanged, this, &TemplateTreePanel::scriptChanged);
    // Editors opened after the tree are followed too.
    m_follow = new QTimer(this);
    m_follow->setInterval(1000);
    connect(m_follow, &QTimer::timeout, m_host, &ScriptHost::followEditors);
    m_follow->start();
    m_host->followEditors();
}

void TemplateTreePanel::scriptChanged(const QString &path) {
    if (!m_templates || m_root.isEmpty())
        return;
    const QString clean = QDir::cleanPath(path);
    for (const QString &script : m_templates->scriptsRead())
        if (QDir::cleanPath(script) == clean) {
            m_reread->start();
            return;
        }
}

void TemplateTreePanel::watchScriptsRead() {
    QStringList files;
    if (m_templates)
        for (const QString &script : m_templates->scriptsRead())
            if (QFileInfo(script).isFile()) // not an archive's entry
                files << script;
    const QStringList watched = m_watcher->files();
    if (files == watched)
        return;
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    if (!files.isEmpty())
        m_watcher->addPaths(files);
}

void TemplateTreePanel::refresh() {
    if (m_root.isEmpty())
        return;
    QSet<QString> open;
    QString current = m_tree->currentItem() ? pathOf(m_tree->currentItem()) : QString();
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if ((*it)->isExpanded())
            open.insert(pathOf(*it));
    const int scrolled = m_tree->verticalScrollBar()->value();
    showTemplate(m_root);
    // Opening an item reads its children and so adds the items to look at next.
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        const QString path = pathOf(*it);
        if (open.contains(path))
            (*it)->setExpanded(true);
        if (!current.isEmpty() && path == current) {
            m_tree->setCurrentItem(*it);
            current.clear();
        }
    }
    m_tree->verticalScrollBar()->setValue(scrolled);
}

QByteArray templateNameAt(const ModIndex *index, const QByteArray &text, qsizetype position) {
    if (!index || position < 0)
        return {};
    const ScriptSymbol symbol = index->symbolAt(text, position);
    if ((symbol.kind == ScriptSymbol::Definition || symbol.kind == ScriptSymbol::Reference) &&
        symbol.family.compare("ObjectTemplate", Qt::CaseInsensitive) == 0)
        return symbol.name;
    return {};
}

QByteArray TemplateTreePanel::nameAtCaret() const {
    if (!m_host->index())
        return {};
    qsizetype caret = 0;
    const QByteArray text = m_host->activeText(&caret);
    return templateNameAt(m_host->index(), text, caret);
}

void TemplateTreePanel::showTemplate(const QByteArray &name) {
    m_tree->clear();
    m_usedBy->clear();
    m_root = name;
    m_name->setText(text(name));
    const ModIndex *index = m_host->index();
    if (!index) {
        m_tree->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("No mod index")}));
        return;
    }
    m_templates = std::make_unique<TemplateTree>(*index);
    m_templates->setOpenText(
        [this](const QString &path, QByteArray &bytes) { return m_host->openText(path, bytes); });
    if (name.isEmpty()) {
        watchScriptsRead();
        return;
    }
    QTreeWidgetItem *root = itemFor(m_templates->root(name));
    m_tree->addTopLevelItem(root);
    fill(root);
    root->setExpanded(true);
    for (const TemplateUse &use : m_templates->usedBy(name)) {
        const QString what = use.owner.isEmpty() ? QStringLiteral("placed") : text(use.owner);
        // Paths from the index folder that holds them; the whole path in the tip.
        QString shown = use.file;
        for (const QString &folder : m_host->folders())
            if (shown.startsWith(folder + QLatin1Char('/'))) {
                shown = shown.mid(folder.size() + 1);
                break;
            }
        auto *item =
            new QListWidgetItem(QStringLiteral("%1   %2   %3:%4")
                                    .arg(what, text(use.command), QDir::toNativeSeparators(shown))
                                    .arg(use.line),
                                m_usedBy);
        item->setToolTip(QDir::toNativeSeparators(use.file));
        item->setData(FileRole, use.file);
        item->setData(LineRole, use.line);
    }
    applyFilter();
    watchScriptsRead();
}

void TemplateTreePanel::fill(QTreeWidgetItem *item) {
    if (!m_templates || item->data(0, FilledRole).toBool() ||
        item->data(0, StateRole).toInt() != TemplatePart::Defined)
        return;
    item->setData(0, FilledRole, true);
    QList<QByteArray> ancestors;
    for (QTreeWidgetItem *up = item; up; up = up->parent())
        ancestors.prepend(up->data(0, NameRole).toByteArray());
    const QList<TemplatePart> parts =
        m_templates->children(item->data(0, NameRole).toByteArray(), ancestors);
    for (const TemplatePart &part : parts)
        item->addChild(itemFor(part));
    if (parts.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    watchScriptsRead();
}

void TemplateTreePanel::expandAll(QTreeWidgetItem *item, int depth) {
    if (depth > FilterDepth)
        return;
    fill(item);
    for (int i = 0; i < item->childCount(); ++i)
        expandAll(item->child(i), depth + 1);
}

bool TemplateTreePanel::filterItem(QTreeWidgetItem *item, const QString &filter) {
    bool keep = filter.isEmpty() || item->text(0).contains(filter, Qt::CaseInsensitive);
    for (int i = 0; i < item->childCount(); ++i)
        keep = filterItem(item->child(i), filter) || keep;
    item->setHidden(!keep);
    if (!filter.isEmpty() && keep && item->childCount() > 0)
        item->setExpanded(true);
    return keep;
}

void TemplateTreePanel::applyFilter() {
    const QString filter = m_filter->text().trimmed();
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        if (!filter.isEmpty())
            expandAll(m_tree->topLevelItem(i), 0);
        filterItem(m_tree->topLevelItem(i), filter);
    }
}

void TemplateTreePanel::openItem(QTreeWidgetItem *item) {
    const QString file = item->data(0, FileRole).toString();
    if (!file.isEmpty())
        m_host->openScriptAt(file, item->data(0, LineRole).toInt());
}

void TemplateTreePanel::copyAsText() {
    if (m_templates && !m_root.isEmpty())
        QApplication::clipboard()->setText(m_templates->text(m_root));
}

} // namespace marlix
