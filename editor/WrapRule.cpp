#include "editor/WrapRule.h"

namespace marlix {

void LineSpan::include(const LineSpan &other) {
    longest = std::max(longest, other.longest);
    wideBytes = wideBytes || other.wideBytes;
}

LineSpan measureLines(const char *data, qsizetype size) {
    LineSpan span;
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c != 0x7F)
            continue;
        if (c == '\r' || c == '\n') {
            span.longest = std::max(span.longest, i - start);
            start = i + 1;
        } else if (c != '\t') {
            span.wideBytes = true;
        }
    }
    span.longest = std::max(span.longest, size - start);
    return span;
}

WrapChoice chooseWrap(qsizetype longestLine, int widestChar, int areaWidth) {
    if (longestLine >= unwrappedLineBytes)
        return WrapChoice::ScrollUnwrapped;
    // A line of n characters is at most n widest characters wide.
    if (qint64(longestLine) * std::max(widestChar, 1) < qint64(std::max(areaWidth, 0)))
        return WrapChoice::None;
    return WrapChoice::Word;
}

} // namespace marlix
