#include "core/script/LinePiece.h"

#include "core/script/HighlightStyling.h"
#include "core/script/TwinStyles.h"

namespace marlix {

LinePiece linePiece(const TextView &lines, const LineRunStart &start,
                    const PhraseHighlighter &highlighter, const LineFit &fit) {
    LinePiece piece;
    piece.start = start;
    piece.styles = highlighter.styles(lines, start.remarkBlockOpen, &piece.openAfter);
    piece.longLine = twinLines(lines, piece.styles, fit).longLine;
    piece.folds = foldLines(lines, start.folds);
    return piece;
}

qsizetype runEnd(const char *data, qsizetype from, qsizetype size, qsizetype bytes) {
    qsizetype at = std::min(size, from + bytes);
    // The LF of a CR LF ends the same line as its CR.
    if (at > from && at < size && data[at] == '\n' && data[at - 1] == '\r')
        --at;
    return lineEndIn(data, at, size);
}

} // namespace marlix
