#include "editor/TwinStyles.h"

#include "editor/StyleTable.h"

#include <algorithm>

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

void twinLongLines(const TextView &text, QByteArray &styles) {
    const qsizetype n = std::min(text.size, styles.size());
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && text.data[end] != '\r' && text.data[end] != '\n')
            ++end;
        if (end - start >= twinLineBytes)
            alternateTwins(text.data + start, styles.data() + start, end - start);
        start = end + 1;
    }
}

} // namespace marlix
