#include "app/BackupCommands.h"

#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "app/StatusInfo.h"
#include "core/document/ScriptBackup.h"
#include "editor/AdvEdit.h"
#include "platform/Prompts.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>

namespace marlix {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("TFormMain", text);
}

} // namespace

BackupCommands::BackupCommands(OpenDocuments &documents, DocumentStatus *status,
                               QAction *backupEntry, QAction *restoreEntry)
    : m_documents(documents), m_status(status), m_backupEntry(backupEntry),
      m_restoreEntry(restoreEntry) {}

void BackupCommands::updateEntries() {
    const TTabSheet *page = m_documents.activePage();
    const QString path = page ? page->caption() : QString();
    m_backupEntry->setEnabled(!path.isEmpty());
    m_restoreEntry->setEnabled(!path.isEmpty() && QFileInfo(backupPath(path)).isFile());
}

void BackupCommands::backup() {
    const TTabSheet *page = m_documents.activePage();
    if (!page || page->caption().isEmpty())
        return;
    writeBackup(page->caption(), m_documents.editorOf(page)->documentBytes());
    m_status->showNote(
        tr("Backup written to %1").arg(QFileInfo(backupPath(page->caption())).fileName()));
    updateEntries();
}

void BackupCommands::restore() {
    const TTabSheet *page = m_documents.activePage();
    if (!page || page->caption().isEmpty())
        return;
    const QString backup = backupPath(page->caption());
    if (!QFileInfo(backup).isFile())
        return;
    if (Prompts::message(
            m_documents.window(), QMessageBox::Question, QStringLiteral("Confirm"),
            tr("Replace the text with the backup in %1?").arg(QFileInfo(backup).fileName()),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const QByteArray text = readBackupText(page->caption());
    TAdvEdit *editor = m_documents.editorOf(page);
    // One edit, so that one Undo gives the text from before the restore back; the caret and
    // the view stay where they were.
    editor->replaceWholeText(text);
    editor->RefreshHighlighting();
    editor->RefreshObjectList();
    m_status->refresh();
}

} // namespace marlix
