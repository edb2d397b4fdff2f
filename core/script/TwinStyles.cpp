#include "core/script/TwinStyles.h"

#include "core/script/HighlightStyling.h"
#include "core/script/StyleTable.h"
#include "core/script/WrapRule.h"

namespace marlix {

static_assert(StyleTable::lastStyle < twinOffset, "a colour style must not be a twin");

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

ByteSpan alternateTwins(const char *text, char *styles, qsizetype size) {
    auto plainAt = [&](qsizetype i) { return baseStyle(static_cast<unsigned char>(styles[i])); };
    auto wordStart = [&](qsizetype i) { return isBlank(text[i - 1]) && !isBlank(text[i]); };
    // A line this long is never wrapped, so a twin may change inside a word as well: a line
    // without blanks would otherwise stay one style and be measured afresh after every key.
    const bool unwrapped = size >= unwrappedLineBytes;
    ByteSpan changed{size, size};
    bool twin = false;
    qsizetype pieceStart = 0; // where the control starts measuring a piece anew
    for (qsizetype i = 0; i < size; ++i) {
        const int plain = plainAt(i);
        if (i > 0 && plain != plainAt(i - 1)) {
            pieceStart = i;
        } else if (i > 0 && wordStart(i)) {
            // Words join the piece while it stays short enough to be remembered.
            qsizetype end = i + 1;
            while (end < size && end - pieceStart < measuredPieceBytes && !wordStart(end) &&
                   plainAt(end) == plain)
                ++end;
            if (end - pieceStart >= measuredPieceBytes) {
                twin = !twin;
                pieceStart = i;
            }
        } else if (unwrapped && i - pieceStart >= measuredPieceBytes - 1) {
            twin = !twin;
            pieceStart = i;
        }
        const char wanted = static_cast<char>(twin ? twinStyle(plain) : plain);
        if (styles[i] == wanted)
            continue;
        styles[i] = wanted;
        if (changed.from == size)
            changed.from = i;
        changed.to = i + 1;
    }
    if (changed.from == size)
        changed = {0, 0};
    return changed;
}

QList<ByteSpan> longLines(const TextView &text) {
    QList<ByteSpan> lines;
    const qsizetype first = text.offset;
    for (qsizetype start = first; start < first + text.size;) {
        const qsizetype end = lineEndFrom(text, start);
        if (end - start >= twinLineBytes)
            lines.append({start - first, end - first});
        start = end + 1;
    }
    return lines;
}

bool twinLongLines(const TextView &text, QByteArray &styles) {
    const QList<ByteSpan> lines = longLines(text);
    for (const ByteSpan &line : lines)
        if (line.to <= styles.size())
            alternateTwins(text.data + line.from, styles.data() + line.from, line.to - line.from);
    return !lines.isEmpty();
}

} // namespace marlix
