#pragma once
#include "core/document/DiskChange.h"

class TAdvEdit;

namespace marlix {

class DocumentStatus;
class OpenDocuments;

// The watch on the files of the open scripts: what was known of each file when it was loaded
// or saved, and, when the window comes back to the front, a reload of what another program
// changed (asking first when the document has changes of its own).
class DiskWatch {
public:
    DiskWatch(OpenDocuments &documents, DocumentStatus *status);

    // Takes what is on disk now as the file the slot's document was loaded from.
    void rememberFile(int slot);
    // The same for a file just read as `bytes`, whose size and time `stat` took before the read.
    void rememberRead(int slot, const FileFingerprint &stat, const QByteArray &bytes);
    // At a save point the editor holds what was just saved or loaded; only when the file holds
    // exactly that is it taken as known, so a change made by another program in between is
    // still found.
    void documentMatchesFile(TAdvEdit *editor);
    // Looks at every named document's file once; a look already under way is not repeated
    // from inside its own question.
    void checkFilesOnDisk();

private:
    void reloadFromDisk(int slot);

    OpenDocuments &m_documents;
    DocumentStatus *m_status;
    bool m_checking = false;
};

} // namespace marlix
