#include "core/script/TriggerCompletion.h"

#include "core/common/LineFile.h"
#include "core/script/CompletionRules.h"
#include "core/script/LanguageTables.h"
#include "core/script/WordSearch.h"

namespace marlix {

void TriggerCompletion::setTable(const IntellisenseTable &table) {
    m_table = table;
    m_folded.clear();
    m_longest = 0;
    for (const QString &trigger : table.triggers) {
        m_folded.append(foldWord(trigger.toLatin1()));
        m_longest = std::max(m_longest, int(trigger.size()));
    }
}

std::optional<CompletionOffer> TriggerCompletion::offerAt(const CompletionText &text) {
    // Only the bytes a trigger and the character before it can reach are looked at, so a key
    // costs the same in a large script.
    const qsizetype caret = text.caret();
    const qsizetype length = text.size();
    const qsizetype from = std::max<qsizetype>(0, caret - m_longest - 1);
    const QByteArray window = text.bytes(from, std::min<qsizetype>(length, caret + 1));
    const TextView view{window.constData(), window.size(), from, length};
    qsizetype codeStart = -1;
    const int entry = findTriggerAtCaret(view, m_folded, caret, codeStart);
    // Checked before the file is read, so a remark never brings "Unable to load code file".
    if (entry < 0 || text.inRemark(codeStart))
        return std::nullopt;
    return offerFor(m_table.files.value(entry), m_table.triggers.value(entry),
                    m_table.styles.value(entry), codeStart, m_programFolder);
}

CompletionOffer TriggerCompletion::offerFor(const QString &fileName, const QString &code,
                                            std::int32_t style, qsizetype codeStart,
                                            const QString &programFolder) {
    CompletionOffer offer;
    offer.codeStart = codeStart;
    offer.code = code;
    offer.style = style;
    const QString path = completionFilePath(fileName, programFolder);
    if (path.isEmpty())
        offer.message = QStringLiteral("Unable to load code file");
    else
        offer.items = sortCompletionItems(readTextLines(path, completionFileLimits()));
    return offer;
}

} // namespace marlix
