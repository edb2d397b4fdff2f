#pragma once

#include "core/workspace/QuickOpenRanking.h"
#include "core/workspace/QuickOpenTargets.h"

#include <QFrame>

class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;

namespace marlix {

class DocumentHost;
class IndexTools;

// Quick open (Ctrl+P): a box at the top of the window. Letters of a script's path list the
// scripts that hold them in order, "@" and letters the names the mod defines, ":" and a number
// a line of the script in view; Enter opens the chosen one, Esc closes the box.
class QuickOpen : public QFrame {
    Q_OBJECT
public:
    // Lies over the host's window, below its menu bar.
    QuickOpen(DocumentHost &host, IndexTools *tools);

    QLineEdit *input;
    QListWidget *list;
    QLabel *status;

    // Shows the box with the mod's scripts and names as the index holds them now.
    void open();
    void accept();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void place();

    DocumentHost &m_host;
    QMainWindow *m_window; // the box is placed over it
    IndexTools *m_tools;
    QuickOpenTargets m_targets;
    QuickOpenRanking m_scripts, m_names;
    QList<const QuickOpenTarget *> m_shown;
};

} // namespace marlix
