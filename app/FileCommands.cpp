#include "app/FileCommands.h"

#include "app/DiskWatch.h"
#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "app/RecentFilesMenu.h"
#include "core/common/LineFile.h"
#include "core/document/DocumentSlots.h"
#include "core/prefs/GeneralOptions.h"
#include "editor/AdvEdit.h"
#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFileInfo>

namespace marlix {

FileCommands::FileCommands(OpenDocuments &documents, FileRequest &openDialog,
                           FileRequest &saveDialog, const GeneralOptions &options,
                           DiskWatch &diskWatch, RecentFilesMenu &recent)
    : m_documents(documents), m_openDialog(openDialog), m_saveDialog(saveDialog),
      m_options(options), m_diskWatch(diskWatch), m_recent(recent) {
    m_openDialog.kind = FileRequest::Open;
    m_openDialog.filter = QStringLiteral("BF1942 Con Files (*.con)|*.con|Con Backup Files "
                                         "(*.bcon)|*.bcon|All Files (*.*)|*.*");
    m_openDialog.defaultSuffix = QStringLiteral("con");
    m_openDialog.multiple = true;
    m_saveDialog.kind = FileRequest::Save;
    m_saveDialog.filter = QStringLiteral("BF1942 Con File (*.con)|*.con|Con Backup File "
                                         "(*.bcon)|*.bcon|All Files(*.*)|*.*");
    m_saveDialog.defaultSuffix = QStringLiteral("con");
}

void FileCommands::open() {
    if (m_documents.list().isFull())
        return;
    const FileAnswer answer =
        Prompts::file(m_documents.window(), inFolderOfScriptInView(m_openDialog));
    keepFileDialogState(m_openDialog, answer);
    const QStringList chosen = chosenFiles(answer);
    if (chosen.size() == 1)
        openFile(chosen.constFirst());
    else if (!chosen.isEmpty())
        openFiles(chosen);
}

FileRequest FileCommands::inFolderOfScriptInView(const FileRequest &dialog) const {
    FileRequest request = dialog;
    const TTabSheet *page = m_documents.activePage();
    if (page && !page->caption().isEmpty()) {
        const QFileInfo script(page->caption());
        if (script.absoluteDir().exists())
            request.folder = script.absolutePath();
    }
    return request;
}

void FileCommands::openFile(const QString &given) {
    // "x/../y", "./y" and "//" name the file at its plain path, and a link names its target:
    // either way the document that is open already.
    const QString path = cleanDocumentPath(given);
    const int open = m_documents.list().slotWithFile(path);
    if (open >= 0) {
        m_documents.tabs()->setActivePage(m_documents.pageOfSlot(open));
        return;
    }
    if (!QFileInfo(path).isFile()) {
        showMessage(m_documents.window(), QStringLiteral("Unable to load file"));
        return;
    }
    if (!m_documents.newTab())
        return;
    TTabSheet *page = m_documents.activePage();
    TAdvEdit *editor = m_documents.editorOf(page);
    const FileFingerprint stat = statFile(path);
    const QByteArray bytes = readWholeFile(path);
    editor->loadBytes(bytes); // its line ends decide those of a save
    m_documents.setPath(page, path);
    m_diskWatch.rememberRead(page->Tag, stat, bytes);
    m_recent.add(path);
    // F5 and F6 colour and list it later when the options leave it for the user.
    if (m_options.autoHighlight)
        editor->RefreshHighlighting();
    if (m_options.autoPopulate)
        editor->RefreshObjectList();
}

void FileCommands::openFiles(const QStringList &paths) {
    QWidget *window = m_documents.window();
    for (const QString &path : paths) {
        const bool open = m_documents.list().slotWithFile(path) >= 0;
        if (!open && m_documents.list().isFull()) {
            showMessage(window, QStringLiteral("Max controls reached"));
            return;
        }
        // A file that cannot be read is reported; the others still open.
        guarded(window, [&] { openFile(path); });
    }
    focusActiveEditor();
}

std::optional<QString> FileCommands::askSaveName() {
    const FileAnswer answer =
        Prompts::file(m_documents.window(), inFolderOfScriptInView(m_saveDialog));
    keepFileDialogState(m_saveDialog, answer);
    if (!answer.accepted)
        return std::nullopt;
    return answer.fileName;
}

bool FileCommands::saveUnderNewName(TTabSheet *page) {
    const std::optional<QString> chosen = askSaveName();
    if (!chosen)
        return false;
    m_documents.editorOf(page)->SaveScript(*chosen);
    m_documents.setPath(page, *chosen);
    return true;
}

bool FileCommands::savePage(TTabSheet *page) {
    const QString path = m_documents.list().path(page->Tag);
    if (path.isEmpty())
        return saveUnderNewName(page);
    m_documents.editorOf(page)->SaveScript(path);
    return true;
}

void FileCommands::save() {
    if (TTabSheet *page = m_documents.activePage())
        savePage(page);
}

void FileCommands::saveAs() {
    if (TTabSheet *page = m_documents.activePage())
        saveUnderNewName(page);
}

void FileCommands::saveAll() {
    if (!m_documents.activePage())
        return;
    for (int slot = 0; slot < DocumentSlotCount; ++slot) {
        TAdvEdit *editor = m_documents.editorOfSlot(slot);
        if (!editor)
            continue;
        TTabSheet *page = m_documents.pageOfSlot(slot);
        m_documents.tabs()->setActivePage(page);
        page->setFocus();
        editor->setFocus();
        savePage(page);
    }
}

void FileCommands::closeActive() {
    TTabSheet *page = m_documents.activePage();
    if (!page)
        return;
    const int slot = page->Tag;
    if (!m_documents.editorOfSlot(slot)->DocChanged || saveOrDiscard(page)) {
        m_documents.close(slot);
        // The keyboard focus went with the closed editor; the user types on in the document
        // that came into view.
        focusActiveEditor();
    }
}

void FileCommands::closePage(TTabSheet *page) {
    const int slot = page->Tag;
    if (m_documents.editorOfSlot(slot)->DocChanged) {
        // The question is about the document in view, as when Close asks it.
        m_documents.tabs()->setActivePage(page);
        if (!saveOrDiscard(page))
            return;
    }
    const bool wasActive = page == m_documents.activePage();
    m_documents.close(slot);
    if (wasActive)
        focusActiveEditor();
}

bool FileCommands::saveOrDiscard(TTabSheet *page) {
    const auto answer =
        Prompts::message(m_documents.window(), QMessageBox::Question, QStringLiteral("Confirm"),
                         QStringLiteral("File has changed, save changes?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    // A name chosen here stays, as after Save As, should the leaving be cancelled later.
    return savePage(page);
}

bool FileCommands::changedDocumentsMayGo() {
    PageControl *tabs = m_documents.tabs();
    for (int i = 0; i < tabs->pageCount(); ++i) {
        TTabSheet *page = tabs->page(i);
        if (!m_documents.editorOf(page)->DocChanged)
            continue;
        // The question is about the document in view.
        tabs->setActivePage(page);
        if (!saveOrDiscard(page))
            return false;
    }
    return true;
}

void FileCommands::focusActiveEditor() const {
    if (TAdvEdit *editor = m_documents.activeEditor())
        editor->setFocus();
}

} // namespace marlix
