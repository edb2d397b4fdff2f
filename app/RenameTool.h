#pragma once

#include "core/modindex/Rename.h"

#include <QObject>

class QAction;
class QMainWindow;
class TAdvEdit;

namespace marlix {

class DocumentHost;
class IndexTools;

// Tools > Rename Name (F2): renames the name at the caret across the index folders. It asks
// for the new name, shows every change before it is made, and then changes open scripts in
// their tabs (one undo step each) and the others on disk, only in the renamed words.
class RenameTool : public QObject {
    Q_OBJECT
public:
    // Adds its entry to the Tools menu after the index's own.
    RenameTool(DocumentHost &host, IndexTools *index);

    QAction *renameNameAction;

    // Renames the name at the byte position of the active document, asking as the menu
    // entry does.
    void renameAt(qsizetype position);

signals:
    // A rename was made: the scripts changed, open or on disk.
    void renamed(const QStringList &files);

private:
    void renameNameClick();
    // Why no rename can start in the active tab; empty when one can.
    QString refusalForActiveTab() const;
    RenameScope scope() const;
    void refuse(const QByteArray &name, const QString &why);
    void apply(const RenamePlan &plan, const RenameScope &scope);
    TAdvEdit *editorOf(const QString &file) const;

    DocumentHost &m_host;
    QMainWindow *m_window; // dialogs, messages and the status bar
    IndexTools *m_index;
};

} // namespace marlix
