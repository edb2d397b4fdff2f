#include "core/workspace/ModTreeModel.h"

#include <QDir>

namespace marlix {

ModTreeModel::ModTreeModel(QObject *parent)
    : QAbstractItemModel(parent), m_top(std::make_unique<ModTreeNode>()) {}

ModTreeModel::~ModTreeModel() = default;

ModTreeNode *ModTreeModel::nodeOf(const QModelIndex &index) const {
    return index.isValid() ? static_cast<ModTreeNode *>(index.internalPointer()) : m_top.get();
}

const ModTreeNode *ModTreeModel::node(const QModelIndex &index) const {
    return index.isValid() ? nodeOf(index) : nullptr;
}

QModelIndex ModTreeModel::indexOf(ModTreeNode *node) const {
    if (!node || node == m_top.get())
        return {};
    return createIndex(node->row(), 0, node);
}

QModelIndex ModTreeModel::index(int row, int column, const QModelIndex &parent) const {
    const ModTreeNode *above = nodeOf(parent);
    if (column != 0 || row < 0 || row >= int(above->children.size()))
        return {};
    return createIndex(row, 0, above->children[size_t(row)].get());
}

QModelIndex ModTreeModel::parent(const QModelIndex &child) const {
    if (!child.isValid())
        return {};
    return indexOf(nodeOf(child)->parent);
}

int ModTreeModel::rowCount(const QModelIndex &parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int ModTreeModel::columnCount(const QModelIndex &) const {
    return 1;
}

QVariant ModTreeModel::data(const QModelIndex &index, int role) const {
    const ModTreeNode *at = node(index);
    if (!at)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return at->name;
    case Qt::ToolTipRole: {
        QString tip = at->kind == ModTreeNode::Entry || at->kind == ModTreeNode::ArchiveFolder
                          ? QDir::toNativeSeparators(at->archive) + QLatin1Char(':') +
                                at->path.mid(at->archive.size() + 1)
                          : QDir::toNativeSeparators(at->path);
        if (!at->error.isEmpty())
            tip += QLatin1Char('\n') + at->error;
        if (at->problems > 0)
            tip += QStringLiteral("\n%1 problem%2 found by the mod check")
                       .arg(at->problems)
                       .arg(at->problems == 1 ? "" : "s");
        return tip;
    }
    case KindRole:
        return int(at->kind);
    case PathRole:
        return at->path;
    case ArchiveRole:
        return at->archive;
    case EntryRole:
        return at->entryName;
    case ProblemsRole:
        return at->problems;
    case ErrorRole:
        return at->error;
    default:
        return {};
    }
}

void ModTreeModel::remember(ModTreeNode *node) {
    m_byPath.insert(node->path, node);
    for (auto &child : node->children) {
        child->parent = node;
        remember(child.get());
    }
}

void ModTreeModel::forget(ModTreeNode *node) {
    const auto found = m_byPath.constFind(node->path);
    if (found != m_byPath.cend() && found.value() == node)
        m_byPath.erase(found);
    for (auto &child : node->children)
        forget(child.get());
}

// Both child lists are in comesBefore order, so one walk over the two finds the rows that
// stay, those that went (removed where they stand) and those that came (inserted in place).
void ModTreeModel::merge(ModTreeNode *old, std::unique_ptr<ModTreeNode> fresh) {
    const bool errorChanged = old->error != fresh->error;
    old->error = fresh->error;
    old->path = fresh->path;
    old->archive = fresh->archive;
    old->entryName = fresh->entryName;
    auto &have = old->children;
    auto &come = fresh->children;
    const QModelIndex parentIndex = indexOf(old);
    size_t i = 0;
    size_t j = 0;
    while (i < have.size() || j < come.size()) {
        const bool haveLeft = i < have.size();
        const bool comeLeft = j < come.size();
        if (haveLeft && comeLeft && !comesBefore(*have[i], *come[j]) &&
            !comesBefore(*come[j], *have[i])) {
            merge(have[i].get(), std::move(come[j]));
            ++i;
            ++j;
        } else if (haveLeft && (!comeLeft || comesBefore(*have[i], *come[j]))) {
            beginRemoveRows(parentIndex, int(i), int(i));
            forget(have[i].get());
            have.erase(have.begin() + qsizetype(i));
            endRemoveRows();
        } else {
            beginInsertRows(parentIndex, int(i), int(i));
            come[j]->parent = old;
            remember(come[j].get());
            have.insert(have.begin() + qsizetype(i), std::move(come[j]));
            endInsertRows();
            ++i;
            ++j;
        }
    }
    m_byPath.insert(old->path, old);
    if (errorChanged) {
        const QModelIndex at = indexOf(old);
        if (at.isValid())
            emit dataChanged(at, at);
    }
}

void ModTreeModel::update(std::unique_ptr<ModTreeNode> fresh) {
    if (!fresh)
        return;
    merge(m_top.get(), std::move(fresh));
    m_byPath.remove(QString());
    setProblems(m_problems);
}

int ModTreeModel::countProblems(ModTreeNode *node) {
    int problems = 0;
    if (node->isContainer()) {
        for (auto &child : node->children)
            problems += countProblems(child.get());
    } else {
        problems = m_problems.value(node->path);
    }
    if (problems != node->problems) {
        node->problems = problems;
        const QModelIndex at = indexOf(node);
        if (at.isValid())
            emit dataChanged(at, at, {ProblemsRole, Qt::ToolTipRole});
    }
    return problems;
}

void ModTreeModel::setProblems(const QHash<QString, int> &problemsByPath) {
    m_problems = problemsByPath;
    countProblems(m_top.get());
}

QModelIndex ModTreeModel::indexOfPath(const QString &path) const {
    return indexOf(m_byPath.value(path));
}

ModTreeFilter::ModTreeFilter(QObject *parent) : QSortFilterProxyModel(parent) {
    setRecursiveFilteringEnabled(true);
    setAutoAcceptChildRows(true);
}

void ModTreeFilter::setFilterWords(const QString &text) {
    m_words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    invalidateFilter();
}

bool ModTreeFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const {
    if (m_words.isEmpty())
        return true;
    const QModelIndex at = sourceModel()->index(sourceRow, 0, sourceParent);
    if (at.data(ModTreeModel::KindRole).toInt() == ModTreeNode::Root)
        return false; // a root shows when something below it matches
    const QString name = at.data(Qt::DisplayRole).toString();
    for (const QString &word : m_words)
        if (!name.contains(word, Qt::CaseInsensitive))
            return false;
    return true;
}

} // namespace marlix
