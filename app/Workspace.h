#pragma once

#include <QObject>
#include <memory>

class QAction;
class TAdvEdit;
class TFormMain;

namespace marlix {

class CommandHelpFile;
class ModTreePanel;
class QuickOpen;

// The mod as a workspace: the mod tree, quick open, the command hints of every editor, and the
// session that brings the open scripts back at the next start (session.ini beside the
// executable).
class Workspace : public QObject {
    Q_OBJECT
public:
    // Adds Quick Open to the File menu and Mod Tree to the Tools menu.
    explicit Workspace(TFormMain *window);
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
    TFormMain *m_window;
    std::shared_ptr<CommandHelpFile> m_help;
};

} // namespace marlix
