#pragma once

#include "platform/Prompts.h"

#include <QByteArray>
#include <QString>

class TAdvEdit;

namespace marlix {

class ModIndex;
class OpenDocuments;
struct GeneralOptions;

// Scripts read straight out of RFA archives, each opened as an untitled document whose tab
// names archive and entry: File > Open from Archive, and an archive entry of the mod index
// opened at a line. The archive itself is never written.
class ArchiveCommands {
public:
    ArchiveCommands(OpenDocuments &documents, const GeneralOptions &options);

    // Asks for an archive, then for its entries, and opens each chosen one.
    void openFromArchive();
    // The indexed entry at its index path ("archive.rfa/entry/name") with the line selected;
    // false (after saying so) when the path names no entry of an archive on disk.
    bool openIndexedEntryAt(const ModIndex *index, const QString &entryPath, int line);
    // An untitled document shown as `display` with the line (counting from 1) selected and in
    // view; a tab open with that text already is reused.
    bool openTextAt(const QString &display, const QByteArray &bytes, int line);

private:
    OpenDocuments &m_documents;
    const GeneralOptions &m_options;
    FileRequest m_archiveRequest; // asks for the archive of Open from Archive
};

// The line (counting from 1) selected without its line end and scrolled to the middle of the
// view unless it is in view already; the editor takes the keyboard focus.
void selectLine(TAdvEdit *editor, int line);

} // namespace marlix
