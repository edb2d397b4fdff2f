// The general options of the preferences, as the main window applies them to its editors.
#include "app/frmMain.h"

#include "app/FindBar.h"
#include "app/PageControl.h"
#include "app/ResultsPanel.h"
#include "app/SchemeColors.h"
#include "core/prefs/PreferenceFiles.h"
#include "editor/AdvEdit.h"

#include <QTableView>

void TFormMain::loadEditorOptions() {
    marlix::PreferenceFiles files;
    files.setFolder(ProgramFolder());
    marlix::GeneralOptions options;
    // An unreadable marlix.ini is reported and leaves the options as they were.
    files.loadOptions(options);
    editorOptions = options;
    for (TAdvEdit *editor : DocumentEditors)
        if (editor)
            applyEditorOptions(editor);
    marlix::applyPanelScheme(resultsPanel, darkScheme());
}

bool TFormMain::darkScheme() const {
    return !editorOptions.darkText;
}

void TFormMain::applyEditorOptions(TAdvEdit *editor) const {
    editor->intellisenseEnabled = editorOptions.intellisense;
    editor->highlightingEnabled = editorOptions.highlighting;
    editor->setDarkScheme(darkScheme());
    editor->setLineNumbersShown(editorOptions.lineNumbers);
    applySchemeAround(editor);
}

void TFormMain::applySchemeAround(TAdvEdit *editor) const {
    marlix::applySelectionColors(editor, darkScheme());
    // The find bar sets its marks up when it is made; they follow the scheme from then on.
    if (editor->parentWidget() && marlix::FindBar::ofPage(editor->parentWidget(), editor, false))
        marlix::applyFindMarkColors(editor, darkScheme());
    marlix::applyPanelScheme(editor->ObjectList, darkScheme());
}
