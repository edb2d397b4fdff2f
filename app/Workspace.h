#pragma once

#include <QObject>
#include <memory>

class QAction;
class QMainWindow;
class TAdvEdit;

namespace marlix {

class CommandHelpFile;
class DocumentHost;
class IndexTools;
class ModTreePanel;
class QuickOpen;

// The mod as a workspace: the mod tree, quick open, the command hints of every editor, and the
// session that brings the open scripts back at the next start (session.ini beside the
// executable).
class Workspace : public QObject {
    Q_OBJECT
public:
    // Docks the mod tree on the window; the window places the two entries in its menus.
    Workspace(DocumentHost &host, IndexTools *tools);
    ~Workspace() override;

    QAction *quickOpenAction, *modTreeAction;
    ModTreePanel *modTree;
    QuickOpen *quickOpen;

    void attachEditor(TAdvEdit *editor);
    // At start: the mod tree as it was left and, unless switched off in the preferences, the
    // scripts that were open, each at its caret and scroll position. Scripts that no longer
    // exist are skipped without a word.
    void restoreSession();
    // On leaving, after the changed documents have been dealt with.
    void saveSession();

private:
    DocumentHost &m_host;
    QMainWindow *m_window; // the dock of the tree, messages
    std::shared_ptr<CommandHelpFile> m_help;
};

} // namespace marlix
