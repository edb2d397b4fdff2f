#pragma once

#include "core/script/WordSearch.h"

#include <QByteArray>
#include <QList>

// The colouring of the whole text, computed as one Scintilla style byte per text byte.
namespace marlix {

struct HighlightPhrase {
    QByteArray phrase;
    bool toLineEnd = false;  // colour from the phrase to the end of its line
    unsigned char style = 0; // the style that stands for the entry's colour
};

// The final style of every byte of `text` (whole document) for the entries in table order.
// Each entry colours its whole-word occurrences, each searched from the end of the previous
// one; where ranges overlap the later entry wins. A "to end of line" range stops before the
// line end. Bytes no entry colours get style 0. One pass over the text serves all entries.
QByteArray highlightStyles(const TextView &text, const QList<HighlightPhrase> &entries);

// The end of the document line that holds `pos`: the position of its CR or LF, or the end of
// the text.
qsizetype lineEndFrom(const TextView &text, qsizetype pos);

} // namespace marlix
