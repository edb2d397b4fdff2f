#include "core/script/WrapRule.h"

namespace marlix {

void LineSpan::include(const LineSpan &other) {
    longest = std::max(longest, other.longest);
    mostTabs = std::max(mostTabs, other.mostTabs);
    wideBytes = wideBytes || other.wideBytes;
}

LineSpan measureLines(const char *data, qsizetype size) {
    LineSpan span;
    qsizetype start = 0;
    qsizetype tabs = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c != 0x7F)
            continue;
        if (c == '\r' || c == '\n') {
            span.longest = std::max(span.longest, i - start);
            span.mostTabs = std::max(span.mostTabs, tabs);
            start = i + 1;
            tabs = 0;
        } else if (c == '\t') {
            ++tabs;
        } else {
            span.wideBytes = true;
        }
    }
    span.longest = std::max(span.longest, size - start);
    span.mostTabs = std::max(span.mostTabs, tabs);
    return span;
}

WrapChoice chooseWrap(const LineSpan &lines, int widestChar, int tabSpan, int areaWidth) {
    if (lines.longest >= unwrappedLineBytes)
        return WrapChoice::ScrollUnwrapped;
    // A line of n characters, t of them tabs, is at most n widest characters wide plus what
    // t tabs may take beyond that. The longest line and the one with most tabs need not be
    // the same line, so this bound may be high, never low.
    const qint64 widest = std::max(widestChar, 1);
    const qint64 width = qint64(lines.longest) * widest +
                         qint64(lines.mostTabs) * std::max<qint64>(0, tabSpan - widest);
    if (width < qint64(std::max(areaWidth, 0)))
        return WrapChoice::None;
    return WrapChoice::Word;
}

} // namespace marlix
