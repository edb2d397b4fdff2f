#include "app/frmMain.h"

#include "app/ArchiveCommands.h"
#include "app/BackupCommands.h"
#include "app/DiskWatch.h"
#include "app/EditorFontChoice.h"
#include "app/FileCommands.h"
#include "app/FindCommands.h"
#include "app/ModTreePanel.h"
#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "app/RecentFilesMenu.h"
#include "app/StartupHandOff.h"
#include "app/ToolIcons.h"
#include "app/Workspace.h"
#include "core/common/ProgramFolder.h"
#include "core/common/Version.h"
#include "core/prefs/RecentFiles.h"
#include "editor/AdvEdit.h"
#include "platform/GuardedConnect.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

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
    m_open =
        std::make_unique<marlix::OpenDocuments>(this, tabControl, m_documents, DocumentEditors,
                                                DocumentTabs, [this] { return NewDocumentTab(); });
    placeTabsAndResults(layout);
    tabControl->setObjectName(QStringLiteral("tabControl"));
    connectGuarded(tabControl, &marlix::PageControl::changed, this, &TFormMain::tabControlChange);
    lblVersion = new QLabel(marlix::versionText(), client);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->hide();
    setCentralWidget(client);

    dlgFont = QFont(QStringLiteral("MS Sans Serif"), 8);

    tmrUpdate = new QTimer(this);
    tmrUpdate->setObjectName(QStringLiteral("tmrUpdate"));
    tmrUpdate->setInterval(1000);
    connectGuarded(tmrUpdate, &QTimer::timeout, this, &TFormMain::tmrUpdateTimer);
    tmrUpdate->start();

    createEverydayParts();
    createCommands();
    workspace = new marlix::Workspace(*this, indexTools);
    mnuFile->insertAction(mnuRecent->menuAction(), workspace->quickOpenAction);
    mnuTools->insertAction(N5, workspace->modTreeAction);
    connect(workspace->modTree, &marlix::ModTreePanel::findInFolderRequested, this,
            &TFormMain::findInFolder);

    FormCreate();
}

TFormMain::~TFormMain() {
    delete workspace; // before the index its tree reads
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

// Read from the window's own arrays, not through the commands' view of them: the editors
// and pages outlive the commands while the window is taken down.
TAdvEdit *TFormMain::activeEditor() const {
    const TTabSheet *page = tabControl->ActivePage();
    return page ? editorOfSlot(page->Tag) : nullptr;
}

TAdvEdit *TFormMain::editorOfSlot(int slot) const {
    return slot >= 0 && slot < marlix::DocumentSlotCount ? DocumentEditors[slot] : nullptr;
}

TTabSheet *TFormMain::pageOfSlot(int slot) const {
    return slot >= 0 && slot < marlix::DocumentSlotCount ? DocumentTabs[slot] : nullptr;
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
    m_open->close(slot);
}

void TFormMain::closeEvent(QCloseEvent *event) {
    // Leaving asks about every changed document, as closing one does; Cancel, a cancelled
    // Save dialog or a failed save keeps the window and all its documents open.
    bool mayClose = false;
    guarded(this, [&] { mayClose = m_files->changedDocumentsMayGo(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    guarded(this, [this] { workspace->saveSession(); });
    guarded(this, [this] { FormClose(); });
    event->accept();
    emit closed();
}
