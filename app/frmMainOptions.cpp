// The general options of the preferences, as the main window applies them to its editors.
#include "app/frmMain.h"

#include "editor/AdvEdit.h"
#include "core/prefs/PreferenceFiles.h"

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
}

void TFormMain::applyEditorOptions(TAdvEdit *editor) const {
    editor->intellisenseEnabled = editorOptions.intellisense;
    editor->highlightingEnabled = editorOptions.highlighting;
    editor->setDarkScheme(!editorOptions.darkText);
    editor->setLineNumbersShown(editorOptions.lineNumbers);
}
