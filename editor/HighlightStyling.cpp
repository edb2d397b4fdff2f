#include "editor/HighlightStyling.h"

#include <algorithm>
#include <vector>

namespace marlix {

namespace {

// Entries grouped by the folded first byte (one-byte phrases) or first two bytes (longer
// ones), so each text position looks only at the phrases that can start there.
struct Buckets {
    std::vector<int> start;
    std::vector<int> ids;

    Buckets(int keys, const std::vector<std::pair<int, int>> &keyed) : start(keys + 1, 0) {
        for (const auto &[key, id] : keyed)
            ++start[key + 1];
        for (int k = 0; k < keys; ++k)
            start[k + 1] += start[k];
        ids.resize(keyed.size());
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (const auto &[key, id] : keyed)
            ids[fill[key]++] = id;
    }
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

    std::vector<QByteArray> folded(count);
    std::vector<std::pair<int, int>> keyed1, keyed2;
    for (int i = 0; i < count; ++i) {
        folded[i] = foldWord(entries[i].phrase);
        const auto *w = reinterpret_cast<const unsigned char *>(folded[i].constData());
        if (folded[i].size() == 1)
            keyed1.emplace_back(w[0], i);
        else if (folded[i].size() > 1)
            keyed2.emplace_back((w[0] << 8) | w[1], i);
    }
    const Buckets one(256, keyed1), two(65536, keyed2);

    std::vector<qsizetype> nextAllowed(count, 0);
    std::vector<qsizetype> paintedLineEnd(count, -1);
    std::vector<int> owner;

    qsizetype ls = 0;
    while (ls < n) {
        qsizetype le = ls;
        while (le < n && data[le] != '\r' && data[le] != '\n')
            ++le;
        bool painted = false;

        auto tryEntry = [&](int id, qsizetype p, int known) {
            const qsizetype len = folded[id].size();
            if (p < nextAllowed[id] || p + len > le)
                return;
            const auto *w = reinterpret_cast<const unsigned char *>(folded[id].constData());
            for (qsizetype i = known; i < len; ++i)
                if (foldByte(data[p + i]) != w[i])
                    return;
            if (p + len < n && isWordByte(data[p + len]))
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
            if (p > 0 && isWordByte(data[p - 1]))
                continue;
            const unsigned char b0 = foldByte(data[p]);
            for (int k = one.start[b0]; k < one.start[b0 + 1]; ++k)
                tryEntry(one.ids[k], p, 1);
            if (p + 1 < le) {
                const int key = (b0 << 8) | foldByte(data[p + 1]);
                for (int k = two.start[key]; k < two.start[key + 1]; ++k)
                    tryEntry(two.ids[k], p, 2);
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
