// The main window's Find, Replace and Go to Line: bars at the bottom of the active tab page.
#include "app/frmMain.h"

#include "app/FindBar.h"
#include "app/GoToLineBar.h"
#include "app/PageControl.h"
#include "app/ResultsPanel.h"
#include "app/SchemeColors.h"
#include "core/modindex/IndexFolders.h"
#include "core/script/Windows1252.h"
#include "core/search/FindInFilesJob.h"
#include "editor/AdvEdit.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>

using marlix::FindBar;
using marlix::GoToLineBar;

void TFormMain::createFindMenu() {
    const auto entry = [this](const QString &caption, const QKeySequence &key,
                              void (TFormMain::*handler)(), const char *name) {
        QAction *action = addEntry(mnuEdit, caption, key, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuFind = entry(QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F),
                    &TFormMain::findText, "mnuFind");
    findNextAction = entry(QStringLiteral("Find Next"), QKeySequence(Qt::Key_F3),
                           &TFormMain::findNext, "findNextAction");
    findPreviousAction =
        entry(QStringLiteral("Find Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
              &TFormMain::findPrevious, "findPreviousAction");
    mnuReplace = entry(QStringLiteral("Replace"), QKeySequence(Qt::CTRL | Qt::Key_R),
                       &TFormMain::replaceText, "mnuReplace");
    goToLineAction = entry(QStringLiteral("Go to Line..."), QKeySequence(Qt::CTRL | Qt::Key_G),
                           &TFormMain::goToLine, "goToLineAction");
    findInFilesAction =
        entry(QStringLiteral("Find in Files"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
              &TFormMain::findInFiles, "findInFilesAction");
}

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

FindBar *TFormMain::activeFindBar(bool create) {
    TAdvEdit *editor = activeEditor();
    if (!editor)
        return nullptr;
    const bool existed = FindBar::ofPage(tabControl->ActivePage(), editor, false);
    FindBar *bar = FindBar::ofPage(tabControl->ActivePage(), editor, create);
    if (bar && !existed)
        marlix::applyFindMarkColors(editor, darkScheme());
    if (bar) {
        connect(bar, &FindBar::findInFilesRequested, this, &TFormMain::startFindInFiles,
                Qt::UniqueConnection);
        // Esc in the bar stops Find in Files as it stops the bar's own searches.
        connect(bar, &FindBar::closed, this, &TFormMain::cancelFindInFiles, Qt::UniqueConnection);
    }
    return bar;
}

void TFormMain::findText() {
    m_findScope.clear();
    if (FindBar *bar = activeFindBar(true)) {
        hideOtherBar(tabControl->ActivePage(), true);
        bar->open(false);
    }
}

void TFormMain::findInFiles() {
    m_findScope.clear();
    if (FindBar *bar = activeFindBar(true)) {
        hideOtherBar(tabControl->ActivePage(), true);
        bar->open(false, true);
    }
}

void TFormMain::findInFolder(const QString &folder) {
    FindBar *bar = activeFindBar(true);
    if (!bar) {
        statusBar()->showMessage(QStringLiteral("Open a script to search from"), 6000);
        return;
    }
    hideOtherBar(tabControl->ActivePage(), true);
    bar->open(false, true);
    m_findScope = folder;
    bar->setStatus(QStringLiteral("Find in %1").arg(QDir::toNativeSeparators(folder)), false);
}

void TFormMain::startFindInFiles(const QByteArray &pattern, const marlix::SearchOptions &options) {
    const TTabSheet *page = tabControl->ActivePage();
    const QStringList folders =
        !m_findScope.isEmpty()
            ? QStringList{m_findScope}
            : marlix::effectiveIndexFolders(ProgramFolder(), page ? page->caption() : QString());
    FindBar *bar = activeFindBar(false);
    if (folders.isEmpty()) {
        if (bar)
            bar->setStatus(QStringLiteral("No index folders to search"), true);
        return;
    }
    if (!m_findInFiles) {
        m_findInFiles = new marlix::FindInFilesJob(this);
        connect(m_findInFiles, &marlix::FindInFilesJob::finished, this,
                &TFormMain::showFindInFilesResult);
    }
    if (bar)
        bar->setStatus(
            m_findScope.isEmpty()
                ? QStringLiteral("Searching the index folders...")
                : QStringLiteral("Searching %1...").arg(QDir::toNativeSeparators(m_findScope)),
            false);
    m_findInFiles->start(marlix::listScriptFiles(folders), pattern, options);
}

void TFormMain::cancelFindInFiles() {
    if (m_findInFiles && m_findInFiles->isRunning())
        m_findInFiles->cancel();
}

void TFormMain::showFindInFilesResult(const marlix::FindInFilesResult &result) {
    if (!resultsPanel)
        return;
    resultsPanel->clear();
    for (const marlix::FileMatch &match : result.matches)
        resultsPanel->addResult(match.path, match.line, marlix::windows1252Text(match.lineText));
    QString summary = result.errorText.isEmpty()
                          ? QStringLiteral("Find in Files: %1 matches in %2 scripts searched")
                                .arg(result.matches.size())
                                .arg(result.filesSearched)
                          : result.errorText;
    if (result.truncated)
        summary += QStringLiteral(" (stopped at the match limit)");
    if (result.cancelled)
        summary += QStringLiteral(" (stopped)");
    for (const marlix::FileMatch &stop : result.stopped)
        summary += QStringLiteral("; %1: %2").arg(stop.path, marlix::searchStoppedText(stop.line));
    if (!result.unreadable.isEmpty())
        summary += QStringLiteral("; %1 could not be read").arg(result.unreadable.size());
    resultsPanel->setSummary(summary);
    resultsPanel->present();
    if (FindBar *bar = activeFindBar(false))
        bar->setStatus(QStringLiteral("%1 matches in files").arg(result.matches.size()),
                       result.matches.isEmpty());
}

void TFormMain::replaceText() {
    if (FindBar *bar = activeFindBar(true)) {
        hideOtherBar(tabControl->ActivePage(), true);
        bar->open(true);
    }
}

// F3 and Shift+F3 without a pattern to repeat open the bar, as Find does.
void TFormMain::findAgain(bool forward) {
    TAdvEdit *editor = activeEditor();
    if (!editor)
        return;
    FindBar *bar = FindBar::ofPage(tabControl->ActivePage(), editor, false);
    if (!bar || bar->findField->text().isEmpty())
        findText();
    else if (forward)
        bar->findNext();
    else
        bar->findPrevious();
}

void TFormMain::findNext() {
    findAgain(true);
}

void TFormMain::findPrevious() {
    findAgain(false);
}

void TFormMain::goToLine() {
    if (TAdvEdit *editor = activeEditor()) {
        hideOtherBar(tabControl->ActivePage(), false);
        GoToLineBar::ofPage(tabControl->ActivePage(), editor, true)->open();
    }
}
