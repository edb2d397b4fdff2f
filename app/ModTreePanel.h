#pragma once

#include "core/workspace/ModTree.h"

#include <QDockWidget>
#include <QHash>
#include <QStringList>
#include <memory>

class QAction;
class QFileSystemWatcher;
class QLineEdit;
class QMainWindow;
class QThread;
class QTimer;
class QTreeView;

namespace marlix {

class DocumentHost;
class IndexTools;
class ModTreeFilter;
class ModTreeModel;

// The mod tree beside the tabs: the index folders with their scripts and archives, a filter
// box above them, marks on scripts the mod check finds problems in. A click on a script opens
// it; the context menu opens, shows the file in the file manager, copies its path or searches
// the folder. While shown, it follows scripts and folders that come, go or are renamed.
class ModTreePanel : public QDockWidget {
    Q_OBJECT
public:
    // A panel of the host's window, docked there by the workspace.
    ModTreePanel(DocumentHost &host, IndexTools *tools);
    ~ModTreePanel() override;

    QLineEdit *filter;
    QTreeView *view;
    QAction *actOpen, *actReveal, *actCopyPath, *actFindInFolder;
    ModTreeModel *model() const { return m_model; }

    // Reads the folders again (in the background); the tree changes only where they did.
    void rescan();
    // Opens the script or archive entry of a row of the view.
    void openRow(const QModelIndex &index);
    void openCurrent();
    // Marks the scripts the mod check finds problems in, from the index as it stands.
    void refreshMarks();

signals:
    void scanned(); // a scan has been merged into the tree
    void marked();  // the marks of the mod check are up to date
    // Find in This Folder was chosen on a folder of the mod (on disk, not in an archive).
    void findInFolderRequested(const QString &folder);

private:
    struct ScanResult {
        std::unique_ptr<ModTreeNode> tree;
        QStringList folders;
        QStringList archives;
    };
    void scanDone(std::shared_ptr<ScanResult> result);
    void watch(const QStringList &folders, const QStringList &archives);
    QModelIndex currentSource() const;
    QString folderOfRow(const QModelIndex &source) const;
    void revealClick();
    void copyPathClick();
    void findInFolderClick();

    DocumentHost &m_host;
    QMainWindow *m_window; // messages
    IndexTools *m_tools;
    ModTreeModel *m_model;
    ModTreeFilter *m_proxy;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_settle;
    QTimer *m_marksSettle; // a burst of saves is checked once
    QThread *m_scan = nullptr;
    bool m_scanAgain = false;
    QThread *m_check = nullptr;
    bool m_checkAgain = false;
};

} // namespace marlix
