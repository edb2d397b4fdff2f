#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class TFormMain;

namespace marlix {

class LevelMapWindow;
class MainWindowHost;
class TemplateTreePanel;

// Tools > Level Map and Tools > Template Tree of the main window. The windows are made on
// first use and kept; both open with what the script in view is about.
class PictureTools : public QObject {
    Q_OBJECT
public:
    explicit PictureTools(TFormMain *window);

    QAction *mnuLevelMap, *mnuTemplateTree;
    LevelMapWindow *levelMap();
    TemplateTreePanel *templateTree();

private:
    void levelMapClick();
    void templateTreeClick();

    TFormMain *m_window;
    MainWindowHost *m_host;
    QPointer<LevelMapWindow> m_levelMap;
    QPointer<TemplateTreePanel> m_templateTree;
};

} // namespace marlix
