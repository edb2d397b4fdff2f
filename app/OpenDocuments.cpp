#include "app/OpenDocuments.h"

#include "app/PageControl.h"
#include "editor/AdvEdit.h"

#include <algorithm>

namespace marlix {

OpenDocuments::OpenDocuments(QWidget *window, PageControl *tabs, DocumentList &list,
                             Editors &editors, Pages &pages, NewTab newTab)
    : m_window(window), m_tabs(tabs), m_list(list), m_editors(editors), m_pages(pages),
      m_newTab(std::move(newTab)) {}

TAdvEdit *OpenDocuments::editorOfSlot(int slot) const {
    return slot >= 0 && slot < DocumentSlotCount ? m_editors[slot] : nullptr;
}

TTabSheet *OpenDocuments::pageOfSlot(int slot) const {
    return slot >= 0 && slot < DocumentSlotCount ? m_pages[slot] : nullptr;
}

TTabSheet *OpenDocuments::activePage() const {
    return m_tabs->ActivePage();
}

TAdvEdit *OpenDocuments::activeEditor() const {
    return editorOf(activePage());
}

TAdvEdit *OpenDocuments::editorOf(const TTabSheet *page) const {
    return page ? editorOfSlot(page->Tag) : nullptr;
}

int OpenDocuments::slotOf(const TAdvEdit *editor) const {
    if (!editor)
        return -1;
    const auto found = std::find(m_editors.begin(), m_editors.end(), editor);
    return found == m_editors.end() ? -1 : int(found - m_editors.begin());
}

void OpenDocuments::close(int slot) {
    if (slot < 0 || slot >= DocumentSlotCount)
        return;
    delete m_editors[slot];
    m_editors[slot] = nullptr;
    delete m_pages[slot];
    m_pages[slot] = nullptr;
    m_list.close(slot);
}

void OpenDocuments::setPath(TTabSheet *page, const QString &path) {
    m_list.setPath(page->Tag, path);
    page->setCaption(path);
}

void OpenDocuments::setDisplay(TTabSheet *page, const QString &text) {
    m_list.setDisplay(page->Tag, text);
    page->setDisplayText(text);
}

} // namespace marlix
