#include "core/script/Remarks.h"

#include <algorithm>
#include <cstring>

namespace marlix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

template <qsizetype Length>
bool firstWordIs(const char *line, qsizetype size, const char (&folded)[Length]) {
    constexpr qsizetype length = Length - 1;
    qsizetype i = 0;
    while (i < size && isBlank(line[i]))
        ++i;
    if (size - i < length)
        return false;
    for (qsizetype k = 0; k < length; ++k)
        if (foldByte(static_cast<unsigned char>(line[i + k])) !=
            static_cast<unsigned char>(folded[k]))
            return false;
    return i + length == size || isBlank(line[i + length]);
}

// Calls `line(number, start, end)` for every line of the view, in order.
template <typename Visit> void forEachLine(const TextView &text, Visit line) {
    const char *data = text.data;
    const qsizetype size = text.size;
    int number = 0;
    for (qsizetype start = 0; start <= size;) {
        const void *hit = std::memchr(data + start, '\n', size - start);
        const void *cr = std::memchr(data + start, '\r', size - start);
        qsizetype end = size;
        if (hit)
            end = static_cast<const char *>(hit) - data;
        if (cr && static_cast<const char *>(cr) - data < end)
            end = static_cast<const char *>(cr) - data;
        if (!line(number, start, end))
            return;
        if (end >= size)
            return;
        start = end + 1;
        if (data[end] == '\r' && start < size && data[start] == '\n')
            ++start;
        ++number;
    }
}

} // namespace

BlockMark blockMarkOf(const char *line, qsizetype size) {
    if (firstWordIs(line, size, "beginrem"))
        return BlockMark::Begin;
    if (firstWordIs(line, size, "endrem"))
        return BlockMark::End;
    return BlockMark::None;
}

bool remBeforeColumn(const char *line, qsizetype size, qsizetype column) {
    // The word must end before the column: "rem" right before it counts, "remark" does not.
    return findWholeWord(TextView::whole(line, size), QByteArrayLiteral("rem"), 0,
                         std::min(column, size)) >= 0;
}

QList<RemBlock> remBlockLines(const TextView &text) {
    QList<RemBlock> spans;
    // Most scripts hold no block: one search for the word settles them.
    if (findWholeWord(text, QByteArrayLiteral("beginrem"), 0, text.size) < 0)
        return spans;
    bool open = false;
    forEachLine(text, [&](int number, qsizetype start, qsizetype end) {
        const BlockMark mark = blockMarkOf(text.data + start, end - start);
        if (lineInBlock(open, mark)) {
            if (!open)
                spans.append({number, number, start, end});
            spans.last().last = number;
            spans.last().to = end;
        }
        open = blockOpenAfter(open, mark);
        return true;
    });
    return spans;
}

QList<bool> blockOpenAfterLines(const TextView &text, bool openBefore) {
    QList<bool> openAfter;
    bool open = openBefore;
    // Without a block open and without the word that opens one, no line is in a block.
    const bool none = !open && findWholeWord(text, QByteArrayLiteral("beginrem"), 0, text.size) < 0;
    forEachLine(text, [&](int, qsizetype start, qsizetype end) {
        if (!none)
            open = blockOpenAfter(open, blockMarkOf(text.data + start, end - start));
        openAfter.append(open);
        return true;
    });
    return openAfter;
}

bool inRemark(const TextView &text, qsizetype pos) {
    bool open = false;
    bool remark = false;
    forEachLine(text, [&](int, qsizetype start, qsizetype end) {
        const BlockMark mark = blockMarkOf(text.data + start, end - start);
        if (pos <= end) {
            remark = lineInBlock(open, mark) ||
                     remBeforeColumn(text.data + start, end - start, pos - start);
            return false;
        }
        open = blockOpenAfter(open, mark);
        return true;
    });
    return remark;
}

} // namespace marlix
