#pragma once

#include "core/document/DocumentList.h"

#include <QString>
#include <array>
#include <functional>

class QWidget;
class TAdvEdit;
class TTabSheet;

namespace marlix {

class PageControl;

// The open documents as the window's commands reach them: the document list, the tab page and
// the editor of each slot, the page in view, and a new tab. The window owns all of it; the
// commands receive this instead of the window.
class OpenDocuments {
public:
    using Editors = std::array<TAdvEdit *, DocumentSlotCount>;
    using Pages = std::array<TTabSheet *, DocumentSlotCount>;
    // Opens an empty document in a tab of its own and brings it into view; false (after
    // saying so) when no more documents may open.
    using NewTab = std::function<bool()>;

    OpenDocuments(QWidget *window, PageControl *tabs, DocumentList &list, Editors &editors,
                  Pages &pages, NewTab newTab);

    // The window the prompts of the commands belong to.
    QWidget *window() const { return m_window; }
    PageControl *tabs() const { return m_tabs; }
    DocumentList &list() { return m_list; }
    const DocumentList &list() const { return m_list; }

    // Null for a free slot, or while no tab is open.
    TAdvEdit *editorOfSlot(int slot) const;
    TTabSheet *pageOfSlot(int slot) const;
    TTabSheet *activePage() const;
    TAdvEdit *activeEditor() const;
    TAdvEdit *editorOf(const TTabSheet *page) const;
    // The slot of an open editor; -1 when it is none of them.
    int slotOf(const TAdvEdit *editor) const;

    bool newTab() { return m_newTab(); }
    // Deletes the slot's editor and page and frees the slot; a free slot is left alone.
    void close(int slot);
    // Names the page's document: the list and the tab show the path from now on.
    void setPath(TTabSheet *page, const QString &path);
    // The text shown for an untitled document until it is named.
    void setDisplay(TTabSheet *page, const QString &text);

private:
    QWidget *m_window;
    PageControl *m_tabs;
    DocumentList &m_list;
    Editors &m_editors;
    Pages &m_pages;
    NewTab m_newTab;
};

} // namespace marlix
