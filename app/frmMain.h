#pragma once

#include "app/DocumentHost.h"
#include "core/document/DiskChange.h"
#include "core/document/DocumentList.h"
#include "core/prefs/GeneralOptions.h"
#include "platform/Prompts.h"

#include <QFont>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QWindow>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QsciPrinter;
class QTimer;
class QToolBar;
class QToolButton;
class QVBoxLayout;
class TAdvEdit;
namespace marlix {
class ArchiveCommands;
class BackupCommands;
class DiskWatch;
class DocumentStatus;
class EditorFontChoice;
class FileCommands;
class FindCommands;
class HandOffListener;
class IndexTools;
class OpenDocuments;
class PageControl;
class RecentFilesMenu;
class ResultsPanel;
class StartupHandOff;
class Workspace;
} // namespace marlix
class TTabSheet;

// The main window: owner of every open document. Each document is one editor on its own tab
// page, found by its slot in the document list (the page's Tag). The window builds its menus,
// tool bar and layout and owns the documents; what a command does lies with the command's own
// class (files, recent files, font, disk watch, backup, find, archives, print, start-up).
class TFormMain : public QMainWindow, public marlix::DocumentHost {
    Q_OBJECT
public:
    // programFolder is where the program keeps its files (recent.ini, fontpref.ini,
    // params.ini, the language tables); it ends in a separator.
    explicit TFormMain(QWidget *parent = nullptr, const QString &programFolder = QString());
    ~TFormMain() override;

    // The open scripts in tab order: slot, path, display text, changes, known file.
    const marlix::DocumentList &documents() const { return m_documents; }

    // The process's command line; parameter 0 is the program itself, each further one names a
    // file.
    QStringList commandLine;
    // The socket later starts hand their files to; its waiting requests are heard before a
    // paint takes up params.ini, so that files open in the order of the starts.
    QPointer<marlix::HandOffListener> handOffListener;
    const QString &ProgramFolder() const override { return m_programFolder; }

    bool NewDocumentTab();
    void CloseDocumentSlot(int slot);
    void OpenDocumentFile(const QString &path) override;
    void LoadRecentFilesMenu();
    void AddToRecentFiles(const QString &path);
    void ApplyEditorFont();
    // Opens a script on disk, or an entry of an indexed archive, with the line (counting from
    // 1) selected and in view; an open tab is reused. False when it could not be opened.
    bool openDocumentAt(const QString &path, int line) override;
    bool openArchiveTextAt(const QString &display, const QByteArray &bytes, int line) override;

    // The editor of the active tab, or null while no tab is open.
    TAdvEdit *activeEditor() const override;
    // The editor and the tab page of a document slot; null while the slot is free.
    TAdvEdit *editorOfSlot(int slot) const override;
    TTabSheet *pageOfSlot(int slot) const override;
    // Every key a menu entry owns; the editors leave these keys to the menu.
    QList<QKeySequence> menuKeys() const;
    // A later start asked for this window: bring it forward and take up the hand-off.
    void handOffRequested();
    // A later start handed these files over the socket: they open after every file handed
    // over before them, and the window comes forward.
    void filesHandedOver(const QStringList &files);

    void TopBarClick();
    void btnNewClick();
    void tabControlChange();
    void mnuCloseClick();
    void btnOpenClick();
    void btnSaveClick();
    void btnUndoClick();
    void btnRedoClick();
    void btnCutClick();
    void btnCopyClick();
    void btnPasteClick();
    void mnuNewClick();
    void mnuOpenClick();
    void mnuSaveClick();
    void mnuSaveAsClick();
    void mnuRefreshObjectsClick();
    void mnuRefreshObjectListClick();
    void mnuExitClick();
    void mnuCheckforUpdatesClick();
    void mnuPreferencesClick();
    void mnuCutClick();
    void mnuCopyClick();
    void mnuPasteClick();
    void mnuDeleteClick();
    void mnuSelectallClick();
    void btnLaunchClick();
    void mnuHelpClick();
    void btnCommentClick();
    void btnUnCommentClick();
    void mnuFontClick();
    void mnuSaveAllClick();
    void FormCreate();
    void mnuRecent1Click();
    void mnuRecent2Click();
    void mnuRecent3Click();
    void mnuRecent4Click();
    void mnuRecent5Click();
    void mnuRecent6Click();
    void mnuRecent7Click();
    void mnuRecent8Click();
    void mnuRecent9Click();
    void mnuRecent10Click();
    void tmrUpdateTimer();
    void FormClose();
    void mnuAboutClick();
    void FormActivate();
    void FormPaint();

    // Tabs, drops and the status bar (frmMainTabs.cpp).
    void switchTab(int step); // +1 the next tab, -1 the previous, round the row
    void openDroppedFiles(const QStringList &paths);
    marlix::DocumentStatus *documentStatus() const;
    // Set in advance, Print prints on it and asks nothing (the page setup is the caller's).
    QsciPrinter *presetPrinter = nullptr;

    // "Light Text on Dark Background": the editors, and what lies over and beside their text.
    bool darkScheme() const override;

signals:
    void closed(); // the window has closed; the program ends

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window's parts; reach them by object name from outside.
    QMenuBar *mnuMain;
    QMenu *mnuFile;
    QAction *mnuNew, *mnuOpen, *openFromArchiveAction;
    QMenu *mnuRecent;
    QAction *N1, *mnuSave, *mnuSaveAs, *mnuSaveAll, *N2, *mnuBackup, *mnuRestore, *N3, *mnuExit;
    QMenu *mnuEdit;
    QAction *mnuUndo, *mnuRedo, *N4, *mnuCut, *mnuCopy, *mnuPaste, *mnuDelete, *mnuSelectall;
    QAction *toggleCommentAction, *foldBlockAction, *unfoldBlockAction;
    QMenu *mnuTools;
    QAction *mnuPreferences;
    QAction *mnuHelp, *mnuAbout; // top-level entries without a submenu
    QAction *N5, *mnuRefreshObjects, *mnuRefreshObjectList, *N6, *mnuCheckforUpdates, *N7;
    QAction *mnuFind, *mnuReplace, *findNextAction, *findPreviousAction, *goToLineAction,
        *findInFilesAction;
    QList<QPixmap> imglHotTool, imglTool;
    QWidget *TopBar;
    QToolBar *tbarMain;
    QToolButton *btnNew, *btnOpen, *btnSave;
    QAction *sep1;
    QToolButton *btnUndo, *btnRedo;
    QAction *sep2;
    QToolButton *btnCut, *btnCopy, *btnPaste;
    QAction *sep3;
    QToolButton *btnComment, *btnUnComment;
    QAction *sep4;
    QToolButton *btnLaunch;
    marlix::PageControl *tabControl;
    QAction *mnuClose;
    marlix::FileRequest dlgOpen, dlgSave;
    QAction *N8, *mnuPrint;
    QAction *mnuRecent1, *mnuRecent2, *mnuRecent3, *mnuRecent4, *mnuRecent5, *mnuRecent6,
        *mnuRecent7, *mnuRecent8, *mnuRecent9, *mnuRecent10;
    QAction *N9, *mnuFont;
    QFont dlgFont; // the font the Font dialog starts with
    QLabel *lblVersion;
    QTimer *tmrUpdate;
    marlix::ResultsPanel *resultsPanel = nullptr; // below the tabs, shared by the searches
    marlix::IndexTools *indexTools = nullptr;
    marlix::Workspace *workspace = nullptr; // mod tree, quick open, hints, session

    std::array<TAdvEdit *, marlix::DocumentSlotCount> DocumentEditors{};
    std::array<TTabSheet *, marlix::DocumentSlotCount> DocumentTabs{};
    std::optional<QFont> EditorFont;

    void openFromArchive();
    void toggleComment();
    void foldBlock();
    void unfoldBlock();
    // Backup needs a named script in view; Restore a backup of it as well.
    void updateBackupEntries();
    void backupScript();
    void restoreBackup();
    // Find in Files over the scripts below one folder only.
    void findInFolder(const QString &folder);
    // The general options of the preferences as they stood when the dialog last closed.
    marlix::GeneralOptions editorOptions;

    void createMenus();
    void createTopBar();
    void createFindMenu();
    // The commands' classes, once the widgets they work on are there.
    void createCommands();
    // The tabs over the results panel, the mod index's tools beside them.
    void placeTabsAndResults(QVBoxLayout *layout);
    void attachIndexTools(TAdvEdit *editor);
    QAction *addEntry(QMenu *menu, const QString &caption, const QKeySequence &key,
                      void (TFormMain::*handler)());
    QToolButton *addButton(int image, const QString &hint, void (TFormMain::*handler)());
    void createEverydayParts();
    void documentMatchesFile(TAdvEdit *editor);

    void closeTab(TTabSheet *page);
    void checkFilesOnDisk();
    // Redo's menu entry and tool button are enabled while the document in view can redo.
    void updateRedoEntries();
    void findText();
    void replaceText();
    void findNext();
    void findPrevious();
    void goToLine();
    void findInFiles();
    void printScript();
    // Reads marlix.ini and applies it to every open editor.
    void loadEditorOptions();
    void applyEditorOptions(TAdvEdit *editor) const;
    void applySchemeAround(TAdvEdit *editor) const;

    marlix::DocumentList m_documents;
    marlix::DocumentStatus *m_status = nullptr;
    QString m_programFolder;

    // What the helpers ask of the window beyond its public operations (frmMainHost.cpp).
    TTabSheet *activePage() const override;
    QList<TTabSheet *> pages() const override;
    void showPage(TTabSheet *page) override;
    QMainWindow *hostWindow() override;
    QMenu *toolsMenu() override;
    marlix::ResultsPanel *results() override;

    // Declared after what they work on, so that they go first.
    std::unique_ptr<marlix::OpenDocuments> m_open;
    std::unique_ptr<marlix::DiskWatch> m_diskWatch;
    std::unique_ptr<marlix::RecentFilesMenu> m_recent;
    std::unique_ptr<marlix::FileCommands> m_files;
    std::unique_ptr<marlix::EditorFontChoice> m_font;
    std::unique_ptr<marlix::BackupCommands> m_backup;
    std::unique_ptr<marlix::FindCommands> m_find;
    std::unique_ptr<marlix::ArchiveCommands> m_archives;
    std::unique_ptr<marlix::StartupHandOff> m_startup;
};
