#pragma once

#include "core/script/CompletionSession.h"
#include "core/script/WordSearch.h"

class QsciScintillaBase;

// The text of an editor control read in place: no copy of the whole document is made.
namespace marlix {

// The line state bit an editor keeps on each line: a beginRem block is open after the line.
constexpr int remBlockOpenState = 1;

class ScintillaText : public CompletionText {
public:
    explicit ScintillaText(const QsciScintillaBase &control) : m_control(control) {}

    qsizetype caret() const override;
    qsizetype size() const override;
    QByteArray bytes(qsizetype from, qsizetype to) const override;
    // Reads only the position's line, with the block state the editor keeps on the line before.
    bool inRemark(qsizetype pos) const override;
    // The style byte of each byte of the range, clamped to the text as bytes() is.
    QByteArray styles(qsizetype from, qsizetype to) const;
    // The whole text as a view; valid until the next edit.
    TextView whole() const;

private:
    const QsciScintillaBase &m_control;
};

} // namespace marlix
