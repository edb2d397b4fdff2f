#pragma once

#include "core/script/WordSearch.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Twin styles for long lines. The control measures a line's text in pieces that end where the
// style changes or after about a hundred bytes of one style, and keeps the widths of pieces
// shorter than 30 bytes for reuse. A long line coloured in few styles (a comment to its end)
// is measured afresh, piece by piece, after every key: over a second on a 1 MB line. In a long
// line each word therefore alternates between its style and a twin that looks exactly the same,
// so every piece is one word whose widths the control already knows.
namespace marlix {

// Lines at least this long get twins; shorter ones are measured quickly enough as they are.
constexpr qsizetype twinLineBytes = 4096;
// The control keeps the widths of pieces shorter than this.
constexpr qsizetype measuredPieceBytes = 30;
// The twin of style s is s + twinOffset; the colour styles stay below it.
constexpr int twinOffset = 128;

constexpr int baseStyle(int style) {
    return style & (twinOffset - 1);
}
constexpr int twinStyle(int style) {
    return baseStyle(style) + twinOffset;
}

// The styles of one line, `styles` holding one byte per byte of `text`: each word (a byte
// other than space and tab after a space or tab begins one) takes the plain styles or their
// twins, alternating from the line's start. A twin boundary therefore only falls where a word
// wrap may break anyway, except in a line too long to be wrapped, where a long word is cut
// into pieces the control remembers as well. Returns the first and one past the last style byte it
// changed (equal when none).
struct ByteSpan {
    qsizetype from = 0;
    qsizetype to = 0;
};
ByteSpan alternateTwins(const char *text, char *styles, qsizetype size);

// What a line may take at most on screen, to tell the lines that can never reach the text
// area. Such a line is never broken by word wrap, so its twins may change anywhere in it: each
// word, number and sign becomes a piece of its own that the control has measured before,
// which spares it shaping the line's text again whenever it lays the line out (wrapping a
// whole script does that for every line).
// Only a script this large is cut so: wrapping a smaller one costs little, and its lines keep
// their plain styles.
constexpr qsizetype splitTwinDocumentBytes = 512 * 1024;

struct LineFit {
    int widestChar = 0; // the widest printable character
    int tabSpan = 0;    // the most a tab can take
    int wideByte = 0;   // a control byte (or 0x80-0x9F), drawn as a blob at most
    int areaWidth = 0;  // 0: no line counts as fitting

    bool fits(const char *text, qsizetype size) const;
    bool operator==(const LineFit &other) const {
        return widestChar == other.widestChar && tabSpan == other.tabSpan &&
               wideByte == other.wideByte && areaWidth == other.areaWidth;
    }
    bool operator!=(const LineFit &other) const { return !(*this == other); }
    // True when every line that fits `other` fits this one too.
    bool holdsAll(const LineFit &other) const;
};

// The styles of a line that fits: twins alternate at every change between letters, blanks and
// other bytes, and at every byte that is neither a letter nor a blank (digits, signs), so the
// pieces are words and single characters; a word of 30 letters or more is cut.
ByteSpan splitTwins(const char *text, char *styles, qsizetype size);

// The styles of one line of `size` bytes by its kind: lines that fit as splitTwins; long
// lines, and lines that may wrap once a text area is measured, as alternateTwins (their
// twins change only where word wrap may break them anyway); the rest without twins. Returns
// the bytes changed.
ByteSpan twinLine(const char *text, char *styles, qsizetype size, const LineFit &fit);

struct TwinResult {
    bool longLine = false; // some line of twinLineBytes or more
    ByteSpan changed;      // the first and one past the last style byte changed
};
// twinLine on every line of `text`; `styles` holds one byte per byte of text.
TwinResult twinLines(const TextView &text, QByteArray &styles, const LineFit &fit);

// The lines of `text` at least twinLineBytes long, line ends left out, counted from the
// view's first byte.
QList<ByteSpan> longLines(const TextView &text);

// alternateTwins on every long line of `text`; `styles` holds one byte per byte of text.
// Tells whether there was a long line.
bool twinLongLines(const TextView &text, QByteArray &styles);

} // namespace marlix
