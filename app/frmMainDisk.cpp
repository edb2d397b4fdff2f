// The main window's watch on the files of open scripts, and Backup / Restore.
#include "app/frmMain.h"

#include "app/PageControl.h"
#include "app/StatusInfo.h"
#include "core/common/LineFile.h"
#include "core/document/ScriptBackup.h"
#include "core/script/ScriptText.h"
#include "editor/AdvEdit.h"
#include "platform/ErrorDisplay.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QScopeGuard>

using marlix::DiskChange;

void TFormMain::rememberFile(int slot) {
    const QString path = m_documents.path(slot);
    m_documents.setKnownFile(
        slot, {path, path.isEmpty() ? marlix::FileFingerprint() : marlix::readFingerprint(path)});
}

// At a save point the editor holds what was just saved or loaded; only when the file holds
// exactly that is it taken as known, so a change made by another program in between is still
// found.
void TFormMain::documentMatchesFile(TAdvEdit *editor) {
    const int slot = int(std::find(DocumentEditors.begin(), DocumentEditors.end(), editor) -
                         DocumentEditors.begin());
    const QString path = m_documents.path(slot);
    if (slot >= marlix::DocumentSlotCount || path.isEmpty())
        return;
    const marlix::FileFingerprint now = marlix::readFingerprint(path);
    const QByteArray saved = editor->fileBytes();
    if (now.hash == QCryptographicHash::hash(saved, QCryptographicHash::Md5))
        m_documents.setKnownFile(slot, {path, now});
}

void TFormMain::reloadFromDisk(int slot) {
    TAdvEdit *editor = DocumentEditors[slot];
    const QString path = m_documents.path(slot);
    const QByteArray bytes = marlix::readWholeFile(path);
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

void TFormMain::checkFilesOnDisk() {
    if (m_checkingDisk)
        return;
    m_checkingDisk = true;
    const auto done = qScopeGuard([this] { m_checkingDisk = false; });
    for (int index = 0; index < tabControl->pageCount(); ++index) {
        TTabSheet *page = tabControl->page(index);
        const int slot = page->Tag;
        TAdvEdit *editor = DocumentEditors[slot];
        marlix::DocumentList::KnownFile known = m_documents.knownFile(slot);
        if (!editor || m_documents.path(slot).isEmpty())
            continue;
        if (known.path != m_documents.path(slot)) {
            // Named since the last look (Save As): what is there now is the document's file.
            rememberFile(slot);
            continue;
        }
        const marlix::FileFingerprint now = marlix::readFingerprint(known.path, known.fingerprint);
        const DiskChange change = marlix::diskChange(known.fingerprint, now, editor->DocChanged);
        known.fingerprint = now;
        m_documents.setKnownFile(slot, known);
        const QString name = QFileInfo(known.path).fileName();
        // A file that cannot be read is reported; the other documents are still looked at.
        const auto reload = [&] { marlix::guarded(this, [&] { reloadFromDisk(slot); }); };
        switch (change) {
        case DiskChange::None:
            break;
        case DiskChange::Reload:
            reload();
            break;
        case DiskChange::AskReload:
            tabControl->setActivePage(page);
            if (marlix::Prompts::message(
                    this, QMessageBox::Question, QStringLiteral("Confirm"),
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

// --- Backup and Restore ---

void TFormMain::updateBackupEntries() {
    const TTabSheet *page = tabControl->ActivePage();
    const QString path = page ? page->caption() : QString();
    mnuBackup->setEnabled(!path.isEmpty());
    mnuRestore->setEnabled(!path.isEmpty() && QFileInfo(marlix::backupPath(path)).isFile());
}

void TFormMain::backupScript() {
    const TTabSheet *page = tabControl->ActivePage();
    if (!page || page->caption().isEmpty())
        return;
    marlix::writeBackup(page->caption(), DocumentEditors[page->Tag]->documentBytes());
    m_status->showNote(
        tr("Backup written to %1").arg(QFileInfo(marlix::backupPath(page->caption())).fileName()));
    updateBackupEntries();
}

void TFormMain::restoreBackup() {
    const TTabSheet *page = tabControl->ActivePage();
    if (!page || page->caption().isEmpty())
        return;
    const QString backup = marlix::backupPath(page->caption());
    if (!QFileInfo(backup).isFile())
        return;
    if (marlix::Prompts::message(
            this, QMessageBox::Question, QStringLiteral("Confirm"),
            tr("Replace the text with the backup in %1?").arg(QFileInfo(backup).fileName()),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const QByteArray text = marlix::readBackupText(page->caption());
    TAdvEdit *editor = DocumentEditors[page->Tag];
    // One edit, so that one Undo gives the text from before the restore back; the caret and
    // the view stay where they were.
    editor->replaceWholeText(text);
    editor->RefreshHighlighting();
    editor->RefreshObjectList();
    m_status->refresh();
}
