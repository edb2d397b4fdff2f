#include "app/frmMain.h"

#include "app/ModTreePanel.h"
#include "app/PageControl.h"
#include "app/ToolIcons.h"
#include "app/UpdateCheck.h"
#include "app/Workspace.h"
#include "auxiliary/frmAbout.h"
#include "auxiliary/frmNews.h"
#include "core/common/ProgramFolder.h"
#include "core/common/Version.h"
#include "core/prefs/RecentFiles.h"
#include "editor/AdvEdit.h"
#include "launch/frmLaunch.h"
#include "platform/GuardedConnect.h"
#include "prefs/frmPref.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFormMain *FormMain = nullptr;

using marlix::connectGuarded;
using marlix::guarded;

TFormMain::TFormMain(QWidget *parent, const QString &programFolder)
    : QMainWindow(parent),
      m_programFolder(programFolder.isEmpty() ? marlix::programFolder() : programFolder) {
    commandLine = QCoreApplication::arguments();
    setGeometry(213, 174, 646, 457);
    setWindowState(Qt::WindowMaximized);

    createMenus();

    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createTopBar();
    TopBar->setParent(client);
    layout->addWidget(TopBar);
    tabControl = new marlix::PageControl(client);
    placeTabsAndResults(layout);
    tabControl->setObjectName(QStringLiteral("tabControl"));
    connectGuarded(tabControl, &marlix::PageControl::changed, this, &TFormMain::tabControlChange);
    lblVersion = new QLabel(marlix::versionText(), client);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->hide();
    setCentralWidget(client);

    dlgOpen.kind = marlix::FileRequest::Open;
    dlgOpen.filter = QStringLiteral("BF1942 Con Files (*.con)|*.con|Con Backup Files "
                                    "(*.bcon)|*.bcon|All Files (*.*)|*.*");
    dlgOpen.defaultSuffix = QStringLiteral("con");
    dlgOpen.multiple = true;
    openArchiveRequest.filter = QStringLiteral("RFA Archives (*.rfa)|*.rfa|All Files (*.*)|*.*");
    dlgSave.kind = marlix::FileRequest::Save;
    dlgSave.filter = QStringLiteral("BF1942 Con File (*.con)|*.con|Con Backup File "
                                    "(*.bcon)|*.bcon|All Files(*.*)|*.*");
    dlgSave.defaultSuffix = QStringLiteral("con");
    dlgFont = QFont(QStringLiteral("MS Sans Serif"), 8);

    tmrUpdate = new QTimer(this);
    tmrUpdate->setObjectName(QStringLiteral("tmrUpdate"));
    tmrUpdate->setInterval(1000);
    connectGuarded(tmrUpdate, &QTimer::timeout, this, &TFormMain::tmrUpdateTimer);
    tmrUpdate->start();

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TFormMain::focusWindowChanged);
    createEverydayParts();
    workspace = new marlix::Workspace(*this, indexTools);
    mnuFile->insertAction(mnuRecent->menuAction(), workspace->quickOpenAction);
    mnuTools->insertAction(N5, workspace->modTreeAction);
    connect(workspace->modTree, &marlix::ModTreePanel::findInFolderRequested, this,
            &TFormMain::findInFolder);

    FormCreate();
}

TFormMain::~TFormMain() {
    delete workspace; // before the index its tree reads
    if (FormMain == this)
        FormMain = nullptr;
}

QAction *TFormMain::addEntry(QMenu *menu, const QString &caption, const QKeySequence &key,
                             void (TFormMain::*handler)()) {
    QAction *entry = menu->addAction(caption);
    if (!key.isEmpty())
        entry->setShortcut(key);
    if (handler)
        connectGuarded(entry, &QAction::triggered, this, handler);
    return entry;
}

void TFormMain::createMenus() {
    mnuMain = menuBar();
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    const auto ctrl = [](int key) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key(key)));
    };
    const auto ctrlAlt = [](int key) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key(key)));
    };

    mnuFile = mnuMain->addMenu(QStringLiteral("&File"));
    mnuNew = addEntry(mnuFile, QStringLiteral("New"), ctrl(Qt::Key_N), &TFormMain::mnuNewClick);
    mnuOpen = addEntry(mnuFile, QStringLiteral("Open"), ctrl(Qt::Key_O), &TFormMain::mnuOpenClick);
    openFromArchiveAction = addEntry(mnuFile, QStringLiteral("Open from Archive\u2026"), {},
                                     &TFormMain::openFromArchive);
    mnuRecent = mnuFile->addMenu(QStringLiteral("Open Recent"));
    std::array<QAction **, marlix::RecentFilesLimit> recent = {
        &mnuRecent1, &mnuRecent2, &mnuRecent3, &mnuRecent4, &mnuRecent5,
        &mnuRecent6, &mnuRecent7, &mnuRecent8, &mnuRecent9, &mnuRecent10};
    const std::array<void (TFormMain::*)(), marlix::RecentFilesLimit> recentHandlers = {
        &TFormMain::mnuRecent1Click, &TFormMain::mnuRecent2Click, &TFormMain::mnuRecent3Click,
        &TFormMain::mnuRecent4Click, &TFormMain::mnuRecent5Click, &TFormMain::mnuRecent6Click,
        &TFormMain::mnuRecent7Click, &TFormMain::mnuRecent8Click, &TFormMain::mnuRecent9Click,
        &TFormMain::mnuRecent10Click};
    for (int k = 0; k < marlix::RecentFilesLimit; ++k) {
        *recent[k] = addEntry(mnuRecent, QString(), {}, recentHandlers[k]);
        (*recent[k])->setVisible(false);
        (*recent[k])->setObjectName(QStringLiteral("mnuRecent%1").arg(k + 1));
    }
    mnuClose =
        addEntry(mnuFile, QStringLiteral("Close"), ctrl(Qt::Key_L), &TFormMain::mnuCloseClick);
    N8 = mnuFile->addSeparator();
    mnuFont = addEntry(mnuFile, QStringLiteral("Font"), {}, &TFormMain::mnuFontClick);
    N9 = mnuFile->addSeparator();
    mnuSave = addEntry(mnuFile, QStringLiteral("Save"), ctrl(Qt::Key_S), &TFormMain::mnuSaveClick);
    mnuSaveAs = addEntry(mnuFile, QStringLiteral("Save As..."), {}, &TFormMain::mnuSaveAsClick);
    mnuSaveAll = addEntry(mnuFile, QStringLiteral("Save All"), ctrlAlt(Qt::Key_S),
                          &TFormMain::mnuSaveAllClick);
    N1 = mnuFile->addSeparator();
    mnuPrint = addEntry(mnuFile, QStringLiteral("Print"), {}, &TFormMain::printScript);
    N2 = mnuFile->addSeparator();
    mnuBackup = addEntry(mnuFile, QStringLiteral("Backup"), {}, &TFormMain::backupScript);
    mnuRestore = addEntry(mnuFile, QStringLiteral("Restore"), {}, &TFormMain::restoreBackup);
    N3 = mnuFile->addSeparator();
    mnuExit = addEntry(mnuFile, QStringLiteral("Exit"), ctrl(Qt::Key_Q), &TFormMain::mnuExitClick);

    mnuEdit = mnuMain->addMenu(QStringLiteral("&Edit"));
    // The menu's Undo does what the Undo button does.
    mnuUndo = addEntry(mnuEdit, QStringLiteral("Undo"), ctrl(Qt::Key_Z), &TFormMain::btnUndoClick);
    mnuRedo =
        addEntry(mnuEdit, QStringLiteral("Redo"), ctrlAlt(Qt::Key_Z), &TFormMain::btnRedoClick);
    // The menu shows its own key; Ctrl+Y and Ctrl+Shift+Z, the keys other editors use, redo too.
    mnuRedo->setShortcuts(
        {ctrlAlt(Qt::Key_Z), ctrl(Qt::Key_Y),
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z))});
    N4 = mnuEdit->addSeparator();
    mnuCut = addEntry(mnuEdit, QStringLiteral("Cut"), ctrl(Qt::Key_X), &TFormMain::mnuCutClick);
    mnuCopy = addEntry(mnuEdit, QStringLiteral("Copy"), ctrl(Qt::Key_C), &TFormMain::mnuCopyClick);
    mnuPaste =
        addEntry(mnuEdit, QStringLiteral("Paste"), ctrl(Qt::Key_V), &TFormMain::mnuPasteClick);
    mnuDelete = addEntry(mnuEdit, QStringLiteral("Delete"), ctrl(Qt::Key_Delete),
                         &TFormMain::mnuDeleteClick);
    mnuSelectall = addEntry(mnuEdit, QStringLiteral("Select All"), ctrl(Qt::Key_A),
                            &TFormMain::mnuSelectallClick);
    toggleCommentAction = addEntry(mnuEdit, QStringLiteral("Toggle Comment"), ctrl(Qt::Key_Slash),
                                   &TFormMain::toggleComment);
    const auto ctrlShift = [](int key) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key(key)));
    };
    foldBlockAction = addEntry(mnuEdit, QStringLiteral("Fold Block"),
                               ctrlShift(Qt::Key_BracketLeft), &TFormMain::foldBlock);
    unfoldBlockAction = addEntry(mnuEdit, QStringLiteral("Unfold Block"),
                                 ctrlShift(Qt::Key_BracketRight), &TFormMain::unfoldBlock);
    // With Shift held, the bracket keys of many layouts report braces.
    foldBlockAction->setShortcuts({ctrlShift(Qt::Key_BracketLeft), ctrlShift(Qt::Key_BraceLeft)});
    unfoldBlockAction->setShortcuts(
        {ctrlShift(Qt::Key_BracketRight), ctrlShift(Qt::Key_BraceRight)});
    N7 = mnuEdit->addSeparator();
    createFindMenu();

    mnuTools = mnuMain->addMenu(QStringLiteral("&Tools"));
    mnuPreferences =
        addEntry(mnuTools, QStringLiteral("Preferences"), {}, &TFormMain::mnuPreferencesClick);
    N5 = mnuTools->addSeparator();
    mnuRefreshObjects = addEntry(mnuTools, QStringLiteral("Refresh Highlighting"),
                                 QKeySequence(Qt::Key_F5), &TFormMain::mnuRefreshObjectsClick);
    mnuRefreshObjectList =
        addEntry(mnuTools, QStringLiteral("Refresh Object List"), QKeySequence(Qt::Key_F6),
                 &TFormMain::mnuRefreshObjectListClick);
    N6 = mnuTools->addSeparator();
    mnuCheckforUpdates = addEntry(mnuTools, QStringLiteral("Check for Updates"), {},
                                  &TFormMain::mnuCheckforUpdatesClick);

    mnuHelp = mnuMain->addAction(QStringLiteral("&Help"));
    connectGuarded(mnuHelp, &QAction::triggered, this, &TFormMain::mnuHelpClick);
    mnuAbout = mnuMain->addAction(QStringLiteral("&About"));
    connectGuarded(mnuAbout, &QAction::triggered, this, &TFormMain::mnuAboutClick);

    const std::pair<QAction *, const char *> names[] = {
        {mnuNew, "mnuNew"},
        {mnuOpen, "mnuOpen"},
        {mnuClose, "mnuClose"},
        {mnuFont, "mnuFont"},
        {mnuSave, "mnuSave"},
        {mnuSaveAs, "mnuSaveAs"},
        {mnuSaveAll, "mnuSaveAll"},
        {mnuPrint, "mnuPrint"},
        {mnuBackup, "mnuBackup"},
        {mnuRestore, "mnuRestore"},
        {mnuExit, "mnuExit"},
        {mnuUndo, "mnuUndo"},
        {mnuRedo, "mnuRedo"},
        {mnuCut, "mnuCut"},
        {mnuCopy, "mnuCopy"},
        {mnuPaste, "mnuPaste"},
        {mnuDelete, "mnuDelete"},
        {mnuSelectall, "mnuSelectall"},
        {toggleCommentAction, "toggleCommentAction"},
        {foldBlockAction, "foldBlockAction"},
        {unfoldBlockAction, "unfoldBlockAction"},
        {mnuFind, "mnuFind"},
        {mnuReplace, "mnuReplace"},
        {mnuPreferences, "mnuPreferences"},
        {mnuRefreshObjects, "mnuRefreshObjects"},
        {mnuRefreshObjectList, "mnuRefreshObjectList"},
        {mnuCheckforUpdates, "mnuCheckforUpdates"},
        {mnuHelp, "mnuHelp"},
        {mnuAbout, "mnuAbout"}};
    for (const auto &[entry, name] : names)
        entry->setObjectName(QLatin1String(name));
    openFromArchiveAction->setObjectName(QStringLiteral("openFromArchiveAction"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
}

QToolButton *TFormMain::addButton(int image, const QString &hint, void (TFormMain::*handler)()) {
    auto *button = new QToolButton(tbarMain);
    QIcon icon;
    icon.addPixmap(imglTool[image], QIcon::Normal);
    icon.addPixmap(imglHotTool[image], QIcon::Active);
    button->setIcon(icon);
    button->setIconSize(QSize(ToolIconSize, ToolIconSize));
    button->setFixedSize(31, 30);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    connectGuarded(button, &QToolButton::clicked, this, handler);
    tbarMain->addWidget(button);
    return button;
}

void TFormMain::createTopBar() {
    for (int i = 0; i <= int(ToolIcon::Launch); ++i) {
        imglTool.append(drawToolIcon(ToolIcon(i), false));
        imglHotTool.append(drawToolIcon(ToolIcon(i), true));
    }
    TopBar = new QWidget(this);
    TopBar->setObjectName(QStringLiteral("TopBar"));
    auto *bands = new QHBoxLayout(TopBar);
    bands->setContentsMargins(2, 2, 2, 2);
    tbarMain = new QToolBar(TopBar);
    tbarMain->setObjectName(QStringLiteral("tbarMain"));
    tbarMain->setIconSize(QSize(ToolIconSize, ToolIconSize));
    tbarMain->setMovable(false);
    btnNew = addButton(int(ToolIcon::New), QStringLiteral("New"), &TFormMain::btnNewClick);
    btnOpen = addButton(int(ToolIcon::Open), QStringLiteral("Open"), &TFormMain::btnOpenClick);
    btnSave = addButton(int(ToolIcon::Save), QStringLiteral("Save"), &TFormMain::btnSaveClick);
    sep1 = tbarMain->addSeparator();
    btnUndo = addButton(int(ToolIcon::Undo), QStringLiteral("Undo"), &TFormMain::btnUndoClick);
    btnRedo = addButton(int(ToolIcon::Redo), QStringLiteral("Redo"), &TFormMain::btnRedoClick);
    sep2 = tbarMain->addSeparator();
    btnCut = addButton(int(ToolIcon::Cut), QStringLiteral("Cut"), &TFormMain::btnCutClick);
    btnCopy = addButton(int(ToolIcon::Copy), QStringLiteral("Copy"), &TFormMain::btnCopyClick);
    btnPaste = addButton(int(ToolIcon::Paste), QStringLiteral("Paste"), &TFormMain::btnPasteClick);
    sep3 = tbarMain->addSeparator();
    btnComment = addButton(int(ToolIcon::Comment), QStringLiteral("Comment lines"),
                           &TFormMain::btnCommentClick);
    btnUnComment = addButton(int(ToolIcon::UnComment), QStringLiteral("Uncomment lines"),
                             &TFormMain::btnUnCommentClick);
    sep4 = tbarMain->addSeparator();
    btnLaunch = addButton(int(ToolIcon::Launch), QStringLiteral("Compile and launch"),
                          &TFormMain::btnLaunchClick);
    const std::pair<QToolButton *, const char *> buttonNames[] = {
        {btnNew, "btnNew"},         {btnOpen, "btnOpen"},
        {btnSave, "btnSave"},       {btnUndo, "btnUndo"},
        {btnRedo, "btnRedo"},       {btnCut, "btnCut"},
        {btnCopy, "btnCopy"},       {btnPaste, "btnPaste"},
        {btnComment, "btnComment"}, {btnUnComment, "btnUnComment"},
        {btnLaunch, "btnLaunch"}};
    for (const auto &[button, name] : buttonNames)
        button->setObjectName(QLatin1String(name));
    bands->addWidget(tbarMain);
    auto *caption = new QLabel(QStringLiteral("BF1942 script editor"), TopBar);
    caption->setObjectName(QStringLiteral("TopBarCaption"));
    caption->setFrameShape(QFrame::StyledPanel);
    caption->setMargin(4);
    caption->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    bands->addWidget(caption);
    bands->addStretch(1);
    TopBar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TFormMain::FormCreate() {
    // A recent-files list that cannot be read is reported, but the window still gets its
    // title: the running instance is found by it.
    guarded(this, [this] { LoadRecentFilesMenu(); });
    guarded(this, [this] { loadEditorOptions(); });
    setWindowTitle(marlix::mainWindowTitle());
}

QList<QKeySequence> TFormMain::menuKeys() const {
    QList<QKeySequence> keys;
    for (const QAction *entry : findChildren<QAction *>())
        keys += entry->shortcuts();
    return keys;
}

TAdvEdit *TFormMain::activeEditor() const {
    const TTabSheet *page = tabControl->ActivePage();
    if (!page || page->Tag < 0 || page->Tag >= marlix::DocumentSlotCount)
        return nullptr;
    return DocumentEditors[page->Tag];
}

TAdvEdit *TFormMain::editorOfSlot(int slot) const {
    return slot >= 0 && slot < marlix::DocumentSlotCount ? DocumentEditors[slot] : nullptr;
}

TTabSheet *TFormMain::pageOfSlot(int slot) const {
    return slot >= 0 && slot < marlix::DocumentSlotCount ? DocumentTabs[slot] : nullptr;
}

void TFormMain::setDocumentPath(TTabSheet *page, const QString &path) {
    m_documents.setPath(page->Tag, path);
    page->setCaption(path);
}

void TFormMain::setDocumentDisplay(TTabSheet *page, const QString &text) {
    m_documents.setDisplay(page->Tag, text);
    page->setDisplayText(text);
}

bool TFormMain::NewDocumentTab() {
    if (m_documents.isFull()) {
        marlix::showMessage(this, QStringLiteral("Max controls reached"));
        return false;
    }
    const int slot = m_documents.open();
    auto *page = new TTabSheet(tabControl);
    DocumentTabs[slot] = page;
    auto *editor = new TAdvEdit(page);
    DocumentEditors[slot] = editor;
    editor->ProgramFolder = m_programFolder;
    editor->setMenuKeys(menuKeys());
    applyEditorOptions(editor);
    attachIndexTools(editor);
    connect(editor, &TAdvEdit::edited, this, &TFormMain::updateRedoEntries);
    const auto followChanges = [this, editor, slot] {
        m_documents.setModified(slot, editor->DocChanged);
    };
    connect(editor, &QsciScintillaBase::SCN_SAVEPOINTLEFT, this, followChanges);
    connect(editor, &QsciScintillaBase::SCN_SAVEPOINTREACHED, this, followChanges);
    if (workspace)
        workspace->attachEditor(editor);
    if (EditorFont)
        editor->setFont(*EditorFont);
    if (editor->parentWidget() != page)
        editor->setParent(page);
    editor->show();
    page->Tag = slot;
    tabControl->setActivePage(page);
    editor->setFocus();
    // A page whose tables fail to load is still laid out, so the editor stays usable.
    const auto layOut = qScopeGuard([&] {
        page->setContent(editor, editor->ObjectList);
        applySchemeAround(editor); // the object list is made by InitEditor
    });
    editor->InitEditor();
    return true;
}

void TFormMain::CloseDocumentSlot(int slot) {
    if (slot < 0 || slot >= marlix::DocumentSlotCount)
        return;
    delete DocumentEditors[slot];
    DocumentEditors[slot] = nullptr;
    delete DocumentTabs[slot];
    DocumentTabs[slot] = nullptr;
    m_documents.close(slot);
}

std::optional<QString> TFormMain::executeSaveDialog() {
    const marlix::FileAnswer answer = marlix::Prompts::file(this, inFolderOfScriptInView(dlgSave));
    marlix::keepFileDialogState(dlgSave, answer);
    if (!answer.accepted)
        return std::nullopt;
    return answer.fileName;
}

void TFormMain::mnuCloseClick() {
    TTabSheet *page = tabControl->ActivePage();
    if (!page)
        return;
    const int slot = page->Tag;
    if (!DocumentEditors[slot]->DocChanged || saveOrDiscard(page)) {
        CloseDocumentSlot(slot);
        // The keyboard focus went with the closed editor; the user types on in the document
        // that came into view.
        if (TAdvEdit *editor = activeEditor())
            editor->setFocus();
    }
}

bool TFormMain::saveOrDiscard(TTabSheet *page) {
    const auto answer =
        marlix::Prompts::message(this, QMessageBox::Question, QStringLiteral("Confirm"),
                                 QStringLiteral("File has changed, save changes?"),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    QString fileName = m_documents.path(page->Tag);
    if (fileName.isEmpty()) {
        const std::optional<QString> chosen = executeSaveDialog();
        if (!chosen)
            return false;
        fileName = *chosen;
    }
    DocumentEditors[page->Tag]->SaveScript(fileName);
    // As after Save As: should the leaving be cancelled later, the document has its name.
    setDocumentPath(page, fileName);
    return true;
}

bool TFormMain::changedDocumentsMayGo() {
    for (int i = 0; i < tabControl->pageCount(); ++i) {
        TTabSheet *page = tabControl->page(i);
        if (!DocumentEditors[page->Tag]->DocChanged)
            continue;
        // The question is about the document in view.
        tabControl->setActivePage(page);
        if (!saveOrDiscard(page))
            return false;
    }
    return true;
}

// --- editing commands ---

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

// --- other commands ---

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

void TFormMain::closeEvent(QCloseEvent *event) {
    // Leaving asks about every changed document, as closing one does; Cancel, a cancelled
    // Save dialog or a failed save keeps the window and all its documents open.
    bool mayClose = false;
    guarded(this, [&] { mayClose = changedDocumentsMayGo(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    guarded(this, [this] { workspace->saveSession(); });
    guarded(this, [this] { FormClose(); });
    event->accept();
    emit closed();
}
