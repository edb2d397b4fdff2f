#pragma once

class QAction;

namespace marlix {

class DocumentStatus;
class OpenDocuments;

// File > Backup and Restore for the script in view: the copy of its text beside the script,
// and the text put back from that copy as one edit that one Undo takes back.
class BackupCommands {
public:
    BackupCommands(OpenDocuments &documents, DocumentStatus *status, QAction *backupEntry,
                   QAction *restoreEntry);

    // Backup needs a named script; Restore a backup of it as well.
    void updateEntries();
    void backup();
    // Asks before the text is replaced.
    void restore();

private:
    OpenDocuments &m_documents;
    DocumentStatus *m_status;
    QAction *m_backupEntry;
    QAction *m_restoreEntry;
};

} // namespace marlix
