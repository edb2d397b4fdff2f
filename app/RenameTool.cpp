#include "app/RenameTool.h"

#include "app/DocumentHost.h"
#include "app/IndexTools.h"
#include "app/PageControl.h"
#include "app/RenameDialogs.h"
#include "core/common/Error.h"
#include "core/script/Windows1252.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <algorithm>

namespace marlix {

namespace {

constexpr int MessageMilliseconds = 6000;

bool below(const QString &path, const QStringList &folders) {
    for (const QString &folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (path.startsWith(clean + QLatin1Char('/')))
            return true;
    }
    return false;
}

// The plan's changes of one script made in its tab as one undo step, word by word from the
// end, so colours, folds and marks elsewhere stay as they are.
void renameInEditor(TAdvEdit *editor, const QString &file, const QList<RenameChange> &changes) {
    const QList<RenameChange> mine = changesOfFileFromEnd(changes, file);
    EditorView view(editor);
    editor->beginUndoAction();
    for (const RenameChange &change : mine) {
        const qsizetype start = view.lineStart(change.line - 1) + change.column;
        view.replace(start, start + change.before.size(), change.after);
    }
    editor->endUndoAction();
    editor->flushEdits();
}

} // namespace

RenameTool::RenameTool(DocumentHost &host, IndexTools *index)
    : QObject(host.hostWindow()), m_host(host), m_window(host.hostWindow()), m_index(index) {
    QMenu *tools = host.toolsMenu();
    renameNameAction = new QAction(QStringLiteral("Rename Name\u2026"), tools);
    renameNameAction->setObjectName(QStringLiteral("renameNameAction"));
    renameNameAction->setShortcut(QKeySequence(Qt::Key_F2));
    // Beside Find References, which lists what a rename would change.
    const QList<QAction *> entries = tools->actions();
    const qsizetype after = entries.indexOf(index->findReferencesAction);
    tools->insertAction(after >= 0 && after + 1 < entries.size() ? entries[after + 1] : nullptr,
                        renameNameAction);
    connect(renameNameAction, &QAction::triggered, this,
            [this] { guarded(m_window, [&] { renameNameClick(); }); });
}

void RenameTool::renameNameClick() {
    if (TAdvEdit *editor = m_host.activeEditor())
        renameAt(EditorView(editor).caret());
}

QString RenameTool::refusalForActiveTab() const {
    if (!m_index->index())
        return QStringLiteral("The mod index is not available: the command tables beside the "
                              "program could not be read");
    if (m_index->isBuilding())
        return QStringLiteral("The mod index is still being built; rename when it is done, so "
                              "that no use of the name is missed");
    if (m_index->indexedFolders().isEmpty())
        return QStringLiteral("There are no index folders to rename in: choose them in Tools > "
                              "Index Folders");
    const TTabSheet *page = m_host.activePage();
    if (page->caption().isEmpty())
        return page->displayText().startsWith(QLatin1Char('['))
                   ? QStringLiteral("This script is inside an archive, which is only read")
                   : QStringLiteral("This script is not saved in the index folders yet");
    return {};
}

RenameScope RenameTool::scope() const {
    RenameScope scope;
    scope.index = m_index->index();
    scope.readOnlyFolders = scope.index->baseFolders();
    // Only scripts of the mod count: one of another mod, open beside it, is left alone.
    const QStringList folders = m_index->indexedFolders() + scope.readOnlyFolders;
    for (const TTabSheet *page : m_host.pages()) {
        const QString path = QDir::cleanPath(page->caption());
        if (!page->caption().isEmpty() && below(path, folders))
            scope.openTexts.insert(path, m_host.editorOfSlot(page->Tag)->documentBytes());
    }
    return scope;
}

void RenameTool::refuse(const QByteArray &name, const QString &why) {
    showMessage(m_window,
                name.isEmpty()
                    ? why
                    : QStringLiteral("%1 cannot be renamed:\n%2").arg(windows1252Text(name), why));
}

void RenameTool::renameAt(qsizetype position) {
    TAdvEdit *editor = m_host.activeEditor();
    if (!editor)
        return;
    if (const QString why = refusalForActiveTab(); !why.isEmpty()) {
        refuse({}, why);
        return;
    }
    const QString path = QDir::cleanPath(m_host.activePage()->caption());
    const RenameScope renameScope = scope();
    const QByteArray text = editor->documentBytes();
    const RenameTarget target = renameTargetAt(renameScope, path, text, position);
    if (!target.refusal.isEmpty()) {
        refuse(target.name, target.refusal);
        return;
    }
    if (!below(path, m_index->indexedFolders())) {
        refuse(target.name, QStringLiteral("%1 is not in the index folders (Tools > Index "
                                           "Folders), so its uses there are unknown")
                                .arg(QDir::toNativeSeparators(path)));
        return;
    }

    // Whatever the new name, a name used where nothing may be written is refused before one
    // is asked for.
    if (const RenamePlan check = planRename(renameScope, path, text, position, target.name);
        !check.refusal.isEmpty()) {
        refuse(target.name, check.refusal);
        return;
    }

    RenameNameDialog ask(windows1252Text(target.family), windows1252Text(target.name), m_window);
    if (ask.exec() != QDialog::Accepted)
        return;
    const std::optional<QByteArray> newName = windows1252Bytes(ask.newName());
    if (!newName) {
        refuse(target.name, QStringLiteral("The new name \"%1\" holds characters a script "
                                           "cannot hold")
                                .arg(ask.newName()));
        return;
    }
    if (*newName == target.name)
        return;
    const RenamePlan plan = planRename(renameScope, path, text, position, *newName);
    if (!plan.refusal.isEmpty()) {
        refuse(target.name, plan.refusal);
        return;
    }

    QSet<QString> open;
    for (const QString &file : plan.files())
        if (renameScope.openTexts.contains(file))
            open.insert(file);
    RenamePreviewDialog preview(plan, open, m_index->indexedFolders(), m_window);
    if (preview.exec() != QDialog::Accepted)
        return;
    apply(plan, renameScope);
}

TAdvEdit *RenameTool::editorOf(const QString &file) const {
    for (const TTabSheet *page : m_host.pages())
        if (!page->caption().isEmpty() && QDir::cleanPath(page->caption()) == file)
            return m_host.editorOfSlot(page->Tag);
    return nullptr;
}

void RenameTool::apply(const RenamePlan &plan, const RenameScope &scope) {
    QStringList onDisk;
    QList<std::pair<QString, TAdvEdit *>> open;
    for (const QString &file : plan.files()) {
        if (!scope.openTexts.contains(file)) {
            onDisk.append(file);
            continue;
        }
        TAdvEdit *editor = editorOf(file);
        // Checked before anything changes: a closed tab or a changed text renames nothing.
        if (!editor)
            throw Error(QStringLiteral("%1 was closed since the rename was planned").arg(file));
        renamedText(editor->documentBytes(), file, plan.changes);
        open.append({file, editor});
    }
    // All or none on disk; the open scripts change only when the files did.
    renameInFiles(onDisk, plan.changes);
    for (const auto &[file, editor] : open)
        renameInEditor(editor, file, plan.changes);
    // The index follows at once rather than when the file watch notices.
    if (ModIndex *index = m_index->index())
        for (const QString &file : onDisk)
            index->rereadFile(file);

    m_window->statusBar()->showMessage(
        QStringLiteral("Renamed %1 to %2: %3 changes in %4 scripts (%5 open, changed in their "
                       "tabs)")
            .arg(windows1252Text(plan.oldName), windows1252Text(plan.newName))
            .arg(plan.changes.size())
            .arg(plan.files().size())
            .arg(open.size()),
        MessageMilliseconds);
    emit renamed(plan.files());
}

} // namespace marlix
