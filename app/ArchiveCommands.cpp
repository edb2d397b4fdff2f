#include "app/ArchiveCommands.h"

#include "app/ArchiveEntriesDialog.h"
#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "core/archive/RfaReader.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModIndex.h"
#include "core/prefs/GeneralOptions.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"
#include "platform/ErrorDisplay.h"

#include <QFileInfo>

namespace marlix {

namespace {

// The archive of an archive entry's index path ("archive.rfa/entry/name"); empty if none.
QString archiveOf(const QString &entryPath) {
    for (QString folder = folderOf(entryPath); !folder.isEmpty(); folder = folderOf(folder))
        if (isArchiveName(folder) && QFileInfo(folder).isFile())
            return folder;
    return {};
}

} // namespace

void selectLine(TAdvEdit *editor, int line) {
    EditorView view(editor);
    const int row = std::clamp(line - 1, 0, std::max(view.lineCount() - 1, 0));
    view.showLine(row);
    view.select(view.lineEnd(row), view.lineStart(row));
    editor->setFocus();
}

ArchiveCommands::ArchiveCommands(OpenDocuments &documents, const GeneralOptions &options)
    : m_documents(documents), m_options(options) {
    m_archiveRequest.filter = QStringLiteral("RFA Archives (*.rfa)|*.rfa|All Files (*.*)|*.*");
}

void ArchiveCommands::openFromArchive() {
    if (m_documents.list().isFull())
        return;
    const FileAnswer answer = Prompts::file(m_documents.window(), m_archiveRequest);
    if (!answer.accepted)
        return;
    // Cannot open file %s, or the damaged archive's own text, go to the general error display.
    RfaReader archive(answer.fileName);
    const QString archiveName = QFileInfo(answer.fileName).fileName();
    ArchiveEntriesDialog chooser(archiveName, archive.entries(), m_documents.window());
    if (chooser.exec() != QDialog::Accepted)
        return;

    // Everything is read before a tab opens, so a damaged entry opens none of them.
    QList<QPair<QString, QByteArray>> documents;
    for (int index : chooser.chosenEntries())
        documents.append({archive.entries().at(index).name, archive.read(index)});
    for (const auto &[name, bytes] : documents) {
        if (!m_documents.newTab())
            return;
        TTabSheet *page = m_documents.activePage();
        TAdvEdit *editor = m_documents.editorOf(page);
        editor->loadBytes(bytes);
        // Untitled, so Save asks for a name; the tab says where the text came from meanwhile.
        m_documents.setDisplay(page, QStringLiteral("[%1:%2]").arg(archiveName, name));
        if (m_options.autoHighlight)
            editor->RefreshHighlighting();
        if (m_options.autoPopulate)
            editor->RefreshObjectList();
    }
}

bool ArchiveCommands::openIndexedEntryAt(const ModIndex *index, const QString &entryPath,
                                         int line) {
    const QString archive = archiveOf(entryPath);
    if (archive.isEmpty() || !index || !index->contains(entryPath)) {
        showMessage(m_documents.window(), QStringLiteral("Unable to load file"));
        return false;
    }
    // As File > Open from Archive shows an entry: untitled, the tab naming archive and entry.
    const QString display = QStringLiteral("[%1:%2]").arg(QFileInfo(archive).fileName(),
                                                          entryPath.mid(archive.size() + 1));
    return openTextAt(display, index->fileBytes(entryPath), line);
}

bool ArchiveCommands::openTextAt(const QString &display, const QByteArray &bytes, int line) {
    const DocumentList &list = m_documents.list();
    PageControl *tabs = m_documents.tabs();
    for (int i = 0; i < tabs->pageCount(); ++i) {
        TTabSheet *page = tabs->page(i);
        if (list.path(page->Tag).isEmpty() && list.caption(page->Tag) == display) {
            tabs->setActivePage(page);
            selectLine(m_documents.editorOf(page), line);
            return true;
        }
    }
    if (!m_documents.newTab())
        return false;
    TTabSheet *page = m_documents.activePage();
    TAdvEdit *editor = m_documents.editorOf(page);
    editor->loadBytes(bytes);
    m_documents.setDisplay(page, display);
    editor->RefreshHighlighting();
    editor->RefreshObjectList();
    selectLine(editor, line);
    return true;
}

} // namespace marlix
