#pragma once

#include <QtGlobal>

// When word wrap can change the view at all. Wrapping lays out every line of the document in
// the background, which costs seconds on a large script; it is only needed where some line can
// be wider than the text area.
namespace marlix {

// Lines at least this long are shown unwrapped, with a horizontal scroll bar: wrapping one of
// them costs more than a key may take.
constexpr qsizetype unwrappedLineBytes = 100000;

// What the bytes of a text need from the view: its longest line in bytes (CR and LF end a
// line), the most tabs in one line, and whether it holds bytes drawn wider than a letter
// (control bytes, shown as mnemonic blobs).
struct LineSpan {
    qsizetype longest = 0;
    qsizetype mostTabs = 0;
    bool wideBytes = false;

    void include(const LineSpan &other);
};

LineSpan measureLines(const char *data, qsizetype size);

enum class WrapChoice {
    None,           // no line can reach the text area's width: wrapping would change nothing
    Word,           // some line may be wider than the area: wrap at words
    ScrollUnwrapped // a line too long to wrap quickly: unwrapped, with a horizontal scroll bar
};

// `widestChar` is the width in pixels of the widest character the text can hold, `tabSpan` the
// most a tab can take (a whole tab stop).
WrapChoice chooseWrap(const LineSpan &lines, int widestChar, int tabSpan, int areaWidth);

} // namespace marlix
