#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMainWindow;
class QMenu;
class TAdvEdit;

namespace marlix {

class DocumentHost;
class IndexTools;
class LevelMapWindow;
class MainWindowHost;
class TemplateTreePanel;

// Tools > Level Map and Tools > Template Tree of the main window. The windows are made on
// first use and kept; both open with what the script in view is about. The editors' context
// menu offers the tree of the template name under the pointer, and the map on a script of a
// level.
class PictureTools : public QObject {
    Q_OBJECT
public:
    PictureTools(DocumentHost &host, IndexTools *tools);

    QAction *levelMapAction, *templateTreeAction;
    LevelMapWindow *levelMap();
    TemplateTreePanel *templateTree();

private:
    void levelMapClick();
    void templateTreeClick();
    void addEditorEntries(QMenu *menu, TAdvEdit *editor, qsizetype position);
    void showTree(const QByteArray &name);

    DocumentHost &m_documents;
    QMainWindow *m_window; // the windows and panels belong to it
    MainWindowHost *m_host;
    QPointer<LevelMapWindow> m_levelMap;
    QPointer<TemplateTreePanel> m_templateTree;
};

} // namespace marlix
