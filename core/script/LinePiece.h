#pragma once

#include "core/script/FoldLevels.h"
#include "core/script/WordSearch.h"

#include <QByteArray>
#include <QList>

// What the lines of a large script hold besides their text, for a run of whole lines at a
// time: the colours with twins in, whether a remark block is open after each line, and each
// line's place in the folds. It depends on nothing but the text, the phrase table and the
// width of the text area, so it can be worked out from a copy of the text on another thread
// while the editor writes the runs already done into the control.
namespace marlix {

class PhraseHighlighter;
struct LineFit;

// Where a run of lines starts, and what the text before it leaves open there.
struct LineRunStart {
    qsizetype position = 0; // in the document
    int line = 0;
    bool remarkBlockOpen = false;
    FoldStack folds;
};

struct LinePiece {
    LineRunStart start;
    // One per byte of the lines, from the start of the first to the end of the last, its line
    // end left out.
    QByteArray styles;
    bool longLine = false; // some line of twinLineBytes or more
    QList<bool> openAfter; // one per line
    QList<FoldLine> folds; // one per line
    int lineCount() const { return int(folds.size()); }
};

// The piece of the whole lines in `lines` (which must not end in a line end), starting at
// `start`, twinned by `fit`.
LinePiece linePiece(const TextView &lines, const LineRunStart &start,
                    const PhraseHighlighter &highlighter, const LineFit &fit);

// Where the next run of about `bytes` bytes of whole lines ends in data[from, size): the end of
// the line holding byte from + bytes, before its line end, or `size`. CR LF is one line end.
qsizetype runEnd(const char *data, qsizetype from, qsizetype size, qsizetype bytes);

} // namespace marlix
