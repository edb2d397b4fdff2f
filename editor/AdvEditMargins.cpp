// The margins beside the text (line numbers, fold marks), the shaded caret line, and the
// folding of the script's blocks. Folding changes only the view: the text, its changed state
// and the undo history never see it.
#include "editor/AdvEdit.h"

#include "core/script/FoldLevels.h"
#include "core/script/HighlightStyling.h"
#include "core/script/ViewShading.h"
#include "editor/ManyFoldLevels.h"
#include "editor/ScintillaText.h"
#include "editor/WrapSwitch.h"

#include <optional>

using namespace marlix;

namespace {

constexpr unsigned long lineNumberMargin = 0;
constexpr unsigned long foldMargin = 2;
constexpr int foldMarginWidth = 14;
// The blocks open after a line live in the line state beside the remark-block bit.
constexpr int foldStateShift = 1;

int foldLevel(const FoldLine &line) {
    return QsciScintillaBase::SC_FOLDLEVELBASE + line.depth +
           (line.header ? QsciScintillaBase::SC_FOLDLEVELHEADERFLAG : 0);
}

int digits(long number) {
    int n = 1;
    while (number >= 10) {
        number /= 10;
        ++n;
    }
    return n;
}

} // namespace

void TAdvEdit::setUpMargins() {
    SendScintilla(SCI_SETMARGINTYPEN, lineNumberMargin, long(SC_MARGIN_NUMBER));
    SendScintilla(SCI_SETMARGINTYPEN, foldMargin, long(SC_MARGIN_SYMBOL));
    SendScintilla(SCI_SETMARGINMASKN, foldMargin, long(SC_MASK_FOLDERS));
    SendScintilla(SCI_SETMARGINSENSITIVEN, foldMargin, 1L);
    SendScintilla(SCI_SETMARGINWIDTHN, foldMargin, long(foldMarginWidth));
    const std::pair<int, int> marks[] = {{SC_MARKNUM_FOLDEROPEN, SC_MARK_BOXMINUS},
                                         {SC_MARKNUM_FOLDER, SC_MARK_BOXPLUS},
                                         {SC_MARKNUM_FOLDERSUB, SC_MARK_VLINE},
                                         {SC_MARKNUM_FOLDERTAIL, SC_MARK_LCORNER},
                                         {SC_MARKNUM_FOLDEREND, SC_MARK_BOXPLUSCONNECTED},
                                         {SC_MARKNUM_FOLDEROPENMID, SC_MARK_BOXMINUSCONNECTED},
                                         {SC_MARKNUM_FOLDERMIDTAIL, SC_MARK_TCORNER}};
    for (const auto &[number, symbol] : marks)
        SendScintilla(SCI_MARKERDEFINE, static_cast<unsigned long>(number), long(symbol));
    // Clicks on the marks fold; an edit that shows or removes a folded block's head unfolds it,
    // so no text is ever left hidden without a mark.
    SendScintilla(SCI_SETAUTOMATICFOLD,
                  static_cast<unsigned long>(SC_AUTOMATICFOLD_SHOW | SC_AUTOMATICFOLD_CLICK |
                                             SC_AUTOMATICFOLD_CHANGE));
    SendScintilla(SCI_SETCARETLINEVISIBLE, 1UL);
    SendScintilla(SCI_SETCARETLINEVISIBLEALWAYS, 1UL);
    updateLineNumberWidth();
}

void TAdvEdit::setLineNumbersShown(bool shown) {
    if (shown == m_lineNumbers)
        return;
    m_lineNumbers = shown;
    updateLineNumberWidth();
}

void TAdvEdit::updateLineNumberWidth() {
    int width = 0;
    if (m_lineNumbers) {
        // Room for the widest number there is, at least three digits, and a blank each side.
        const long lines = SendScintilla(SCI_GETLINECOUNT);
        const QByteArray nines(std::max(3, digits(lines)) + 1, '9');
        width = int(SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_LINENUMBER),
                                  nines.constData()));
    }
    if (SendScintilla(SCI_GETMARGINWIDTHN, lineNumberMargin) == width)
        return;
    SendScintilla(SCI_SETMARGINWIDTHN, lineNumberMargin, long(width));
    m_wrap->marginsChanged(); // the text area is narrower or wider now
}

void TAdvEdit::applyViewShading() {
    const ViewShading &s = m_darkScheme ? darkViewShading : lightViewShading;
    SendScintilla(SCI_SETCARETLINEBACK, long(s.caretLine));
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(STYLE_LINENUMBER),
                  long(s.marginText));
    SendScintilla(SCI_STYLESETBACK, static_cast<unsigned long>(STYLE_LINENUMBER),
                  long(s.marginBack));
    SendScintilla(SCI_SETFOLDMARGINCOLOUR, 1UL, long(s.marginBack));
    SendScintilla(SCI_SETFOLDMARGINHICOLOUR, 1UL, long(s.marginBack));
    for (int number = SC_MARKNUM_FOLDEREND; number <= SC_MARKNUM_FOLDEROPEN; ++number) {
        SendScintilla(SCI_MARKERSETFORE, static_cast<unsigned long>(number), long(s.foldMarkFore));
        SendScintilla(SCI_MARKERSETBACK, static_cast<unsigned long>(number), long(s.foldMarkBack));
    }
    // The font may have changed the numbers' width.
    updateLineNumberWidth();
}

void TAdvEdit::setFoldLevels(const TextView &text) {
    const QList<FoldLine> lines = foldLines(text);
    SendScintilla(SCI_SETFOLDEXPANDED, 0UL, 1L); // an earlier text's first line may be folded
    // Nothing is folded yet: the control need not look after each level for blocks to unfold.
    const long automatic = SendScintilla(SCI_GETAUTOMATICFOLD);
    SendScintilla(SCI_SETAUTOMATICFOLD, 0UL);
    const ManyFoldLevels levels(*this);
    // The text came in as one insertion after the control was emptied and its first line set
    // to the top level with no blocks: every line holds that now, so only lines inside blocks
    // are told.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const FoldLine &line = lines[i];
        if (line.depth != 0 || line.header)
            SendScintilla(SCI_SETFOLDLEVEL, static_cast<unsigned long>(i), long(foldLevel(line)));
        if (i + 1 < lines.size() && line.after.bits() != 0)
            setFoldStateBefore(int(i + 1), line.after.bits());
    }
    SendScintilla(SCI_SETAUTOMATICFOLD, static_cast<unsigned long>(automatic));
    updateLineNumberWidth();
}

void TAdvEdit::setLineStatesOf(const TextView &text, int first, const QList<bool> &openAfter) {
    // The blocks open before the first line are left as they are: they belong to the text above.
    const std::uint32_t before = foldStateBefore(first);
    applyLineStates(first, before, foldLines(text, FoldStack::fromBits(before)), openAfter);
}

void TAdvEdit::applyLineStates(int first, std::uint32_t before, const QList<FoldLine> &folds,
                               const QList<bool> &openAfter) {
    const int count = int(SendScintilla(SCI_GETLINECOUNT));
    int line = first;
    for (qsizetype i = 0; i < folds.size() && line < count; ++i, ++line) {
        // The control tells nobody of a level or state set to what it was: asking first would
        // only double the calls.
        SendScintilla(SCI_SETFOLDLEVEL, static_cast<unsigned long>(line),
                      long(foldLevel(folds[i])));
        const bool open = i < openAfter.size()
                              ? openAfter[i]
                              : SendScintilla(SCI_GETLINESTATE, static_cast<unsigned long>(line)) &
                                    remBlockOpenState;
        SendScintilla(SCI_SETLINESTATE, static_cast<unsigned long>(line),
                      (open ? remBlockOpenState : 0) | long(before << foldStateShift));
        before = folds[i].after.bits();
    }
    if (line < count)
        setFoldStateBefore(line, before);
}

// Each line keeps the blocks open before it, not after: when lines are joined the control
// drops the state of the later line, so a line's own state always belongs to the text before
// it, which an edit from that line on leaves alone.
std::uint32_t TAdvEdit::foldStateBefore(int line) const {
    if (line <= 0)
        return 0;
    return std::uint32_t(SendScintilla(SCI_GETLINESTATE, static_cast<unsigned long>(line))) >>
           foldStateShift;
}

void TAdvEdit::setFoldStateBefore(int line, std::uint32_t bits) {
    const long state = SendScintilla(SCI_GETLINESTATE, static_cast<unsigned long>(line));
    const long wanted = (state & remBlockOpenState) | long(bits << foldStateShift);
    if (state != wanted)
        SendScintilla(SCI_SETLINESTATE, static_cast<unsigned long>(line), wanted);
}

void TAdvEdit::updateFoldLevels(int first, int last) {
    const int lines = int(SendScintilla(SCI_GETLINECOUNT));
    const int pending = pendingLine(); // the slices carry a change on from there
    // Most edits change a line or two; one that opens or closes a block may change thousands.
    std::optional<ManyFoldLevels> many;
    FoldStack stack = FoldStack::fromBits(foldStateBefore(first));
    for (int line = first; line < lines; ++line) {
        if (line == first + 64)
            many.emplace(*this);
        const QByteArray text = lineText(line);
        const FoldLine fold = marlix::foldLine(stack, text.constData(), text.size());
        const long level = foldLevel(fold);
        const long was = SendScintilla(SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
        if ((was & (SC_FOLDLEVELNUMBERMASK | SC_FOLDLEVELHEADERFLAG)) != level)
            SendScintilla(SCI_SETFOLDLEVEL, static_cast<unsigned long>(line), level);
        stack = fold.after;
        if (line + 1 >= lines)
            break;
        if (foldStateBefore(line + 1) != stack.bits())
            setFoldStateBefore(line + 1, stack.bits());
        else if (line >= last)
            break; // the lines after see the blocks they saw before
        if (line >= last && line + 1 >= pending)
            break;
    }
    updateLineNumberWidth();
}

void TAdvEdit::foldBlockAtCaret(bool fold) {
    flushEdits();
    const int line = lineOfPosition(caretPosition());
    int head = line;
    const long level = SendScintilla(SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
    // Unfolding a folded head at the caret opens it; otherwise the caret's innermost block.
    if (!(level & SC_FOLDLEVELHEADERFLAG) ||
        (fold && !SendScintilla(SCI_GETFOLDEXPANDED, static_cast<unsigned long>(line))))
        head = int(SendScintilla(SCI_GETFOLDPARENT, static_cast<unsigned long>(line)));
    if (head < 0)
        return;
    SendScintilla(SCI_FOLDLINE, static_cast<unsigned long>(head),
                  long(fold ? SC_FOLDACTION_CONTRACT : SC_FOLDACTION_EXPAND));
    if (fold && line != head)
        setCaretPosition(lineStart(head)); // the caret's line is hidden now
}
