#include "app/Workspace.h"

#include "app/ModTreePanel.h"
#include "app/PageControl.h"
#include "app/QuickOpen.h"
#include "app/frmMain.h"
#include "core/workspace/SessionFile.h"
#include "editor/AdvEdit.h"
#include "editor/CommandHint.h"
#include "editor/EditorView.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

namespace marlix {

Workspace::Workspace(TFormMain *window)
    : QObject(window), m_window(window),
      m_help(std::make_shared<CommandHelpFile>(window->ProgramFolder() + CommandHelp::fileName())) {
    quickOpen = new QuickOpen(window, window->indexTools);
    quickOpenAction = new QAction(QStringLiteral("Quick Open\u2026"), window);
    quickOpenAction->setObjectName(QStringLiteral("quickOpenAction"));
    quickOpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    window->mnuFile->insertAction(window->mnuRecent->menuAction(), quickOpenAction);
    connect(quickOpenAction, &QAction::triggered, this,
            [this] { guarded(m_window, [this] { quickOpen->open(); }); });

    modTree = new ModTreePanel(window, window->indexTools);
    window->addDockWidget(Qt::LeftDockWidgetArea, modTree);
    modTree->hide();
    modTreeAction = modTree->toggleViewAction();
    modTreeAction->setText(QStringLiteral("Mod Tree"));
    modTreeAction->setObjectName(QStringLiteral("modTreeAction"));
    modTreeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    window->mnuTools->insertAction(window->N5, modTreeAction);
}

// The tree's check reads the mod index: the tree goes first.
Workspace::~Workspace() {
    delete modTree;
}

void Workspace::attachEditor(TAdvEdit *editor) {
    new CommandHint(editor, m_help);
}

void Workspace::restoreSession() {
    const Session session = readSession(sessionPath(m_window->ProgramFolder()));
    if (session.showTree) // hidden at first; shown already if asked for meanwhile
        modTree->show();
    if (!session.reopen)
        return;
    TTabSheet *front = nullptr;
    for (qsizetype i = 0; i < session.scripts.size(); ++i) {
        const SessionScript &script = session.scripts[i];
        if (!QFileInfo(script.path).isFile())
            continue;
        if (!guarded(m_window, [&] { m_window->OpenDocumentFile(script.path); }))
            continue;
        TTabSheet *page = m_window->tabControl->ActivePage();
        if (!page || page->caption() != script.path)
            break; // no room for more tabs
        TAdvEdit *editor = m_window->DocumentEditors[page->Tag];
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
        m_window->tabControl->setActivePage(front);
    if (TAdvEdit *editor = m_window->activeEditor())
        editor->setFocus();
}

void Workspace::saveSession() {
    const QString path = sessionPath(m_window->ProgramFolder());
    Session session = readSession(path);
    session.showTree = modTree->isVisibleTo(m_window);
    session.scripts.clear();
    session.active = -1;
    if (session.reopen) {
        PageControl *tabs = m_window->tabControl;
        for (int i = 0; i < tabs->pageCount(); ++i) {
            TTabSheet *page = tabs->page(i);
            if (page->caption().isEmpty())
                continue; // untitled, or read out of an archive
            TAdvEdit *editor = m_window->DocumentEditors[page->Tag];
            SessionScript script;
            script.path = page->caption();
            const EditorView view(editor);
            const qsizetype caret = view.caret();
            script.caretLine = view.lineOf(caret);
            script.caretColumn = int(caret - view.lineStart(script.caretLine));
            script.firstLine = view.firstLineInView();
            if (page == tabs->ActivePage())
                session.active = int(session.scripts.size());
            session.scripts.append(script);
        }
    }
    writeSession(path, session);
}

} // namespace marlix
