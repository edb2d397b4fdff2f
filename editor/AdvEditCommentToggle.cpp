#include "editor/AdvEdit.h"

#include "core/script/CommentToggle.h"

using namespace marlix;

namespace {

// Where a selection end lands after an edit on its line: a column past the edit moves with
// the text, one inside removed text goes to where the removal was.
qsizetype shiftedColumn(qsizetype column, const LineEdit &edit) {
    if (column <= edit.column)
        return column;
    const qsizetype delta = edit.inserted.size() - edit.removed;
    if (column < edit.column + edit.removed)
        return edit.column + edit.inserted.size();
    return column + delta;
}

} // namespace

void TAdvEdit::toggleCommentLines() {
    int first, last;
    selectedLineRange(first, last);
    const qsizetype anchor = SendScintilla(SCI_GETANCHOR);
    const qsizetype caret = caretPosition();
    const int anchorLine = lineOfPosition(anchor);
    const int caretLine = lineOfPosition(caret);
    qsizetype anchorColumn = anchor - lineStart(anchorLine);
    qsizetype caretColumn = caret - lineStart(caretLine);

    QByteArrayList lines;
    for (int line = first; line <= last; ++line)
        lines.append(lineText(line));
    const QList<std::optional<LineEdit>> edits = commentToggleEdits(lines);

    beginUndoAction();
    for (int line = first; line <= last; ++line) {
        const std::optional<LineEdit> &edit = edits[line - first];
        if (!edit)
            continue;
        const qsizetype at = lineStart(line) + edit->column;
        replaceRange(at, at + edit->removed, edit->inserted);
        if (line == anchorLine)
            anchorColumn = shiftedColumn(anchorColumn, *edit);
        if (line == caretLine)
            caretColumn = shiftedColumn(caretColumn, *edit);
    }
    endUndoAction();
    flushEdits();
    // The same lines stay selected, so the key pressed again gives the text back.
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(lineStart(anchorLine) + anchorColumn),
                  long(lineStart(caretLine) + caretColumn));
}
