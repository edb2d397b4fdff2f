// File > Open from Archive: scripts read straight out of an RFA archive, each opened as an
// untitled document. The archive itself is never written.
#include "app/frmMain.h"

#include "app/ArchiveEntriesDialog.h"
#include "app/PageControl.h"
#include "core/archive/RfaReader.h"
#include "editor/AdvEdit.h"

#include <QFileInfo>

void TFormMain::openFromArchive() {
    if (m_documents.isFull())
        return;
    const marlix::FileAnswer answer = marlix::Prompts::file(this, openArchiveRequest);
    if (!answer.accepted)
        return;
    // Cannot open file %s, or the damaged archive's own text, go to the general error display.
    marlix::RfaReader archive(answer.fileName);
    const QString archiveName = QFileInfo(answer.fileName).fileName();
    marlix::ArchiveEntriesDialog chooser(archiveName, archive.entries(), this);
    if (chooser.exec() != QDialog::Accepted)
        return;

    // Everything is read before a tab opens, so a damaged entry opens none of them.
    QList<QPair<QString, QByteArray>> documents;
    for (int index : chooser.chosenEntries())
        documents.append({archive.entries().at(index).name, archive.read(index)});
    for (const auto &[name, bytes] : documents) {
        if (!NewDocumentTab())
            return;
        TTabSheet *page = tabControl->ActivePage();
        TAdvEdit *editor = DocumentEditors[page->Tag];
        editor->loadBytes(bytes);
        // Untitled, so Save asks for a name; the tab says where the text came from meanwhile.
        setDocumentDisplay(page, QStringLiteral("[%1:%2]").arg(archiveName, name));
        if (editorOptions.autoHighlight)
            editor->RefreshHighlighting();
        if (editorOptions.autoPopulate)
            editor->RefreshObjectList();
    }
}
