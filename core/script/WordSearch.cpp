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

// Over a long stretch the search steps with memchr (many bytes at a time) to one byte of the
// word, the anchor, and compares only there: a byte without case (the dot of
// "objecttemplate.create") is one search; a letter is two, one for each case, and the letter
// rare in scripts is taken. Short stretches (a word at the caret) compare every position.
constexpr qsizetype anchoredSearchFrom = 4096;

struct Anchor {
    qsizetype at = -1;           // index in the word
    unsigned char bytes[2] = {}; // the raw bytes that fold to it
    int count = 0;
};

int caseRank(unsigned char folded) {
    // Letters from the rarest in script text to the commonest; other folded letters rank last.
    static constexpr char order[] = "zqjxkvwygfbhpumdclnsriaote";
    const char *at = std::strchr(order, folded);
    return folded && at ? int(at - order) : int(sizeof order);
}

Anchor anchorOf(const QByteArray &foldedWord) {
    Anchor best;
    int bestRank = 1 << 30;
    for (qsizetype k = 0; k < foldedWord.size(); ++k) {
        const auto f = static_cast<unsigned char>(foldedWord[k]);
        const bool ascii = f >= 'a' && f <= 'z';
        const bool latin = f >= 0xE0 && f != 0xF7 && f != 0xFF;
        if (!ascii && !latin) { // ÿ (0xFF) has no capital among the bytes either
            Anchor caseless;
            caseless.at = k;
            caseless.bytes[0] = f;
            caseless.count = 1;
            return caseless;
        }
        const int rank = latin ? -1 : caseRank(f); // an accented letter is rarer still
        if (rank >= bestRank)
            continue;
        bestRank = rank;
        best.at = k;
        best.bytes[0] = f;
        best.bytes[1] = static_cast<unsigned char>(f - 0x20);
        best.count = 2;
    }
    return best;
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
        if (const Anchor anchor = anchorOf(foldedWord); anchor.at >= 0) {
            const qsizetype k = anchor.at;
            // The anchor of every candidate start in [from, end - n] lies in [first, last).
            const unsigned char *first = data + (from + k - text.offset);
            const unsigned char *last = data + (end - n + 1 + k - text.offset);
            const auto next = [&](const unsigned char *at, int which) {
                return at < last ? static_cast<const unsigned char *>(
                                       std::memchr(at, anchor.bytes[which], size_t(last - at)))
                                 : nullptr;
            };
            const unsigned char *hits[2] = {next(first, 0),
                                            anchor.count > 1 ? next(first, 1) : nullptr};
            for (;;) {
                const int which = !hits[0] ? 1 : !hits[1] ? 0 : (hits[1] < hits[0] ? 1 : 0);
                const unsigned char *hit = hits[which];
                if (!hit)
                    return -1;
                const qsizetype pos = (hit - data) + text.offset - k;
                if (matchesAt(pos))
                    return pos;
                hits[which] = next(hit + 1, which);
            }
        }
    }
    for (qsizetype pos = from; pos + n <= end; ++pos)
        if (fold[data[pos - text.offset]] == w[0] && matchesAt(pos))
            return pos;
    return -1;
}

qsizetype findWholeWord(const TextView &text, const QByteArray &word, qsizetype start,
                        qsizetype length) {
    return findFoldedWholeWord(text, foldWord(word), start, length);
}

} // namespace marlix
