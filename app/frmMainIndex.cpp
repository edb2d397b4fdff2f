// The main window's side of the results panel and the mod index: opening a place in a script
// (a file on disk or an entry of an archive) with its line selected.
#include "app/frmMain.h"

#include "app/ArchiveCommands.h"
#include "app/IndexTools.h"
#include "app/LiveProblems.h"
#include "app/PageControl.h"
#include "app/RenameTool.h"
#include "app/ResultsPanel.h"
#include "core/modindex/IndexPaths.h"
#include "editor/AdvEdit.h"
#include "pictures/PictureTools.h"
#include "platform/ErrorDisplay.h"

#include <QFileInfo>
#include <QSplitter>
#include <QVBoxLayout>

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
    if (!QFileInfo(path).isFile())
        return m_archives->openIndexedEntryAt(indexTools->index(), path, line);
    OpenDocumentFile(path);
    TTabSheet *page = tabControl->ActivePage();
    if (!page || !marlix::sameDocument(page->caption(), path))
        return false;
    marlix::selectLine(DocumentEditors[page->Tag], line);
    return true;
}

bool TFormMain::openArchiveTextAt(const QString &display, const QByteArray &bytes, int line) {
    return m_archives->openTextAt(display, bytes, line);
}
