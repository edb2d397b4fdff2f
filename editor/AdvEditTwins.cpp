// The twin styles (TwinStyles.h) in the editor: twins take their original's colour, and a line
// coloured or edited anew alternates between the two again, by the lines that fit the text
// area now.
#include "editor/AdvEdit.h"

#include "core/script/TwinStyles.h"
#include "editor/ScintillaText.h"
#include "editor/WrapSwitch.h"
#include "platform/ScreenColor.h"

#include <algorithm>

using namespace marlix;

namespace {
// Pieces whose widths the control keeps, instead of its own 1024: a large script cut into
// words and signs holds tens of thousands of different pieces, each in two styles, and a long
// line of joined scripts as many. Each costs a few dozen bytes whether used or not, so a
// script gets room by its size.
constexpr unsigned long manyPieces = 131072;
constexpr unsigned long fewPieces = 4096;

void keepWidths(QsciScintilla &editor, unsigned long pieces) {
    if (editor.SendScintilla(QsciScintilla::SCI_GETPOSITIONCACHE) < long(pieces))
        editor.SendScintilla(QsciScintilla::SCI_SETPOSITIONCACHE, pieces);
}

void keepWidthsFor(QsciScintilla &editor, qsizetype bytes, bool longLine) {
    const auto bySize = static_cast<unsigned long>(bytes / 256);
    keepWidths(editor, longLine ? manyPieces : std::clamp(bySize, fewPieces, manyPieces));
}
} // namespace

void TAdvEdit::twinStyles(const TextView &text, QByteArray &styles, qsizetype documentBytes) {
    const TwinResult result = twinLines(text, styles, m_wrap->lineFit());
    keepTwinWidths(documentBytes < 0 ? text.size : documentBytes, result.longLine);
}

void TAdvEdit::keepTwinWidths(qsizetype documentBytes, bool longLine) {
    keepWidthsFor(*this, documentBytes, longLine);
}

void TAdvEdit::initTwins() {
    connect(m_wrap, &WrapSwitch::lineFitChanged, this, &TAdvEdit::retwinAll);
    connect(m_wrap, &WrapSwitch::textChanged, this, [this](qsizetype from, qsizetype to) {
        // Typed or pasted text arrives in one style, and a line may have grown too long to
        // keep twins inside its words.
        const int first = lineOfPosition(from);
        const int last = lineOfPosition(to);
        retwinRange(lineStart(first), lineEnd(last));
    });
}

void TAdvEdit::retwinAll() {
    // A large script is twinned anew in slices, the lines in view at once.
    if (startLinePass(false)) {
        colorLinesInView();
        return;
    }
    retwinRange(0, SendScintilla(SCI_GETLENGTH));
}

void TAdvEdit::retwinRange(qsizetype from, qsizetype to, qsizetype documentBytes) {
    if (to <= from)
        return;
    const QByteArray text = m_text->bytes(from, to);
    QByteArray styles = m_text->styles(from, to);
    const TwinResult result = twinLines(TextView::whole(text), styles, m_wrap->lineFit());
    if (documentBytes >= 0)
        keepWidthsFor(*this, documentBytes, result.longLine);
    else if (result.longLine)
        keepWidths(*this, manyPieces);
    if (result.changed.to == result.changed.from)
        return;
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from + result.changed.from), 0L);
    SendScintilla(SCI_SETSTYLINGEX,
                  static_cast<unsigned long>(result.changed.to - result.changed.from),
                  styles.constData() + result.changed.from);
}

void TAdvEdit::setStyleColor(int style, const QColor &color) {
    const long value = long(colorValue(color));
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(style), value);
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(twinStyle(style)), value);
}

void TAdvEdit::twinLineAt(qsizetype pos) {
    const int line = lineOfPosition(pos);
    retwinRange(lineStart(line), lineEnd(line));
}

void TAdvEdit::twinLoadedText(const QByteArray &text) {
    // Placing the caret lays out its line: a long one is measured word by word from the start.
    QByteArray styles(text.size(), '\0');
    const TwinResult result = twinLines(TextView::whole(text), styles, m_wrap->lineFit());
    keepWidthsFor(*this, text.size(), result.longLine);
    if (result.changed.to == result.changed.from)
        return;
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(result.changed.from), 0L);
    SendScintilla(SCI_SETSTYLINGEX,
                  static_cast<unsigned long>(result.changed.to - result.changed.from),
                  styles.constData() + result.changed.from);
}
