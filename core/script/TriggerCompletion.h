#pragma once

#include "core/script/CompletionSession.h"
#include "core/script/LanguageTables.h"

#include <QByteArrayList>

// The language table's triggers as a source of completion lists: a trigger typed as a whole
// word just before the caret opens the items of its completion file.
namespace marlix {

class TriggerCompletion : public CompletionSource {
public:
    void setTable(const IntellisenseTable &table);
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    std::optional<CompletionOffer> offerAt(const CompletionText &text) override;

    // The list of one completion file for a trigger seen at `codeStart`: its items sorted, or a
    // message when the file is missing. Throws when the file exists but cannot be read.
    static CompletionOffer offerFor(const QString &fileName, const QString &code,
                                    std::int32_t style, qsizetype codeStart,
                                    const QString &programFolder);

private:
    IntellisenseTable m_table;
    QByteArrayList m_folded;
    int m_longest = 0;
    QString m_programFolder;
};

} // namespace marlix
