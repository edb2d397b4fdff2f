#include "pictures/PictureTools.h"

#include "app/frmMain.h"
#include "pictures/LevelMapWindow.h"
#include "pictures/MainWindowHost.h"
#include "pictures/TemplateTreePanel.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QMenu>

namespace marlix {

PictureTools::PictureTools(TFormMain *window)
    : QObject(window), m_window(window), m_host(new MainWindowHost(window)) {
    setObjectName(QStringLiteral("pictureTools"));
    m_host->setParent(this);
    window->mnuTools->addSeparator();
    mnuLevelMap = window->mnuTools->addAction(QStringLiteral("Level Map"));
    mnuLevelMap->setObjectName(QStringLiteral("mnuLevelMap"));
    connect(mnuLevelMap, &QAction::triggered, this,
            [this] { guarded(m_window, [&] { levelMapClick(); }); });
    mnuTemplateTree = window->mnuTools->addAction(QStringLiteral("Template Tree"));
    mnuTemplateTree->setObjectName(QStringLiteral("mnuTemplateTree"));
    connect(mnuTemplateTree, &QAction::triggered, this,
            [this] { guarded(m_window, [&] { templateTreeClick(); }); });
}

LevelMapWindow *PictureTools::levelMap() {
    if (!m_levelMap)
        m_levelMap = new LevelMapWindow(m_host, m_window);
    return m_levelMap;
}

TemplateTreePanel *PictureTools::templateTree() {
    if (!m_templateTree)
        m_templateTree = new TemplateTreePanel(m_host, m_window);
    return m_templateTree;
}

void PictureTools::levelMapClick() {
    const bool made = !m_levelMap;
    LevelMapWindow *window = levelMap();
    if (!made)
        window->refreshLevels();
    window->show();
    window->raise();
    window->activateWindow();
}

void PictureTools::templateTreeClick() {
    TemplateTreePanel *panel = templateTree();
    const QByteArray name = panel->nameAtCaret();
    if (!name.isEmpty())
        panel->showTemplate(name);
    panel->show();
    panel->raise();
    panel->activateWindow();
}

} // namespace marlix
