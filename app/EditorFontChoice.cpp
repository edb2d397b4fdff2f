#include "app/EditorFontChoice.h"

#include "app/OpenDocuments.h"
#include "app/PageControl.h"
#include "core/common/LineFile.h"
#include "editor/AdvEdit.h"
#include "platform/Prompts.h"

#include <QFontInfo>

namespace marlix {

EditorFontChoice::EditorFontChoice(OpenDocuments &documents, const QString &programFolder,
                                   std::optional<QFont> &editorFont, QFont &dialogFont)
    : m_documents(documents), m_fileName(programFolder + QStringLiteral("fontpref.ini")),
      m_editorFont(editorFont), m_dialogFont(dialogFont) {}

void EditorFontChoice::choose() {
    const std::optional<QFont> chosen = Prompts::font(m_documents.window(), m_dialogFont);
    if (!chosen)
        return;
    m_dialogFont = *chosen;
    m_editorFont = *chosen;
    apply();
}

void EditorFontChoice::apply() {
    if (!m_editorFont || m_documents.tabs()->pageCount() == 0)
        return;
    for (int slot = 0; slot < DocumentSlotCount; ++slot)
        if (TAdvEdit *editor = m_documents.editorOfSlot(slot))
            editor->setFont(*m_editorFont);
}

void EditorFontChoice::save() const {
    if (!m_editorFont)
        return;
    int points = m_editorFont->pointSize();
    if (points <= 0)
        points = QFontInfo(*m_editorFont).pointSize();
    writePathLines(m_fileName, {m_editorFont->family(), QString::number(points)});
}

} // namespace marlix
