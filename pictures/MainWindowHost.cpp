#include "pictures/MainWindowHost.h"

#include "app/DocumentHost.h"
#include "app/IndexTools.h"
#include "app/PageControl.h"
#include "core/document/DocumentSlots.h"
#include "core/modindex/IndexFolders.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"

#include <QDir>
#include <QTimer>

namespace marlix {

MainWindowHost::MainWindowHost(DocumentHost &host, IndexTools *tools, QObject *parent)
    : ScriptHost(parent), m_host(host), m_tools(tools) {
    if (tools)
        connect(tools, &IndexTools::buildFinished, this, &ScriptHost::indexChanged);
}

QStringList MainWindowHost::folders() const {
    if (m_tools && !m_tools->indexedFolders().isEmpty())
        return m_tools->indexedFolders();
    return effectiveIndexFolders(m_host.ProgramFolder(), activeScript());
}

const ModIndex *MainWindowHost::index() const {
    return m_tools ? m_tools->index() : nullptr;
}

TAdvEdit *MainWindowHost::editorOf(const QString &path) const {
    const QString clean = QDir::cleanPath(path);
    for (int slot = 0; slot < DocumentSlotCount; ++slot) {
        const TTabSheet *page = m_host.pageOfSlot(slot);
        TAdvEdit *editor = m_host.editorOfSlot(slot);
        if (page && editor && !page->caption().isEmpty() &&
            QDir::cleanPath(page->caption()) == clean)
            return editor;
    }
    return nullptr;
}

QString MainWindowHost::pathOf(const TAdvEdit *editor) const {
    for (int slot = 0; slot < DocumentSlotCount; ++slot)
        if (m_host.editorOfSlot(slot) == editor && m_host.pageOfSlot(slot))
            return m_host.pageOfSlot(slot)->caption();
    return {};
}

bool MainWindowHost::openText(const QString &path, QByteArray &bytes) const {
    const TAdvEdit *editor = editorOf(path);
    if (!editor)
        return false;
    bytes = editor->documentBytes();
    return true;
}

QString MainWindowHost::activeScript() const {
    const TAdvEdit *editor = m_host.activeEditor();
    return editor ? pathOf(editor) : QString();
}

QByteArray MainWindowHost::activeText(qsizetype *caret) const {
    TAdvEdit *editor = m_host.activeEditor();
    if (!editor)
        return {};
    if (caret)
        *caret = EditorView(editor).caret();
    return editor->documentBytes();
}

bool MainWindowHost::openScriptAt(const QString &path, int line) {
    const bool opened = m_host.openDocumentAt(path, line);
    followEditors();
    return opened;
}

bool MainWindowHost::editScript(const QString &path, int line,
                                const std::function<ByteEdit(const QByteArray &)> &edit) {
    TAdvEdit *editor = editorOf(path);
    if (!editor) {
        if (!m_host.openDocumentAt(path, line))
            return false;
        editor = editorOf(path);
        followEditors();
    }
    if (!editor)
        return false;
    const ByteEdit change = edit(editor->documentBytes());
    if (!change.isValid())
        return false;
    EditorView(editor).replace(change.start, change.end, change.text);
    return true;
}

void MainWindowHost::followEditors() {
    for (int slot = 0; slot < DocumentSlotCount; ++slot)
        if (TAdvEdit *editor = m_host.editorOfSlot(slot))
            follow(editor);
}

void MainWindowHost::follow(TAdvEdit *editor) {
    if (m_followed.contains(editor))
        return;
    m_followed.insert(editor);
    connect(editor, &QObject::destroyed, this, [this, editor] { m_followed.remove(editor); });
    // The editor asks its control for no notices after a change (so no textChanged): its own
    // signal tells of each key or command that changed the text.
    connect(editor, &TAdvEdit::edited, this, [this, editor] {
        const QString path = pathOf(editor);
        if (!path.isEmpty())
            emit scriptChanged(path);
    });
    connect(editor, &QsciScintilla::cursorPositionChanged, this, [this, editor](int line, int) {
        const QString path = pathOf(editor);
        if (!path.isEmpty() && editor == m_host.activeEditor())
            emit lineSelected(path, line + 1);
    });
    // It may have been changed before it was followed.
    const QString path = pathOf(editor);
    if (!path.isEmpty())
        emit scriptChanged(path);
}

} // namespace marlix
