#include "editor/EditorView.h"

#include "editor/AdvEdit.h"

#include <algorithm>

namespace marlix {

namespace {

unsigned long at(qsizetype p) {
    return static_cast<unsigned long>(p);
}

} // namespace

TextView EditorView::text() const {
    const auto *data = static_cast<const char *>(
        m_editor->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return TextView::whole(data, length());
}

qsizetype EditorView::length() const {
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
}

qsizetype EditorView::caret() const {
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

void EditorView::goTo(qsizetype pos) {
    m_editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, at(pos));
}

qsizetype EditorView::selectionStart() const {
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
}

qsizetype EditorView::selectionEnd() const {
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
}

void EditorView::select(qsizetype anchor, qsizetype caret) {
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETSEL, at(anchor), long(caret));
}

void EditorView::scrollToCaret() {
    m_editor->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
}

int EditorView::lineCount() const {
    return int(m_editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
}

int EditorView::lineOf(qsizetype pos) const {
    return int(m_editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, at(pos)));
}

int EditorView::columnOf(qsizetype pos) const {
    return int(m_editor->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, at(pos)));
}

qsizetype EditorView::lineStart(int line) const {
    return m_editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, at(line));
}

qsizetype EditorView::lineEnd(int line) const {
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, at(line));
}

int EditorView::firstLineInView() const {
    return int(m_editor->SendScintilla(
        QsciScintillaBase::SCI_DOCLINEFROMVISIBLE,
        m_editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE)));
}

void EditorView::scrollToLine(int line) {
    m_editor->SendScintilla(
        QsciScintillaBase::SCI_SETFIRSTVISIBLELINE,
        m_editor->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, at(line)));
}

void EditorView::showLine(int line) {
    // Counted in lines as shown, so that a wrapped line above does not throw the middle off.
    const long shownLine =
        m_editor->SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, at(line));
    const long first = m_editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long shown = m_editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    if (shownLine < first || shownLine >= first + shown)
        m_editor->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE,
                                std::max(0L, shownLine - shown / 2));
}

qsizetype EditorView::viewStart() const {
    return lineStart(firstLineInView());
}

qsizetype EditorView::viewEnd() const {
    const long first = m_editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long shown = m_editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    const long last =
        m_editor->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, first + shown + 1);
    return lineEnd(int(last));
}

qsizetype EditorView::positionAt(QPoint point) const {
    return m_editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE, point.x(),
                                   point.y());
}

void EditorView::setRestTime(int milliseconds) {
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETMOUSEDWELLTIME, milliseconds);
}

void EditorView::replace(qsizetype from, qsizetype to, const QByteArray &text) {
    if (to < from)
        std::swap(from, to);
    m_editor->beginUndoAction();
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, at(from), long(to));
    m_editor->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, at(text.size()),
                            text.constData());
    m_editor->endUndoAction();
    m_editor->flushEdits();
}

void EditorView::setMarkShape(int mark, MarkShape shape, bool under) {
    const long style = shape == MarkShape::RoundBox ? QsciScintillaBase::INDIC_ROUNDBOX
                                                    : QsciScintillaBase::INDIC_STRAIGHTBOX;
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, at(mark), style);
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICSETUNDER, at(mark), long(under));
}

void EditorView::setMarkColor(int mark, long color, int alpha, int outlineAlpha) {
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, at(mark), color);
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICSETALPHA, at(mark), long(alpha));
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICSETOUTLINEALPHA, at(mark),
                            long(outlineAlpha));
}

void EditorView::fillMark(int mark, qsizetype start, qsizetype length) {
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, at(mark));
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, at(start), long(length));
}

void EditorView::clearMark(int mark) {
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, at(mark));
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL, long(length()));
}

} // namespace marlix
