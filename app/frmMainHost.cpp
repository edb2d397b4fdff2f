// The window as its helpers see it: the operations of marlix::DocumentHost that are not the
// window's public ones already.
#include "app/PageControl.h"
#include "app/frmMain.h"

TTabSheet *TFormMain::activePage() const {
    return tabControl->ActivePage();
}

QList<TTabSheet *> TFormMain::pages() const {
    QList<TTabSheet *> pages;
    pages.reserve(tabControl->pageCount());
    for (int i = 0; i < tabControl->pageCount(); ++i)
        pages.append(tabControl->page(i));
    return pages;
}

void TFormMain::showPage(TTabSheet *page) {
    tabControl->setActivePage(page);
}

QMainWindow *TFormMain::hostWindow() {
    return this;
}

QMenu *TFormMain::toolsMenu() {
    return mnuTools;
}

marlix::ResultsPanel *TFormMain::results() {
    return resultsPanel;
}
