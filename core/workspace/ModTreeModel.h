#pragma once

#include "core/workspace/ModTree.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QSortFilterProxyModel>

// The mod tree as an item model for the panel. A fresh scan is merged into the rows already
// shown, so rows that stay keep their place, their selection and whether they are expanded;
// only rows that came or went are inserted or removed.
namespace marlix {

class ModTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        KindRole = Qt::UserRole + 1, // ModTreeNode::Kind
        PathRole,                    // ModTreeNode::path
        ArchiveRole,
        EntryRole,
        ProblemsRole, // the problems of a script, or of everything below a folder
        ErrorRole,    // why an archive could not be read
    };

    explicit ModTreeModel(QObject *parent = nullptr);
    ~ModTreeModel() override;

    // Takes the top node of scanModTree.
    void update(std::unique_ptr<ModTreeNode> fresh);
    // Problems of the mod check by script (disk path or archive entry path, as the index names
    // them); scripts not named have none.
    void setProblems(const QHash<QString, int> &problemsByPath);

    // The row of a path (a folder, script, archive or entry); invalid when not in the tree.
    QModelIndex indexOfPath(const QString &path) const;
    const ModTreeNode *node(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    ModTreeNode *nodeOf(const QModelIndex &index) const;
    QModelIndex indexOf(ModTreeNode *node) const;
    void merge(ModTreeNode *old, std::unique_ptr<ModTreeNode> fresh);
    int countProblems(ModTreeNode *node);
    void forget(ModTreeNode *node);
    void remember(ModTreeNode *node);

    std::unique_ptr<ModTreeNode> m_top;
    QHash<QString, ModTreeNode *> m_byPath;
    QHash<QString, int> m_problems;
};

// The filter box: rows whose name holds every blank-separated word typed, ignoring case, with
// the folders on their way and everything below a folder that matches.
class ModTreeFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ModTreeFilter(QObject *parent = nullptr);
    void setFilterWords(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QStringList m_words;
};

} // namespace marlix
