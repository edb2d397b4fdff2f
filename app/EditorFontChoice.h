#pragma once

#include <QFont>
#include <QString>
#include <optional>

namespace marlix {

class OpenDocuments;

// File > Font: the font every editor uses once one is chosen, kept in fontpref.ini in the
// program folder when the window closes. The window holds the font and the dialog's starting
// font; this works on them.
class EditorFontChoice {
public:
    EditorFontChoice(OpenDocuments &documents, const QString &programFolder,
                     std::optional<QFont> &editorFont, QFont &dialogFont);

    // Asks for a font, starting from the last choice; a chosen one goes to every editor.
    void choose();
    // Puts the chosen font (if any) on every open editor.
    void apply();
    // Writes the chosen font's family and size in points; without a choice nothing is written.
    void save() const;

private:
    OpenDocuments &m_documents;
    QString m_fileName;
    std::optional<QFont> &m_editorFont;
    QFont &m_dialogFont;
};

} // namespace marlix
