// The main window's file commands, recent-files menu and editor font.
#include "app/frmMain.h"

#include "app/PageControl.h"
#include "core/common/LineFile.h"
#include "core/prefs/RecentFiles.h"
#include "editor/AdvEdit.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

void TFormMain::btnNewClick() {
    NewDocumentTab();
}
void TFormMain::mnuNewClick() {
    btnNewClick();
}

void TFormMain::btnOpenClick() {
    if (m_documents.isFull())
        return;
    const marlix::FileAnswer answer = marlix::Prompts::file(this, inFolderOfScriptInView(dlgOpen));
    marlix::keepFileDialogState(dlgOpen, answer);
    const QStringList chosen = marlix::chosenFiles(answer);
    if (chosen.size() == 1)
        OpenDocumentFile(chosen.constFirst());
    else if (!chosen.isEmpty())
        openDroppedFiles(chosen);
}

marlix::FileRequest TFormMain::inFolderOfScriptInView(const marlix::FileRequest &dialog) const {
    marlix::FileRequest request = dialog;
    const TTabSheet *page = tabControl->ActivePage();
    if (page && !page->caption().isEmpty()) {
        const QFileInfo script(page->caption());
        if (script.absoluteDir().exists())
            request.folder = script.absolutePath();
    }
    return request;
}
void TFormMain::mnuOpenClick() {
    btnOpenClick();
}

void TFormMain::OpenDocumentFile(const QString &given) {
    // "x/../y", "./y" and "//" name the file at its plain path, and a link names its target:
    // either way the document that is open already.
    const QString path = marlix::cleanDocumentPath(given);
    const int open = m_documents.slotWithFile(path);
    if (open >= 0) {
        tabControl->setActivePage(DocumentTabs[open]);
        return;
    }
    if (!QFileInfo(path).isFile()) {
        marlix::showMessage(this, QStringLiteral("Unable to load file"));
        return;
    }
    if (!NewDocumentTab())
        return;
    TTabSheet *page = tabControl->ActivePage();
    TAdvEdit *editor = DocumentEditors[page->Tag];
    editor->loadBytes(marlix::readWholeFile(path)); // its line ends decide those of a save
    setDocumentPath(page, path);
    rememberFile(page->Tag);
    AddToRecentFiles(path);
    // F5 and F6 colour and list it later when the options leave it for the user.
    if (editorOptions.autoHighlight)
        editor->RefreshHighlighting();
    if (editorOptions.autoPopulate)
        editor->RefreshObjectList();
}

void TFormMain::btnSaveClick() {
    TTabSheet *page = tabControl->ActivePage();
    if (!page)
        return;
    TAdvEdit *editor = DocumentEditors[page->Tag];
    const QString path = m_documents.path(page->Tag);
    if (!path.isEmpty()) {
        editor->SaveScript(path);
        return;
    }
    if (const std::optional<QString> chosen = executeSaveDialog()) {
        editor->SaveScript(*chosen);
        setDocumentPath(page, *chosen);
    }
}
void TFormMain::mnuSaveClick() {
    btnSaveClick();
}

void TFormMain::mnuSaveAsClick() {
    TTabSheet *page = tabControl->ActivePage();
    if (!page)
        return;
    if (const std::optional<QString> chosen = executeSaveDialog()) {
        DocumentEditors[page->Tag]->SaveScript(*chosen);
        setDocumentPath(page, *chosen);
    }
}

void TFormMain::mnuSaveAllClick() {
    if (!tabControl->ActivePage())
        return;
    for (int slot = 0; slot < marlix::DocumentSlotCount; ++slot) {
        TAdvEdit *editor = DocumentEditors[slot];
        if (!editor)
            continue;
        TTabSheet *page = DocumentTabs[slot];
        tabControl->setActivePage(page);
        page->setFocus();
        editor->setFocus();
        const QString path = m_documents.path(slot);
        if (!path.isEmpty()) {
            editor->SaveScript(path);
        } else if (const std::optional<QString> chosen = executeSaveDialog()) {
            editor->SaveScript(*chosen);
            setDocumentPath(page, *chosen);
        }
    }
}

// --- recent files ---

void TFormMain::LoadRecentFilesMenu() {
    const QString fileName = m_programFolder + QStringLiteral("recent.ini");
    if (!QFileInfo::exists(fileName))
        return;
    const QStringList lines = marlix::readRecentFile(fileName);
    QAction *const entries[] = {mnuRecent1, mnuRecent2, mnuRecent3, mnuRecent4, mnuRecent5,
                                mnuRecent6, mnuRecent7, mnuRecent8, mnuRecent9, mnuRecent10};
    for (int k = 0; k < marlix::RecentFilesLimit && k < lines.size(); ++k) {
        entries[k]->setText(marlix::mnemonicFree(lines[k]));
        entries[k]->setVisible(true);
    }
}

void TFormMain::AddToRecentFiles(const QString &path) {
    marlix::addToRecentFile(m_programFolder + QStringLiteral("recent.ini"), path);
    LoadRecentFilesMenu();
}

void TFormMain::recentEntryChosen(QAction *entry) {
    if (m_documents.isFull())
        return;
    OpenDocumentFile(marlix::recentEntryPath(entry->text()));
}

void TFormMain::mnuRecent1Click() {
    recentEntryChosen(mnuRecent1);
}
void TFormMain::mnuRecent2Click() {
    recentEntryChosen(mnuRecent2);
}
void TFormMain::mnuRecent3Click() {
    recentEntryChosen(mnuRecent3);
}
void TFormMain::mnuRecent4Click() {
    recentEntryChosen(mnuRecent4);
}
void TFormMain::mnuRecent5Click() {
    recentEntryChosen(mnuRecent5);
}
void TFormMain::mnuRecent6Click() {
    recentEntryChosen(mnuRecent6);
}
void TFormMain::mnuRecent7Click() {
    recentEntryChosen(mnuRecent7);
}
void TFormMain::mnuRecent8Click() {
    recentEntryChosen(mnuRecent8);
}
void TFormMain::mnuRecent9Click() {
    recentEntryChosen(mnuRecent9);
}
void TFormMain::mnuRecent10Click() {
    recentEntryChosen(mnuRecent10);
}

// --- editor font ---

void TFormMain::mnuFontClick() {
    const std::optional<QFont> chosen = marlix::Prompts::font(this, dlgFont);
    if (!chosen)
        return;
    dlgFont = *chosen;
    EditorFont = *chosen;
    ApplyEditorFont();
}

void TFormMain::ApplyEditorFont() {
    if (!EditorFont || tabControl->pageCount() == 0)
        return;
    for (TAdvEdit *editor : DocumentEditors)
        if (editor)
            editor->setFont(*EditorFont);
}

void TFormMain::FormClose() {
    if (!EditorFont)
        return;
    int points = EditorFont->pointSize();
    if (points <= 0)
        points = QFontInfo(*EditorFont).pointSize();
    marlix::writePathLines(m_programFolder + QStringLiteral("fontpref.ini"),
                           {EditorFont->family(), QString::number(points)});
}
