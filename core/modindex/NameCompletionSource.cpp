#include "core/modindex/NameCompletionSource.h"

#include "core/modindex/ModIndex.h"
#include "core/modindex/ScriptScanner.h"

#include <algorithm>

namespace marlix {

namespace {

// Reference commands are short; a longer stretch before the caret is no such line.
constexpr qsizetype LongestLine = 4096;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Whether the caret's line holds nothing but blanks after the caret.
bool blankAfter(const CompletionText &text, qsizetype caret) {
    const QByteArray rest = text.bytes(caret, caret + LongestLine);
    for (char c : rest) {
        if (isLineEnd(c))
            return true;
        if (c != ' ' && c != '\t')
            return false;
    }
    return rest.size() < LongestLine;
}

} // namespace

std::optional<CompletionOffer> NameCompletionSource::offerAt(const CompletionText &text) {
    const qsizetype caret = text.caret();
    const qsizetype from = std::max<qsizetype>(0, caret - LongestLine);
    const QByteArray before = text.bytes(from, caret);
    qsizetype lineStart = before.size();
    while (lineStart > 0 && !isLineEnd(before[lineStart - 1]))
        --lineStart;
    if (lineStart == 0 && from > 0)
        return std::nullopt;
    const QByteArray line = before.mid(lineStart);

    NameCompletion completion;
    if (!nameCompletionAt(line, int(line.size()), m_index.commandTable(), completion) ||
        !completion.prefix.isEmpty() || !blankAfter(text, caret))
        return std::nullopt;
    QByteArrayList names;
    for (const QByteArray &family : std::as_const(completion.families))
        names += m_index.namesWithPrefix(family, {});
    if (completion.families.size() > 1) {
        std::sort(names.begin(), names.end(), [](const QByteArray &a, const QByteArray &b) {
            return qstricmp(a.constData(), b.constData()) < 0;
        });
        names.erase(std::unique(names.begin(), names.end(),
                                [](const QByteArray &a, const QByteArray &b) {
                                    return qstricmp(a.constData(), b.constData()) == 0;
                                }),
                    names.end());
    }
    if (names.isEmpty())
        return std::nullopt;
    // Only now, at a place that offers names, is the rest of the text before the line read.
    if (endsInRemBlock(text.bytes(0, from + lineStart)))
        return std::nullopt;

    CompletionOffer offer;
    offer.codeStart = caret;
    offer.items.reserve(names.size());
    // Latin-1 gives each byte one character, so the accepted item goes back byte for byte.
    for (const QByteArray &name : names)
        offer.items.append(QString::fromLatin1(name));
    return offer;
}

} // namespace marlix
