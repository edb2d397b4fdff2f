#include "core/script/HighlightStyling.h"

#include <algorithm>
#include <vector>

namespace marlix {

namespace {

// The folded phrases in a trie, so that each text position walks only as far as some phrase
// agrees with the text there, however many phrases share a beginning.
class PhraseTrie {
public:
    explicit PhraseTrie(const std::vector<QByteArray> &folded) {
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

} // namespace

qsizetype lineEndFrom(const TextView &text, qsizetype pos) {
    qsizetype end = text.offset + text.size;
    for (qsizetype p = pos; p < end; ++p) {
        const char c = text.data[p - text.offset];
        if (c == '\r' || c == '\n')
            return p;
    }
    return end;
}

QByteArray highlightStyles(const TextView &text, const QList<HighlightPhrase> &entries) {
    const qsizetype n = text.size;
    QByteArray out(n, '\0');
    const auto *data = reinterpret_cast<const unsigned char *>(text.data);
    const int count = int(entries.size());
    const ByteClasses &classes = byteClasses();

    std::vector<QByteArray> folded(count);
    for (int i = 0; i < count; ++i)
        folded[i] = foldWord(entries[i].phrase);
    const PhraseTrie trie(folded);

    std::vector<qsizetype> nextAllowed(count, 0);
    std::vector<qsizetype> paintedLineEnd(count, -1);
    std::vector<int> owner;

    qsizetype ls = 0;
    while (ls < n) {
        qsizetype le = ls;
        while (le < n && data[le] != '\r' && data[le] != '\n')
            ++le;
        bool painted = false;

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

        for (qsizetype p = ls; p < le; ++p) {
            if (p > 0 && classes.word[data[p - 1]])
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
                if (owner[j] >= 0)
                    out[ls + j] = static_cast<char>(entries[owner[j]].style);

        ls = le;
        if (ls < n && data[ls] == '\r' && ls + 1 < n && data[ls + 1] == '\n')
            ls += 2;
        else if (ls < n)
            ++ls;
    }
    return out;
}

} // namespace marlix
