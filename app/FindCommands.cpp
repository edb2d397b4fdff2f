#include "app/FindCommands.h"

#include "app/FindBar.h"
#include "app/GoToLineBar.h"
#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "app/ResultsPanel.h"
#include "app/SchemeColors.h"
#include "core/modindex/IndexFolders.h"
#include "core/script/Windows1252.h"
#include "core/search/FindInFilesJob.h"
#include "core/search/FindInFilesSummary.h"
#include "editor/AdvEdit.h"

#include <QDir>
#include <QLineEdit>

namespace marlix {

namespace {

// One bar at a time at the bottom of a page.
void hideOtherBar(QWidget *page, bool keepFind) {
    if (keepFind) {
        if (auto *bar = GoToLineBar::ofPage(page, nullptr, false))
            bar->hide();
    } else if (auto *bar = FindBar::ofPage(page, nullptr, false)) {
        bar->close();
    }
}

} // namespace

FindCommands::FindCommands(OpenDocuments &documents, Context context, QObject *parent)
    : QObject(parent), m_documents(documents), m_context(std::move(context)) {}

FindBar *FindCommands::activeFindBar(bool create) {
    TAdvEdit *editor = m_documents.activeEditor();
    if (!editor)
        return nullptr;
    TTabSheet *page = m_documents.activePage();
    const bool existed = FindBar::ofPage(page, editor, false);
    FindBar *bar = FindBar::ofPage(page, editor, create);
    if (bar && !existed)
        applyFindMarkColors(editor, m_context.darkScheme());
    if (bar) {
        connect(bar, &FindBar::findInFilesRequested, this, &FindCommands::startFindInFiles,
                Qt::UniqueConnection);
        // Esc in the bar stops Find in Files as it stops the bar's own searches.
        connect(bar, &FindBar::closed, this, &FindCommands::cancelFindInFiles,
                Qt::UniqueConnection);
    }
    return bar;
}

void FindCommands::find() {
    m_scope.clear();
    if (FindBar *bar = activeFindBar(true)) {
        hideOtherBar(m_documents.activePage(), true);
        bar->open(false);
    }
}

void FindCommands::replace() {
    if (FindBar *bar = activeFindBar(true)) {
        hideOtherBar(m_documents.activePage(), true);
        bar->open(true);
    }
}

void FindCommands::findAgain(bool forward) {
    TAdvEdit *editor = m_documents.activeEditor();
    if (!editor)
        return;
    FindBar *bar = FindBar::ofPage(m_documents.activePage(), editor, false);
    if (!bar || bar->findField->text().isEmpty())
        find();
    else if (forward)
        bar->findNext();
    else
        bar->findPrevious();
}

void FindCommands::goToLine() {
    if (TAdvEdit *editor = m_documents.activeEditor()) {
        hideOtherBar(m_documents.activePage(), false);
        GoToLineBar::ofPage(m_documents.activePage(), editor, true)->open();
    }
}

void FindCommands::findInFiles() {
    m_scope.clear();
    if (FindBar *bar = activeFindBar(true)) {
        hideOtherBar(m_documents.activePage(), true);
        bar->open(false, true);
    }
}

void FindCommands::findInFolder(const QString &folder) {
    FindBar *bar = activeFindBar(true);
    if (!bar) {
        m_context.note(QStringLiteral("Open a script to search from"));
        return;
    }
    hideOtherBar(m_documents.activePage(), true);
    bar->open(false, true);
    m_scope = folder;
    bar->setStatus(QStringLiteral("Find in %1").arg(QDir::toNativeSeparators(folder)), false);
}

void FindCommands::startFindInFiles(const QByteArray &pattern, const SearchOptions &options) {
    const TTabSheet *page = m_documents.activePage();
    const QStringList folders =
        !m_scope.isEmpty()
            ? QStringList{m_scope}
            : effectiveIndexFolders(m_context.programFolder, page ? page->caption() : QString());
    FindBar *bar = activeFindBar(false);
    if (folders.isEmpty()) {
        if (bar)
            bar->setStatus(QStringLiteral("No index folders to search"), true);
        return;
    }
    if (!m_job) {
        m_job = new FindInFilesJob(this);
        connect(m_job, &FindInFilesJob::finished, this, &FindCommands::showFindInFilesResult);
    }
    if (bar)
        bar->setStatus(
            m_scope.isEmpty()
                ? QStringLiteral("Searching the index folders...")
                : QStringLiteral("Searching %1...").arg(QDir::toNativeSeparators(m_scope)),
            false);
    m_job->start(listScriptFiles(folders), pattern, options);
}

void FindCommands::cancelFindInFiles() {
    if (m_job && m_job->isRunning())
        m_job->cancel();
}

void FindCommands::showFindInFilesResult(const FindInFilesResult &result) {
    ResultsPanel *results = m_context.results;
    if (!results)
        return;
    results->clear();
    for (const FileMatch &match : result.matches)
        results->addResult(match.path, match.line, windows1252Text(match.lineText));
    results->setSummary(findInFilesSummary(result));
    results->present();
    if (FindBar *bar = activeFindBar(false))
        bar->setStatus(QStringLiteral("%1 matches in files").arg(result.matches.size()),
                       result.matches.isEmpty());
}

} // namespace marlix
