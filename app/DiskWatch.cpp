#include "app/DiskWatch.h"

#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "app/StatusInfo.h"
#include "core/common/LineFile.h"
#include "editor/AdvEdit.h"
#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QScopeGuard>

namespace marlix {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("TFormMain", text);
}

} // namespace

DiskWatch::DiskWatch(OpenDocuments &documents, DocumentStatus *status)
    : m_documents(documents), m_status(status) {}

void DiskWatch::rememberFile(int slot) {
    DocumentList &list = m_documents.list();
    const QString path = list.path(slot);
    list.setKnownFile(slot, {path, path.isEmpty() ? FileFingerprint() : readFingerprint(path)});
}

void DiskWatch::rememberRead(int slot, const FileFingerprint &stat, const QByteArray &bytes) {
    DocumentList &list = m_documents.list();
    list.setKnownFile(slot, {list.path(slot), fingerprintOfRead(stat, bytes)});
}

void DiskWatch::documentMatchesFile(TAdvEdit *editor) {
    const int slot = m_documents.slotOf(editor);
    if (slot < 0)
        return;
    const QString path = m_documents.list().path(slot);
    if (path.isEmpty())
        return;
    const FileFingerprint now = readFingerprint(path);
    if (now.hash == contentHash(editor->fileBytes()))
        m_documents.list().setKnownFile(slot, {path, now});
}

void DiskWatch::reloadFromDisk(int slot) {
    TAdvEdit *editor = m_documents.editorOfSlot(slot);
    const QString path = m_documents.list().path(slot);
    const QByteArray bytes = readWholeFile(path);
    int line = 0, index = 0;
    editor->getCursorPosition(&line, &index);
    const int firstVisible = editor->firstVisibleLine();
    editor->loadBytes(bytes);
    editor->RefreshHighlighting();
    editor->RefreshObjectList();
    // The caret keeps its line and column where the new text still has them, and the view its
    // first line.
    line = qMin(line, editor->lines() - 1);
    editor->setCursorPosition(line, qMin(index, editor->lineLength(line)));
    editor->setFirstVisibleLine(firstVisible);
    m_status->showNote(tr("%1 changed on disk and was reloaded").arg(QFileInfo(path).fileName()));
}

void DiskWatch::checkFilesOnDisk() {
    if (m_checking)
        return;
    m_checking = true;
    const auto done = qScopeGuard([this] { m_checking = false; });
    DocumentList &list = m_documents.list();
    PageControl *tabs = m_documents.tabs();
    QWidget *window = m_documents.window();
    for (int index = 0; index < tabs->pageCount(); ++index) {
        TTabSheet *page = tabs->page(index);
        const int slot = page->Tag;
        TAdvEdit *editor = m_documents.editorOfSlot(slot);
        DocumentList::KnownFile known = list.knownFile(slot);
        if (!editor || list.path(slot).isEmpty())
            continue;
        if (known.path != list.path(slot)) {
            // Named since the last look (Save As): what is there now is the document's file.
            rememberFile(slot);
            continue;
        }
        const FileFingerprint now = readFingerprint(known.path, known.fingerprint);
        const DiskChange change = diskChange(known.fingerprint, now, editor->DocChanged);
        known.fingerprint = now;
        list.setKnownFile(slot, known);
        const QString name = QFileInfo(known.path).fileName();
        // A file that cannot be read is reported; the other documents are still looked at.
        const auto reload = [&] { guarded(window, [&] { reloadFromDisk(slot); }); };
        switch (change) {
        case DiskChange::None:
            break;
        case DiskChange::Reload:
            reload();
            break;
        case DiskChange::AskReload:
            tabs->setActivePage(page);
            if (Prompts::message(
                    window, QMessageBox::Question, QStringLiteral("Confirm"),
                    tr("%1 has changed on disk. Reload it and lose your changes?").arg(name),
                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
                reload();
            break;
        case DiskChange::KeepAsChanged:
            editor->DocChanged = true;
            m_status->showNote(tr("%1 is no longer on disk; its text is kept").arg(name));
            break;
        }
    }
    m_status->refresh();
}

} // namespace marlix
