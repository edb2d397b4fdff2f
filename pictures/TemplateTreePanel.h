#pragma once

#include "core/level/TemplateTree.h"

#include <QWidget>
#include <memory>

class QFileSystemWatcher;
class QLineEdit;
class QTimer;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace marlix {

class ModIndex;
class ScriptHost;

// The ObjectTemplate name a byte position of a script's text stands on; empty if none (or
// without an index).
QByteArray templateNameAt(const ModIndex *index, const QByteArray &text, qsizetype position);

// Tools > Template Tree: what a template is made of, its children's children shown when
// opened, and what uses it. A click opens a definition; the filter keeps the parts whose
// name holds its text and the parts above them. The tree follows edits of the open scripts
// it was read from and saves of them, keeping the parts that were open.
class TemplateTreePanel : public QWidget {
    Q_OBJECT
public:
    explicit TemplateTreePanel(ScriptHost *host, QWidget *parent = nullptr);

    // Shows the tree of that template; the name at the caret of the script in view when
    // empty and there is one there.
    void showTemplate(const QByteArray &name);
    // The ObjectTemplate name at the caret of the script in view; empty if none.
    QByteArray nameAtCaret() const;

    // Reads the shown template again, the same parts open.
    void refresh();

    QTreeWidget *tree() const { return m_tree; }
    QListWidget *usedBy() const { return m_usedBy; }

private:
    void fill(QTreeWidgetItem *item);
    void expandAll(QTreeWidgetItem *item, int depth);
    void applyFilter();
    bool filterItem(QTreeWidgetItem *item, const QString &text);
    void openItem(QTreeWidgetItem *item);
    void copyAsText();
    void scriptChanged(const QString &path);
    void watchScriptsRead();

    ScriptHost *m_host;
    std::unique_ptr<TemplateTree> m_templates;
    QByteArray m_root;
    QLineEdit *m_name, *m_filter;
    QTreeWidget *m_tree;
    QListWidget *m_usedBy;
    QFileSystemWatcher *m_watcher;
    QTimer *m_reread, *m_follow;
};

} // namespace marlix
