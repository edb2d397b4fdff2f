#include "core/script/FoldLevels.h"

#include "core/script/HighlightStyling.h"

#include <cstring>

namespace marlix {

namespace {

enum class LineWord { Other, If, EndIf, BeginRem, EndRem, Template };

bool blank(char c) {
    return c == ' ' || c == '\t';
}

bool sameWord(const char *word, qsizetype size, const char *lowerWord) {
    const qsizetype n = qsizetype(std::strlen(lowerWord));
    if (size != n)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char c = word[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lowerWord[i])
            return false;
    }
    return true;
}

LineWord lineWord(const char *line, qsizetype size) {
    qsizetype from = 0;
    while (from < size && blank(line[from]))
        ++from;
    qsizetype to = from;
    while (to < size && !blank(line[to]) && line[to] != '\r' && line[to] != '\n')
        ++to;
    const char *word = line + from;
    const qsizetype n = to - from;
    // Most lines are object commands: a quick look at the length and first letter first.
    if (n == 0 || n > 21)
        return LineWord::Other;
    if (sameWord(word, n, "if"))
        return LineWord::If;
    if (sameWord(word, n, "endif"))
        return LineWord::EndIf;
    if (sameWord(word, n, "beginrem"))
        return LineWord::BeginRem;
    if (sameWord(word, n, "endrem"))
        return LineWord::EndRem;
    if (sameWord(word, n, "objecttemplate.create") || sameWord(word, n, "objecttemplate.active"))
        return LineWord::Template;
    return LineWord::Other;
}

} // namespace

bool FoldStack::contains(FoldBlock block) const {
    for (int i = 0; i < depth(); ++i)
        if (FoldBlock((m_bits >> (4 + 2 * i)) & 3) == block)
            return true;
    return false;
}

bool FoldStack::push(FoldBlock block) {
    const int d = depth();
    if (d >= MaxDepth)
        return false;
    m_bits = (m_bits & ~std::uint32_t(0xF)) | std::uint32_t(d + 1);
    m_bits |= std::uint32_t(block) << (4 + 2 * d);
    return true;
}

void FoldStack::pop() {
    const int d = depth();
    if (d == 0)
        return;
    m_bits &= ~(std::uint32_t(3) << (4 + 2 * (d - 1)));
    m_bits = (m_bits & ~std::uint32_t(0xF)) | std::uint32_t(d - 1);
}

FoldLine foldLine(FoldStack before, const char *line, qsizetype size) {
    FoldLine result;
    FoldStack stack = before;
    const LineWord word = lineWord(line, size);
    if (!stack.empty() && stack.top() == FoldBlock::Remark) {
        // Inside a remark block only its end counts; the end line is the block's last.
        result.depth = stack.depth();
        if (word == LineWord::EndRem)
            stack.pop();
        result.after = stack;
        return result;
    }
    switch (word) {
    case LineWord::Template:
        // The previous template's block ends before this line.
        if (!stack.empty() && stack.top() == FoldBlock::Template)
            stack.pop();
        result.depth = stack.depth();
        result.header = stack.push(FoldBlock::Template);
        break;
    case LineWord::If:
    case LineWord::BeginRem:
        result.depth = stack.depth();
        result.header = stack.push(word == LineWord::If ? FoldBlock::If : FoldBlock::Remark);
        break;
    case LineWord::EndIf:
        // Ends the templates begun inside the if, then the if with this line as its last; an
        // endIf with no if open is an ordinary line.
        if (!stack.contains(FoldBlock::If)) {
            result.depth = stack.depth();
            break;
        }
        while (stack.top() == FoldBlock::Template)
            stack.pop();
        result.depth = stack.depth();
        stack.pop();
        break;
    case LineWord::EndRem:
    case LineWord::Other:
        result.depth = stack.depth();
        break;
    }
    result.after = stack;
    return result;
}

QList<FoldLine> foldLines(const TextView &text, FoldStack before) {
    QList<FoldLine> lines;
    FoldStack stack = before;
    const char *data = text.data;
    const qsizetype size = text.size;
    // Lines end at CR, LF or CR LF, as the control counts them.
    for (qsizetype start = 0;;) {
        const qsizetype end = lineEndIn(data, start, size);
        const FoldLine line = foldLine(stack, data + start, end - start);
        lines.append(line);
        stack = line.after;
        if (end >= size)
            break;
        start = afterLineEnd(data, end, size);
    }
    return lines;
}

} // namespace marlix
