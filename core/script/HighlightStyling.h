#pragma once

#include "core/script/WordSearch.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstring>
#include <memory>

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
// The lines of a beginRem block (Remarks.h) take the colour of the entry whose phrase is "rem"
// (the last such), as if that entry coloured them from their start; later entries still paint
// over it, as they do on a rem line.
QByteArray highlightStyles(const TextView &text, const QList<HighlightPhrase> &entries);

// The same for a table set up once and used for many pieces of text, such as the lines each
// edit touches. A piece is whole lines; `blockOpenBefore` says whether a block is open at its
// start, and `openAfterLines`, when given, receives for each line whether one is open after it.
class PhraseHighlighter {
public:
    explicit PhraseHighlighter(const QList<HighlightPhrase> &entries);
    ~PhraseHighlighter();
    PhraseHighlighter(const PhraseHighlighter &) = delete;
    PhraseHighlighter &operator=(const PhraseHighlighter &) = delete;

    QByteArray styles(const TextView &text, bool blockOpenBefore = false,
                      QList<bool> *openAfterLines = nullptr) const;

private:
    class Trie;
    QList<HighlightPhrase> m_entries;
    int m_remEntry = -1;
    std::unique_ptr<Trie> m_trie;
};

// The first CR or LF of data[from, size), or `size`.
inline qsizetype lineEndIn(const char *data, qsizetype from, qsizetype size) {
    // Eight bytes at a time while none of them is a line end: a byte of a word is zero where
    // the byte equals the one looked for, and subtracting one from it then borrows into its
    // top bit.
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t tops = 0x8080808080808080ULL;
    const auto holds = [](std::uint64_t word, std::uint64_t bytes) {
        const std::uint64_t x = word ^ bytes;
        return ((x - ones) & ~x & tops) != 0;
    };
    while (from + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, data + from, 8);
        if (holds(word, '\n' * ones) || holds(word, '\r' * ones))
            break;
        from += 8;
    }
    // Most bytes are printable: one comparison tells them from both line end bytes.
    while (from < size && (static_cast<unsigned char>(data[from]) > '\r' ||
                           (data[from] != '\r' && data[from] != '\n')))
        ++from;
    return from;
}

// The position after the line end at `end` (CR, LF or CR LF), or `size` at the end.
inline qsizetype afterLineEnd(const char *data, qsizetype end, qsizetype size) {
    if (end >= size)
        return size;
    return end + (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
}

// The end of the document line that holds `pos`: the position of its CR or LF, or the end of
// the text.
qsizetype lineEndFrom(const TextView &text, qsizetype pos);

} // namespace marlix
