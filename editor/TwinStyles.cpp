#include "editor/TwinStyles.h"

#include "editor/HighlightStyling.h"
#include "editor/StyleTable.h"

namespace marlix {

static_assert(StyleTable::lastStyle < twinOffset, "a colour style must not be a twin");

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

ByteSpan alternateTwins(const char *text, char *styles, qsizetype size) {
    ByteSpan changed{size, size};
    bool twin = false;
    for (qsizetype i = 0; i < size; ++i) {
        if (i > 0 && isBlank(text[i - 1]) && !isBlank(text[i]))
            twin = !twin;
        const int plain = baseStyle(static_cast<unsigned char>(styles[i]));
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
