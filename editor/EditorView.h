#pragma once

#include "core/script/TextSearch.h"

#include <QByteArray>
#include <QPoint>
#include <QtGlobal>

class TAdvEdit;

namespace marlix {

// What the windows around an editor do with it, in its own terms: byte positions and line
// numbers (counting from 0) of the text, the selection and the scroll position, edits of a
// range, and the marks the find bar lays over the text. The editor's control and its message
// interface stay behind it. A handle of one pointer, made where it is used.
class EditorView {
public:
    explicit EditorView(TAdvEdit *editor) : m_editor(editor) {}

    // The whole text where the control holds it: valid until the next edit.
    TextView text() const;
    qsizetype length() const;

    qsizetype caret() const;
    // The caret at pos with nothing selected, scrolled into view.
    void goTo(qsizetype pos);
    qsizetype selectionStart() const;
    qsizetype selectionEnd() const;
    // Selects from anchor to caret (the caret may lie before the anchor), without scrolling.
    void select(qsizetype anchor, qsizetype caret);
    void scrollToCaret();

    int lineCount() const;
    int lineOf(qsizetype pos) const;
    // The column of pos in its line, tabs counted to their stops.
    int columnOf(qsizetype pos) const;
    qsizetype lineStart(int line) const;
    qsizetype lineEnd(int line) const; // before the line end

    // The text line at the top of the view, and scrolling a text line there; a wrapped line
    // counts once.
    int firstLineInView() const;
    void scrollToLine(int line);
    // Brings the line into view, in the middle, unless it is in view already.
    void showLine(int line);
    // From the start of the first line in view to the end of the line after the last one.
    qsizetype viewStart() const;
    qsizetype viewEnd() const;
    // The character position nearest a point of the editor's area; -1 when none is near.
    qsizetype positionAt(QPoint point) const;
    // How long the mouse rests before the editor reports it (its dwell signals).
    void setRestTime(int milliseconds);

    // Replaces [from, to) by text as one step of Undo, coloured at once, and leaves the caret
    // at the end of the new text.
    void replace(qsizetype from, qsizetype to, const QByteArray &text);

    // Marks over the text (the control's indicators 8 to 31 are the containers'): their
    // shape, whether they lie under the characters, their colour (0x00BBGGRR) and opacity.
    enum class MarkShape { RoundBox, StraightBox };
    void setMarkShape(int mark, MarkShape shape, bool under);
    void setMarkColor(int mark, long color, int alpha, int outlineAlpha);
    void fillMark(int mark, qsizetype start, qsizetype length);
    void clearMark(int mark);

private:
    TAdvEdit *m_editor;
};

} // namespace marlix
