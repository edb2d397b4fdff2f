// The main window's side of the results panel and the mod index: opening a place in a script
// (a file on disk or an entry of an archive) with its line selected.
#include "app/frmMain.h"

#include "app/IndexTools.h"
#include "app/LiveProblems.h"
#include "app/PageControl.h"
#include "app/RenameTool.h"
#include "app/ResultsPanel.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/IndexPaths.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"
#include "pictures/PictureTools.h"
#include "platform/ErrorDisplay.h"

#include <QFileInfo>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

// The line (counting from 1) selected without its line end, and scrolled to the middle of
// the view unless it is in view already.
void selectLine(TAdvEdit *editor, int line) {
    marlix::EditorView view(editor);
    const int row = std::clamp(line - 1, 0, std::max(view.lineCount() - 1, 0));
    view.showLine(row);
    view.select(view.lineEnd(row), view.lineStart(row));
    editor->setFocus();
}

// The archive of an archive entry's index path ("archive.rfa/entry/name"); empty if none.
QString archiveOf(const QString &entryPath) {
    for (QString folder = marlix::folderOf(entryPath); !folder.isEmpty();
         folder = marlix::folderOf(folder))
        if (marlix::isArchiveName(folder) && QFileInfo(folder).isFile())
            return folder;
    return {};
}

} // namespace

void TFormMain::placeTabsAndResults(QVBoxLayout *layout) {
    auto *splitter = new QSplitter(Qt::Vertical, layout->parentWidget());
    splitter->setObjectName(QStringLiteral("resultsSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(tabControl);
    resultsPanel = new marlix::ResultsPanel(splitter);
    splitter->addWidget(resultsPanel);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);
    connect(resultsPanel, &marlix::ResultsPanel::resultChosen, this,
            [this](const QString &file, int line) {
                marlix::guarded(this, [&] { openDocumentAt(file, line); });
            });
    indexTools = new marlix::IndexTools(*this);
    auto *liveProblems = new marlix::LiveProblems(*this, indexTools);
    connect(tabControl, &marlix::PageControl::activePageChanged, liveProblems,
            &marlix::LiveProblems::activeDocumentChanged);
    new marlix::RenameTool(*this, indexTools);
    new marlix::PictureTools(*this, indexTools);
}

void TFormMain::attachIndexTools(TAdvEdit *editor) {
    indexTools->attachEditor(editor);
}

bool TFormMain::openDocumentAt(const QString &path, int line) {
    if (QFileInfo(path).isFile()) {
        OpenDocumentFile(path);
        TTabSheet *page = tabControl->ActivePage();
        if (!page || !marlix::sameDocument(page->caption(), path))
            return false;
        selectLine(DocumentEditors[page->Tag], line);
        return true;
    }
    const QString archive = archiveOf(path);
    marlix::ModIndex *index = indexTools->index();
    if (archive.isEmpty() || !index || !index->contains(path)) {
        marlix::showMessage(this, QStringLiteral("Unable to load file"));
        return false;
    }
    // As File > Open from Archive shows an entry: untitled, the tab naming archive and entry.
    const QString display =
        QStringLiteral("[%1:%2]").arg(QFileInfo(archive).fileName(), path.mid(archive.size() + 1));
    return openArchiveTextAt(display, index->fileBytes(path), line);
}

bool TFormMain::openArchiveTextAt(const QString &display, const QByteArray &bytes, int line) {
    for (int i = 0; i < tabControl->pageCount(); ++i) {
        TTabSheet *page = tabControl->page(i);
        if (m_documents.path(page->Tag).isEmpty() && m_documents.caption(page->Tag) == display) {
            tabControl->setActivePage(page);
            selectLine(DocumentEditors[page->Tag], line);
            return true;
        }
    }
    if (!NewDocumentTab())
        return false;
    TTabSheet *page = tabControl->ActivePage();
    TAdvEdit *editor = DocumentEditors[page->Tag];
    editor->loadBytes(bytes);
    setDocumentDisplay(page, display);
    editor->RefreshHighlighting();
    editor->RefreshObjectList();
    selectLine(editor, line);
    return true;
}
