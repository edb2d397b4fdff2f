#include "pictures/PictureTools.h"

#include "app/DocumentHost.h"
#include "editor/AdvEdit.h"
#include "pictures/EditorMenuEntries.h"
#include "pictures/LevelMapWindow.h"
#include "pictures/MainWindowHost.h"
#include "pictures/TemplateTreePanel.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenu>

namespace marlix {

PictureTools::PictureTools(DocumentHost &host, IndexTools *tools)
    : QObject(host.hostWindow()), m_documents(host), m_window(host.hostWindow()),
      m_host(new MainWindowHost(host, tools, this)) {
    setObjectName(QStringLiteral("pictureTools"));
    QMenu *menu = host.toolsMenu();
    menu->addSeparator();
    levelMapAction = menu->addAction(QStringLiteral("Level Map"));
    levelMapAction->setObjectName(QStringLiteral("levelMapAction"));
    connect(levelMapAction, &QAction::triggered, this,
            [this] { guarded(m_window, [&] { levelMapClick(); }); });
    templateTreeAction = menu->addAction(QStringLiteral("Template Tree"));
    templateTreeAction->setObjectName(QStringLiteral("templateTreeAction"));
    connect(templateTreeAction, &QAction::triggered, this,
            [this] { guarded(m_window, [&] { templateTreeClick(); }); });
    new EditorMenuEntries(m_window, [this](QMenu *menu, TAdvEdit *editor, qsizetype position) {
        addEditorEntries(menu, editor, position);
    });
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
    showTree(templateTree()->nameAtCaret());
}

void PictureTools::showTree(const QByteArray &name) {
    TemplateTreePanel *panel = templateTree();
    if (!name.isEmpty())
        panel->showTemplate(name);
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void PictureTools::addEditorEntries(QMenu *menu, TAdvEdit *editor, qsizetype position) {
    const QByteArray name = templateNameAt(m_host->index(), editor->documentBytes(), position);
    // A script of a level lies in ".../levels/<Level>/...".
    const QString script = QDir::fromNativeSeparators(m_host->activeScript());
    const bool ofLevel = editor == m_documents.activeEditor() &&
                         script.section(QLatin1Char('/'), 0, -3)
                             .split(QLatin1Char('/'))
                             .contains(QLatin1String("levels"), Qt::CaseInsensitive);
    if (name.isEmpty() && !ofLevel)
        return;
    menu->addSeparator();
    if (!name.isEmpty()) {
        QAction *tree = menu->addAction(QStringLiteral("Template Tree"));
        tree->setObjectName(QStringLiteral("contextTemplateTreeAction"));
        tree->setToolTip(QStringLiteral("What %1 is made of").arg(QString::fromLatin1(name)));
        connect(tree, &QAction::triggered, this,
                [this, name] { guarded(m_window, [&] { showTree(name); }); });
    }
    if (ofLevel) {
        QAction *map = menu->addAction(QStringLiteral("Level Map"));
        map->setObjectName(QStringLiteral("contextLevelMapAction"));
        connect(map, &QAction::triggered, this,
                [this] { guarded(m_window, [&] { levelMapClick(); }); });
    }
}

} // namespace marlix
