#pragma once

#include "core/level/TemplateTree.h"

#include <QWidget>
#include <memory>

class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace marlix {

class ScriptHost;

// Tools > Template Tree: what a template is made of, its children's children shown when
// opened, and what uses it. A click opens a definition; the filter keeps the parts whose
// name holds its text and the parts above them.
class TemplateTreePanel : public QWidget {
    Q_OBJECT
public:
    explicit TemplateTreePanel(ScriptHost *host, QWidget *parent = nullptr);

    // Shows the tree of that template; the name at the caret of the script in view when
    // empty and there is one there.
    void showTemplate(const QByteArray &name);
    // The ObjectTemplate name at the caret of the script in view; empty if none.
    QByteArray nameAtCaret() const;

    QTreeWidget *tree() const { return m_tree; }
    QListWidget *usedBy() const { return m_usedBy; }

private:
    void fill(QTreeWidgetItem *item);
    void expandAll(QTreeWidgetItem *item, int depth);
    void applyFilter();
    bool filterItem(QTreeWidgetItem *item, const QString &text);
    void openItem(QTreeWidgetItem *item);
    void copyAsText();

    ScriptHost *m_host;
    std::unique_ptr<TemplateTree> m_templates;
    QByteArray m_root;
    QLineEdit *m_name, *m_filter;
    QTreeWidget *m_tree;
    QListWidget *m_usedBy;
};

} // namespace marlix
