// The main window's commands: each handler hands the work to the class of its command.
#include "app/frmMain.h"

#include "app/ArchiveCommands.h"
#include "app/BackupCommands.h"
#include "app/DiskWatch.h"
#include "app/EditorFontChoice.h"
#include "app/FileCommands.h"
#include "app/FindCommands.h"
#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "app/PrintCommand.h"
#include "app/RecentFilesMenu.h"
#include "app/StartupHandOff.h"
#include "app/UpdateCheck.h"
#include "app/Workspace.h"
#include "auxiliary/frmAbout.h"
#include "auxiliary/frmNews.h"
#include "editor/AdvEdit.h"
#include "launch/frmLaunch.h"
#include "prefs/frmPref.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

void TFormMain::createCommands() {
    m_diskWatch = std::make_unique<marlix::DiskWatch>(*m_open, m_status);
    m_recent = std::make_unique<marlix::RecentFilesMenu>(
        m_programFolder,
        marlix::RecentFilesMenu::Entries{mnuRecent1, mnuRecent2, mnuRecent3, mnuRecent4, mnuRecent5,
                                         mnuRecent6, mnuRecent7, mnuRecent8, mnuRecent9,
                                         mnuRecent10},
        [this](const QString &path) { OpenDocumentFile(path); },
        [this] { return !m_documents.isFull(); });
    m_files = std::make_unique<marlix::FileCommands>(*m_open, dlgOpen, dlgSave, editorOptions,
                                                     *m_diskWatch, *m_recent);
    m_font =
        std::make_unique<marlix::EditorFontChoice>(*m_open, m_programFolder, EditorFont, dlgFont);
    m_backup = std::make_unique<marlix::BackupCommands>(*m_open, m_status, mnuBackup, mnuRestore);
    m_backup->updateEntries();
    m_find = std::make_unique<marlix::FindCommands>(
        *m_open,
        marlix::FindCommands::Context{
            m_programFolder, resultsPanel, [this] { return darkScheme(); },
            [this](const QString &text) { statusBar()->showMessage(text, 6000); }},
        nullptr);
    m_archives = std::make_unique<marlix::ArchiveCommands>(*m_open, editorOptions);
    marlix::StartupHandOff::Context startup;
    startup.programFolder = m_programFolder;
    startup.commandLine = &commandLine;
    startup.listener = &handOffListener;
    startup.openFile = [this](const QString &path) { OpenDocumentFile(path); };
    startup.activateHandler = [this] { FormActivate(); };
    startup.paintHandler = [this] { FormPaint(); };
    startup.restoreSession = [this] { workspace->restoreSession(); };
    startup.tabChanged = [this] { tabControlChange(); };
    m_startup = std::make_unique<marlix::StartupHandOff>(this, *m_open, std::move(startup));
}

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

// --- files ---

void TFormMain::btnNewClick() {
    NewDocumentTab();
}
void TFormMain::mnuNewClick() {
    btnNewClick();
}
void TFormMain::btnOpenClick() {
    m_files->open();
}
void TFormMain::mnuOpenClick() {
    btnOpenClick();
}
void TFormMain::OpenDocumentFile(const QString &path) {
    m_files->openFile(path);
}
void TFormMain::openDroppedFiles(const QStringList &paths) {
    m_files->openFiles(paths);
}
void TFormMain::btnSaveClick() {
    m_files->save();
}
void TFormMain::mnuSaveClick() {
    btnSaveClick();
}
void TFormMain::mnuSaveAsClick() {
    m_files->saveAs();
}
void TFormMain::mnuSaveAllClick() {
    m_files->saveAll();
}
void TFormMain::mnuCloseClick() {
    m_files->closeActive();
}
void TFormMain::closeTab(TTabSheet *page) {
    m_files->closePage(page);
}
void TFormMain::openFromArchive() {
    m_archives->openFromArchive();
}
void TFormMain::printScript() {
    marlix::printScript(this, activeEditor(), presetPrinter);
}

// --- recent files and the editor font ---

void TFormMain::LoadRecentFilesMenu() {
    m_recent->load();
}
void TFormMain::AddToRecentFiles(const QString &path) {
    m_recent->add(path);
}
void TFormMain::mnuRecent1Click() {
    m_recent->choose(0);
}
void TFormMain::mnuRecent2Click() {
    m_recent->choose(1);
}
void TFormMain::mnuRecent3Click() {
    m_recent->choose(2);
}
void TFormMain::mnuRecent4Click() {
    m_recent->choose(3);
}
void TFormMain::mnuRecent5Click() {
    m_recent->choose(4);
}
void TFormMain::mnuRecent6Click() {
    m_recent->choose(5);
}
void TFormMain::mnuRecent7Click() {
    m_recent->choose(6);
}
void TFormMain::mnuRecent8Click() {
    m_recent->choose(7);
}
void TFormMain::mnuRecent9Click() {
    m_recent->choose(8);
}
void TFormMain::mnuRecent10Click() {
    m_recent->choose(9);
}
void TFormMain::mnuFontClick() {
    m_font->choose();
}
void TFormMain::ApplyEditorFont() {
    m_font->apply();
}
void TFormMain::FormClose() {
    m_font->save();
}

// --- the files on disk, Backup and Restore ---

void TFormMain::checkFilesOnDisk() {
    m_diskWatch->checkFilesOnDisk();
}
void TFormMain::documentMatchesFile(TAdvEdit *editor) {
    if (m_diskWatch)
        m_diskWatch->documentMatchesFile(editor);
}
void TFormMain::updateBackupEntries() {
    // The status bar's first look comes before the commands are made; createCommands
    // sets the entries up then.
    if (m_backup)
        m_backup->updateEntries();
}
void TFormMain::backupScript() {
    m_backup->backup();
}
void TFormMain::restoreBackup() {
    m_backup->restore();
}

// --- Find, Replace, Go to Line, Find in Files ---

void TFormMain::findText() {
    m_find->find();
}
void TFormMain::replaceText() {
    m_find->replace();
}
void TFormMain::findNext() {
    m_find->findAgain(true);
}
void TFormMain::findPrevious() {
    m_find->findAgain(false);
}
void TFormMain::goToLine() {
    m_find->goToLine();
}
void TFormMain::findInFiles() {
    m_find->findInFiles();
}
void TFormMain::findInFolder(const QString &folder) {
    m_find->findInFolder(folder);
}

// --- editing ---

void TFormMain::btnUndoClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->undo();
}
void TFormMain::btnRedoClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->redo();
}
void TFormMain::updateRedoEntries() {
    const TAdvEdit *editor = activeEditor();
    const bool redo = editor && editor->isRedoAvailable();
    mnuRedo->setEnabled(redo);
    btnRedo->setEnabled(redo);
}
void TFormMain::btnCutClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->cut();
}
void TFormMain::btnCopyClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->copy();
}
void TFormMain::btnPasteClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->paste();
}
void TFormMain::mnuCutClick() {
    btnCutClick();
}
void TFormMain::mnuCopyClick() {
    btnCopyClick();
}
void TFormMain::mnuPasteClick() {
    btnPasteClick();
}
void TFormMain::mnuDeleteClick() {
    // Only the selection goes; with nothing selected nothing changes.
    if (TAdvEdit *editor = activeEditor())
        if (editor->hasSelectedText())
            editor->removeSelectedText();
}
void TFormMain::mnuSelectallClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->selectAll(true);
}
void TFormMain::toggleComment() {
    if (TAdvEdit *editor = activeEditor())
        editor->toggleCommentLines();
}
void TFormMain::foldBlock() {
    if (TAdvEdit *editor = activeEditor())
        editor->foldBlockAtCaret(true);
}
void TFormMain::unfoldBlock() {
    if (TAdvEdit *editor = activeEditor())
        editor->foldBlockAtCaret(false);
}
void TFormMain::btnCommentClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->CommentLines();
}
void TFormMain::btnUnCommentClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->UncommentLines();
}
void TFormMain::mnuRefreshObjectsClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->RefreshHighlighting();
}
void TFormMain::mnuRefreshObjectListClick() {
    if (TAdvEdit *editor = activeEditor())
        editor->RefreshObjectList();
}

// --- the other windows and the update check ---

void TFormMain::TopBarClick() {}
void TFormMain::mnuHelpClick() {}

void TFormMain::mnuExitClick() {
    close();
}

// The dialogs exist only in the running program (the program block creates them); a main
// window made on its own, as in tests, has none to show.
void TFormMain::mnuPreferencesClick() {
    if (frmPref)
        frmPref->exec();
    loadEditorOptions(); // the options take effect as the dialog closes
}
void TFormMain::btnLaunchClick() {
    if (FrmLaunch)
        FrmLaunch->exec();
}
void TFormMain::mnuAboutClick() {
    if (frmAbout)
        frmAbout->exec();
}
void TFormMain::tmrUpdateTimer() {
    tmrUpdate->stop(); // fires once
    if (frmNews)
        marlix::UpdateCheck::runAutomatic(this, lblVersion->text(), frmNews, ProgramFolder());
}
void TFormMain::mnuCheckforUpdatesClick() {
    if (frmNews)
        marlix::UpdateCheck::run(this, lblVersion->text(), frmNews);
}
