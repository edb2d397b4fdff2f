#pragma once

#include <QByteArray>

// The editor's one text search: forward, letter case ignored, whole words only. Positions are
// byte offsets in the document; the text is 8-bit (Latin-1) and folded over all of it.
namespace marlix {

// Word characters: ASCII letters and digits, the underscore and the Latin-1 letters. Folding:
// the lower-case form of a Latin-1 byte.
struct ByteClasses {
    bool word[256];
    unsigned char fold[256];
};
const ByteClasses &byteClasses();

inline bool isWordByte(unsigned char c) {
    return byteClasses().word[c];
}
inline unsigned char foldByte(unsigned char c) {
    return byteClasses().fold[c];
}
// The word in folded form, for repeated searches of the same word.
QByteArray foldWord(const QByteArray &word);

// A view of the document's bytes. `offset` is the document position of data[0], so a caller
// may pass a small window of a large document; the word-boundary test looks one byte beyond
// the searched range on either side, so the window must hold those bytes where they exist.
// `documentLength` tells where the document ends.
struct TextView {
    const char *data = nullptr;
    qsizetype size = 0;
    qsizetype offset = 0;
    qsizetype documentLength = 0;

    static TextView whole(const char *data, qsizetype size) { return {data, size, 0, size}; }
    static TextView whole(const QByteArray &bytes) {
        return whole(bytes.constData(), bytes.size());
    }
};

// Searches for the word within [start, start + length), clipped at the end of the text. The
// match must be neither preceded nor followed directly by a word character. Returns the
// document position of the first match or -1. A negative start, an empty word or an empty
// range finds nothing.
qsizetype findWholeWord(const TextView &text, const QByteArray &word, qsizetype start,
                        qsizetype length);

// As findWholeWord, with the word already folded (foldWord).
qsizetype findFoldedWholeWord(const TextView &text, const QByteArray &foldedWord, qsizetype start,
                              qsizetype length);

// True when a match of `length` bytes at document position `pos` stands as a whole word.
bool isWholeWordAt(const TextView &text, qsizetype pos, qsizetype length);

} // namespace marlix
