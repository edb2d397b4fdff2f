#include "app/Workspace.h"

#include "app/DocumentHost.h"
#include "app/ModTreePanel.h"
#include "app/PageControl.h"
#include "app/QuickOpen.h"
#include "core/workspace/SessionFile.h"
#include "editor/AdvEdit.h"
#include "editor/CommandHint.h"
#include "editor/EditorView.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>

namespace marlix {

Workspace::Workspace(DocumentHost &host, IndexTools *tools)
    : QObject(host.hostWindow()), m_host(host), m_window(host.hostWindow()),
      m_help(std::make_shared<CommandHelpFile>(host.ProgramFolder() + CommandHelp::fileName())) {
    quickOpen = new QuickOpen(host, tools);
    quickOpenAction = new QAction(QStringLiteral("Quick Open\u2026"), m_window);
    quickOpenAction->setObjectName(QStringLiteral("quickOpenAction"));
    quickOpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(quickOpenAction, &QAction::triggered, this,
            [this] { guarded(m_window, [this] { quickOpen->open(); }); });

    modTree = new ModTreePanel(host, tools);
    m_window->addDockWidget(Qt::LeftDockWidgetArea, modTree);
    modTree->hide();
    modTreeAction = modTree->toggleViewAction();
    modTreeAction->setText(QStringLiteral("Mod Tree"));
    modTreeAction->setObjectName(QStringLiteral("modTreeAction"));
    modTreeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
}

// The tree's check reads the mod index: the tree goes first.
Workspace::~Workspace() {
    delete modTree;
}

void Workspace::attachEditor(TAdvEdit *editor) {
    new CommandHint(editor, m_help);
}

void Workspace::restoreSession() {
    const Session session = readSession(sessionPath(m_host.ProgramFolder()));
    if (session.showTree) // hidden at first; shown already if asked for meanwhile
        modTree->show();
    if (!session.reopen)
        return;
    TTabSheet *front = nullptr;
    for (qsizetype i = 0; i < session.scripts.size(); ++i) {
        const SessionScript &script = session.scripts[i];
        if (!QFileInfo(script.path).isFile())
            continue;
        if (!guarded(m_window, [&] { m_host.OpenDocumentFile(script.path); }))
            continue;
        TTabSheet *page = m_host.activePage();
        if (!page || page->caption() != script.path)
            break; // no room for more tabs
        TAdvEdit *editor = m_host.editorOfSlot(page->Tag);
        const int line = std::min(script.caretLine, std::max(editor->lines() - 1, 0));
        EditorView view(editor);
        view.goTo(
            std::min<qsizetype>(view.lineStart(line) + script.caretColumn, view.lineEnd(line)));
        const int first = script.firstLine;
        // Once the editor has its size, so a wrapped script scrolls to the right line.
        QTimer::singleShot(0, editor, [editor, first] { EditorView(editor).scrollToLine(first); });
        if (i == session.active)
            front = page;
    }
    if (front)
        m_host.showPage(front);
    if (TAdvEdit *editor = m_host.activeEditor())
        editor->setFocus();
}

void Workspace::saveSession() {
    const QString path = sessionPath(m_host.ProgramFolder());
    Session session = readSession(path);
    session.showTree = modTree->isVisibleTo(m_window);
    session.scripts.clear();
    session.active = -1;
    if (session.reopen) {
        const TTabSheet *active = m_host.activePage();
        for (TTabSheet *page : m_host.pages()) {
            if (page->caption().isEmpty())
                continue; // untitled, or read out of an archive
            TAdvEdit *editor = m_host.editorOfSlot(page->Tag);
            SessionScript script;
            script.path = page->caption();
            const EditorView view(editor);
            const qsizetype caret = view.caret();
            script.caretLine = view.lineOf(caret);
            script.caretColumn = int(caret - view.lineStart(script.caretLine));
            script.firstLine = view.firstLineInView();
            if (page == active)
                session.active = int(session.scripts.size());
            session.scripts.append(script);
        }
    }
    writeSession(path, session);
}

} // namespace marlix
