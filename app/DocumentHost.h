#pragma once

#include <QList>
#include <QString>

class QByteArray;
class QMainWindow;
class QMenu;
class TAdvEdit;
class TTabSheet;

namespace marlix {

class ResultsPanel;

// What the main window's helpers (the index tools, the problems as you type, rename, the
// workspace, quick open, the status fields, the pictures) may ask of it: the open documents,
// each an editor on a tab page whose Tag is its slot; opening a script; and the places their
// panels, entries and rows go. A helper holds this, never the window, so the window's insides
// stay its own. What happens in the window (a tab comes to the front, an editor is made) the
// window tells a helper by calling or connecting to it.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    // The editor and the page of the document in view; null while no tab is open.
    virtual TAdvEdit *activeEditor() const = 0;
    virtual TTabSheet *activePage() const = 0;
    // Every open document's page, in tab order.
    virtual QList<TTabSheet *> pages() const = 0;
    // The editor and the page of a document slot; null while the slot is free.
    virtual TAdvEdit *editorOfSlot(int slot) const = 0;
    virtual TTabSheet *pageOfSlot(int slot) const = 0;
    // Brings an open document's tab to the front.
    virtual void showPage(TTabSheet *page) = 0;

    // Opens a script on disk as File > Open does, or brings its tab to the front; a script
    // that cannot be read throws.
    virtual void OpenDocumentFile(const QString &path) = 0;
    // Opens a script on disk, or an entry of an indexed archive, with the line (counting from
    // 1) selected and in view; an open tab is reused. False when it could not be opened.
    virtual bool openDocumentAt(const QString &path, int line) = 0;
    // Opens bytes read out of an archive as an untitled document its tab names by `display`;
    // the tab already showing that entry is reused.
    virtual bool openArchiveTextAt(const QString &display, const QByteArray &bytes, int line) = 0;

    // Where the program keeps its files; it ends in a separator.
    virtual const QString &ProgramFolder() const = 0;
    // "Light Text on Dark Background": the helpers' panels follow the editors.
    virtual bool darkScheme() const = 0;

    // The window itself as Qt sees it: the parent of the helpers' panels and dialogs, the
    // place of their docks and status bar fields.
    virtual QMainWindow *hostWindow() = 0;
    // The Tools menu, where the helpers add their commands.
    virtual QMenu *toolsMenu() = 0;
    // The panel below the tabs that lists places (search results, references, problems).
    virtual ResultsPanel *results() = 0;

protected:
    DocumentHost() = default;
    DocumentHost(const DocumentHost &) = delete;
    DocumentHost &operator=(const DocumentHost &) = delete;
};

} // namespace marlix
