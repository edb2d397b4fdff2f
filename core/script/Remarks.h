#pragma once

#include "core/script/WordSearch.h"

#include <QByteArray>
#include <QList>

// Remarks in a script: the rest of a line after the word "rem", and whole blocks of lines from
// a line whose first word is "beginRem" to one whose first word is "endRem" (both included;
// letter case ignored; a beginRem inside a block opens nothing more, a block never closed runs
// to the end of the text).
namespace marlix {

enum class BlockMark { None, Begin, End };

// What the first blank-separated word of a line says about blocks.
BlockMark blockMarkOf(const char *line, qsizetype size);

// Whether the next line stands inside a block, given whether this one's predecessor left one
// open and this line's mark.
inline bool blockOpenAfter(bool openBefore, BlockMark mark) {
    return openBefore ? mark != BlockMark::End : mark == BlockMark::Begin;
}
// Whether the line itself belongs to a block.
inline bool lineInBlock(bool openBefore, BlockMark mark) {
    return openBefore || mark == BlockMark::Begin;
}

// Whether the whole word "rem" stands in the line (of `size` bytes) before `column`.
bool remBeforeColumn(const char *line, qsizetype size, qsizetype column);

// The lines of a text that belong to blocks, as [first, last] pairs of line numbers (0-based)
// with the positions of the first line's start and the last line's end, in order. Cheap for a
// text that holds no "beginRem" at all.
struct RemBlock {
    int first = 0;
    int last = 0;
    qsizetype from = 0;
    qsizetype to = 0;
};
QList<RemBlock> remBlockLines(const TextView &text); // a whole text, offset 0

// For each line of a text of whole lines, whether a block is open after it, given whether one
// was open before its first line.
QList<bool> blockOpenAfterLines(const TextView &text, bool openBefore);

// Whether a position of the text stands in a remark: after "rem" on its line or on a line of a
// block. Walks the text before it; the editor keeps the block state per line instead.
bool inRemark(const TextView &text, qsizetype pos); // a whole text, offset 0

} // namespace marlix
