#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TTabSheet;

namespace marlix {

class DiskWatch;
class OpenDocuments;
class RecentFilesMenu;
struct FileRequest;
struct GeneralOptions;

// The File menu's documents: Open, Save, Save As, Save All and Close, the question about
// unsaved changes when a document or the window goes, and files dropped on the window. The
// window holds the two file dialogs' state and the options; this works on them.
class FileCommands {
public:
    FileCommands(OpenDocuments &documents, FileRequest &openDialog, FileRequest &saveDialog,
                 const GeneralOptions &options, DiskWatch &diskWatch, RecentFilesMenu &recent);

    // Asks for scripts and opens them; nothing happens while no more documents may open.
    void open();
    // Opens the file as a document, or brings the document that is that file already into
    // view. A file that is not there is reported.
    void openFile(const QString &path);
    // Opens each file in turn; stops (after saying so) when no more documents may open.
    void openFiles(const QStringList &paths);
    // Saves the document in view to its file; an untitled one asks for a name.
    void save();
    void saveAs();
    // Saves every document, in slot order, each brought into view as it is saved.
    void saveAll();
    // Closes the document in view, asking first about its unsaved changes.
    void closeActive();
    // Closes the page's document, asking first about its unsaved changes.
    void closePage(TTabSheet *page);
    // Asks about each changed document in tab order; false as soon as one must stay.
    bool changedDocumentsMayGo();

private:
    // Asks "File has changed, save changes?" and saves on Yes. True when the document may go:
    // saved, or No. False on Cancel or a cancelled Save dialog; a failed save throws.
    bool saveOrDiscard(TTabSheet *page);
    std::optional<QString> askSaveName();
    // Saves the page's document under its name, or asks for one when it has none. False when
    // the dialog was cancelled; a failed save throws.
    bool savePage(TTabSheet *page);
    // Asks for a name and saves under it; false, and nothing saved, when the dialog is cancelled.
    bool saveUnderNewName(TTabSheet *page);
    // The dialog as it opens now: in the folder of the script in view, else where it was
    // last used.
    FileRequest inFolderOfScriptInView(const FileRequest &dialog) const;
    void focusActiveEditor() const;

    OpenDocuments &m_documents;
    FileRequest &m_openDialog;
    FileRequest &m_saveDialog;
    const GeneralOptions &m_options;
    DiskWatch &m_diskWatch;
    RecentFilesMenu &m_recent;
};

} // namespace marlix
