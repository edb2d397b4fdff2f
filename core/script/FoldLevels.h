#pragma once

#include "core/script/WordSearch.h"

#include <QList>
#include <cstdint>

// The blocks of a script that the editor folds: beginRem...endRem, if...endIf, and each
// template's block, from an "ObjectTemplate.create" or "ObjectTemplate.active" line to the
// line before the next such line (or the endIf that closes the block it stands in). Lines are
// judged by their first blank-separated word, letter case ignored; inside a beginRem block
// only endRem counts.
namespace marlix {

enum class FoldBlock : std::uint8_t { If = 1, Template = 2, Remark = 3 };

// The blocks open after a line, innermost last, packed into 30 bits so that the editor can
// keep it on each line and carry on from any line. Blocks nested deeper than `MaxDepth` are
// not folded.
class FoldStack {
public:
    static constexpr int MaxDepth = 13;

    int depth() const { return int(m_bits & 0xF); }
    FoldBlock top() const { return FoldBlock((m_bits >> (4 + 2 * (depth() - 1))) & 3); }
    bool empty() const { return depth() == 0; }
    bool contains(FoldBlock block) const;
    bool push(FoldBlock block); // false when too deep
    void pop();

    std::uint32_t bits() const { return m_bits; }
    static FoldStack fromBits(std::uint32_t bits) {
        FoldStack s;
        s.m_bits = bits & 0x3FFFFFFF;
        return s;
    }
    bool operator==(const FoldStack &other) const { return m_bits == other.m_bits; }

private:
    std::uint32_t m_bits = 0;
};

// One line's place in the folds: its depth (the number of blocks it stands in), whether it
// opens a block, and the blocks open after it.
struct FoldLine {
    int depth = 0;
    bool header = false;
    FoldStack after;
};

// The line of `size` bytes, given the blocks open before it.
FoldLine foldLine(FoldStack before, const char *line, qsizetype size);

// Every line of a text of whole lines (ending at CR, LF or CR LF, as the control splits them),
// in order, given the blocks open before its first line.
QList<FoldLine> foldLines(const TextView &text, FoldStack before = FoldStack());

} // namespace marlix
