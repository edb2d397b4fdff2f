// The twin styles of long lines (TwinStyles.h) in the editor: twins take their original's
// colour, and a long line coloured anew alternates between the two again.
#include "editor/AdvEdit.h"

#include "platform/ScreenColor.h"
#include "editor/ScintillaText.h"
#include "core/script/TwinStyles.h"

using namespace marlix;

namespace {
// Pieces whose widths the control keeps, instead of its own 1024: a long line of joined
// scripts holds tens of thousands of different words, each in two styles. Some 3 MB, so only
// for a document that has a long line.
constexpr unsigned long manyPieces = 131072;

void keepManyWidths(QsciScintilla &editor) {
    if (editor.SendScintilla(QsciScintilla::SCI_GETPOSITIONCACHE) < long(manyPieces))
        editor.SendScintilla(QsciScintilla::SCI_SETPOSITIONCACHE, manyPieces);
}
} // namespace

void TAdvEdit::twinStyles(const TextView &text, QByteArray &styles) {
    if (twinLongLines(text, styles))
        keepManyWidths(*this);
}

void TAdvEdit::setStyleColour(int style, const QColor &color) {
    const long value = long(colorValue(color));
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(style), value);
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(twinStyle(style)), value);
}

void TAdvEdit::twinLineAt(qsizetype pos) {
    const int line = lineOfPosition(pos);
    const qsizetype from = lineStart(line);
    const qsizetype size = lineEnd(line) - from;
    if (size < twinLineBytes)
        return;
    keepManyWidths(*this);
    const QByteArray text = m_text->bytes(from, from + size);
    QByteArray styles = m_text->styles(from, from + size);
    const ByteSpan changed = alternateTwins(text.constData(), styles.data(), size);
    if (changed.to == changed.from)
        return;
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from + changed.from), 0L);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(changed.to - changed.from),
                  styles.constData() + changed.from);
}

void TAdvEdit::twinLoadedText(const QByteArray &text) {
    // Placing the caret lays out its line: a long one is measured word by word from the start.
    const QList<ByteSpan> lines = longLines(TextView::whole(text));
    if (!lines.isEmpty())
        keepManyWidths(*this);
    for (const ByteSpan &line : lines) {
        QByteArray styles(line.to - line.from, '\0');
        alternateTwins(text.constData() + line.from, styles.data(), styles.size());
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(line.from), 0L);
        SendScintilla(SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()),
                      styles.constData());
    }
}
