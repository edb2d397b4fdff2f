#include "core/script/WordSearch.h"

#include <array>
#include <cstring>

namespace marlix {

namespace {

ByteClasses makeClasses() {
    ByteClasses t{};
    for (int c = 0; c < 256; ++c) {
        const bool asciiWord =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        // Latin-1 letters: ª µ º and the accented range without × and ÷.
        const bool latinLetter =
            c == 0xAA || c == 0xB5 || c == 0xBA || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
        t.word[c] = asciiWord || latinLetter;
        unsigned char f = static_cast<unsigned char>(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            f = static_cast<unsigned char>(c + 0x20);
        t.fold[c] = f;
    }
    return t;
}

// A folded byte that only one raw byte folds to: no letter with two cases.
bool isCaseless(unsigned char folded) {
    return !(folded >= 'a' && folded <= 'z') && !(folded >= 0xE0 && folded != 0xF7);
}

// Over a long stretch, the word's first caseless byte (the dot of
// "objecttemplate.create") is looked for with memchr, which steps over bytes many at a time;
// the comparison of every position stays for short stretches and for words of letters only.
constexpr qsizetype anchoredSearchFrom = 4096;

qsizetype anchorOf(const QByteArray &foldedWord) {
    for (qsizetype k = 0; k < foldedWord.size(); ++k)
        if (isCaseless(static_cast<unsigned char>(foldedWord[k])))
            return k;
    return -1;
}

} // namespace

const ByteClasses &byteClasses() {
    static const ByteClasses classes = makeClasses();
    return classes;
}

QByteArray foldWord(const QByteArray &word) {
    QByteArray folded(word.size(), Qt::Uninitialized);
    const auto &fold = byteClasses().fold;
    for (qsizetype i = 0; i < word.size(); ++i)
        folded[i] = static_cast<char>(fold[static_cast<unsigned char>(word[i])]);
    return folded;
}

bool isWholeWordAt(const TextView &text, qsizetype pos, qsizetype length) {
    const auto &word = byteClasses().word;
    const qsizetype before = pos - 1 - text.offset;
    if (pos > 0 && before >= 0 && before < text.size &&
        word[static_cast<unsigned char>(text.data[before])])
        return false;
    const qsizetype after = pos + length - text.offset;
    if (pos + length < text.documentLength && after >= 0 && after < text.size &&
        word[static_cast<unsigned char>(text.data[after])])
        return false;
    return true;
}

qsizetype findFoldedWholeWord(const TextView &text, const QByteArray &foldedWord, qsizetype start,
                              qsizetype length) {
    const qsizetype n = foldedWord.size();
    if (start < 0 || n == 0 || length <= 0)
        return -1;
    qsizetype end = start + length;
    if (end > text.documentLength)
        end = text.documentLength;
    // Only the bytes the view holds can be compared.
    if (end > text.offset + text.size)
        end = text.offset + text.size;
    qsizetype from = start < text.offset ? text.offset : start;
    const auto &fold = byteClasses().fold;
    const auto *data = reinterpret_cast<const unsigned char *>(text.data);
    const auto *w = reinterpret_cast<const unsigned char *>(foldedWord.constData());
    const auto matchesAt = [&](qsizetype pos) {
        const unsigned char *p = data + (pos - text.offset);
        qsizetype i = 0;
        while (i < n && fold[p[i]] == w[i])
            ++i;
        return i == n && isWholeWordAt(text, pos, n);
    };
    if (end - from >= anchoredSearchFrom) {
        if (const qsizetype k = anchorOf(foldedWord); k >= 0) {
            for (qsizetype pos = from; pos + n <= end;) {
                const auto *hit = static_cast<const unsigned char *>(
                    std::memchr(data + (pos + k - text.offset), w[k], size_t(end - n + 1 - pos)));
                if (!hit)
                    return -1;
                pos = (hit - data) + text.offset - k;
                if (matchesAt(pos))
                    return pos;
                ++pos;
            }
            return -1;
        }
    }
    for (qsizetype pos = from; pos + n <= end; ++pos) {
        const unsigned char *p = data + (pos - text.offset);
        if (fold[p[0]] != w[0])
            continue;
        qsizetype i = 1;
        while (i < n && fold[p[i]] == w[i])
            ++i;
        if (i == n && isWholeWordAt(text, pos, n))
            return pos;
    }
    return -1;
}

qsizetype findWholeWord(const TextView &text, const QByteArray &word, qsizetype start,
                        qsizetype length) {
    return findFoldedWholeWord(text, foldWord(word), start, length);
}

} // namespace marlix
