#include "core/script/HighlightStyling.h"

#include "core/script/Remarks.h"

#include <algorithm>
#include <vector>

namespace marlix {

// The folded phrases in a trie, so that each text position walks only as far as some phrase
// agrees with the text there, however many phrases share a beginning.
class PhraseHighlighter::Trie {
public:
    explicit Trie(const std::vector<QByteArray> &folded) {
        std::fill(std::begin(m_root), std::end(m_root), -1);
        for (int id = 0; id < int(folded.size()); ++id) {
            const QByteArray &phrase = folded[id];
            if (phrase.isEmpty())
                continue;
            int node = m_root[static_cast<unsigned char>(phrase[0])];
            if (node < 0) {
                node = newNode();
                m_root[static_cast<unsigned char>(phrase[0])] = node;
            }
            for (qsizetype i = 1; i < phrase.size(); ++i) {
                const auto byte = static_cast<unsigned char>(phrase[i]);
                int next = child(node, byte);
                if (next < 0) {
                    next = newNode();
                    m_nodes[node].children.emplace_back(byte, next);
                }
                node = next;
            }
            m_nodes[node].ends.push_back(id);
        }
    }

    int root(unsigned char byte) const { return m_root[byte]; }
    int child(int node, unsigned char byte) const {
        for (const auto &[b, next] : m_nodes[node].children)
            if (b == byte)
                return next;
        return -1;
    }
    const std::vector<int> &ends(int node) const { return m_nodes[node].ends; }

private:
    struct Node {
        std::vector<std::pair<unsigned char, int>> children;
        std::vector<int> ends; // entries whose phrase ends here
    };
    int newNode() {
        m_nodes.emplace_back();
        return int(m_nodes.size() - 1);
    }
    int m_root[256];
    std::vector<Node> m_nodes;
};

qsizetype lineEndFrom(const TextView &text, qsizetype pos) {
    const qsizetype from = std::clamp<qsizetype>(pos - text.offset, 0, text.size);
    return text.offset + lineEndIn(text.data, from, text.size);
}

PhraseHighlighter::PhraseHighlighter(const QList<HighlightPhrase> &entries) : m_entries(entries) {
    std::vector<QByteArray> folded(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        folded[i] = foldWord(entries[i].phrase);
        if (folded[i] == "rem")
            m_remEntry = int(i);
    }
    m_trie = std::make_unique<Trie>(folded);
}

PhraseHighlighter::~PhraseHighlighter() = default;

QByteArray highlightStyles(const TextView &text, const QList<HighlightPhrase> &entries) {
    return PhraseHighlighter(entries).styles(text);
}

QByteArray PhraseHighlighter::styles(const TextView &text, bool blockOpenBefore,
                                     QList<bool> *openAfterLines) const {
    const QList<HighlightPhrase> &entries = m_entries;
    const Trie &trie = *m_trie;
    const qsizetype n = text.size;
    QByteArray out(n, '\0');
    char *const styled = out.data();
    const auto *data = reinterpret_cast<const unsigned char *>(text.data);
    const int count = int(entries.size());
    const ByteClasses &classes = byteClasses();

    std::vector<qsizetype> nextAllowed(count, 0);
    std::vector<qsizetype> paintedLineEnd(count, -1);
    std::vector<int> owner;
    std::vector<unsigned char> styleOf(static_cast<size_t>(count));
    for (int id = 0; id < count; ++id)
        styleOf[size_t(id)] = entries[id].style;
    bool blockOpen = blockOpenBefore;

    if (openAfterLines)
        openAfterLines->clear();
    // Every line, the empty one after a final line end included, as the editor counts them.
    for (qsizetype ls = 0;;) {
        const qsizetype le = lineEndIn(text.data, ls, n);
        const BlockMark mark = blockMarkOf(text.data + ls, le - ls);
        const bool inBlock = lineInBlock(blockOpen, mark);
        blockOpen = blockOpenAfter(blockOpen, mark);
        if (openAfterLines)
            openAfterLines->append(blockOpen);
        bool painted = false;
        if (inBlock && m_remEntry >= 0 && le > ls) {
            owner.assign(size_t(le - ls), m_remEntry);
            painted = true;
        }

        // Entry `id` matches the `len` bytes at p; it counts if it stands as a whole word and
        // does not overlap the previous occurrence of the same entry.
        auto take = [&](int id, qsizetype p, qsizetype len) {
            if (p < nextAllowed[id] || (p + len < n && classes.word[data[p + len]]))
                return;
            nextAllowed[id] = p + len;
            qsizetype end = p + len;
            if (entries[id].toLineEnd) {
                // An earlier occurrence of the same entry already coloured to this line end.
                if (paintedLineEnd[id] == le)
                    return;
                paintedLineEnd[id] = le;
                end = le;
            }
            if (!painted) {
                owner.assign(size_t(le - ls), -1);
                painted = true;
            }
            for (qsizetype j = p - ls; j < end - ls; ++j)
                owner[j] = std::max(owner[j], id);
        };

        // Phrases are looked for where a word starts: at the line's start and after a byte
        // that is not part of a word.
        bool afterWord = false;
        for (qsizetype p = ls; p < le; ++p) {
            const bool word = classes.word[data[p]];
            const bool start = !afterWord;
            afterWord = word;
            if (!start)
                continue;
            int node = trie.root(classes.fold[data[p]]);
            qsizetype len = 1;
            while (node >= 0) {
                for (int id : trie.ends(node))
                    take(id, p, len);
                if (p + len >= le)
                    break;
                node = trie.child(node, classes.fold[data[p + len]]);
                ++len;
            }
        }
        if (painted)
            for (qsizetype j = 0; j < le - ls; ++j)
                if (owner[size_t(j)] >= 0)
                    styled[ls + j] = static_cast<char>(styleOf[size_t(owner[size_t(j)])]);

        if (le >= n)
            break;
        ls = afterLineEnd(text.data, le, n);
    }
    return out;
}

} // namespace marlix
