#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class TAdvEdit;
class TFormMain;

namespace marlix {

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
    explicit PictureTools(TFormMain *window);

    QAction *levelMapAction, *templateTreeAction;
    LevelMapWindow *levelMap();
    TemplateTreePanel *templateTree();

private:
    void levelMapClick();
    void templateTreeClick();
    void addEditorEntries(QMenu *menu, TAdvEdit *editor, qsizetype position);
    void showTree(const QByteArray &name);

    TFormMain *m_window;
    MainWindowHost *m_host;
    QPointer<LevelMapWindow> m_levelMap;
    QPointer<TemplateTreePanel> m_templateTree;
};

} // namespace marlix
