#include "core/modindex/NearNames.h"

#include "core/script/WordSearch.h"

#include <QVarLengthArray>
#include <algorithm>

namespace marlix {

int editDistance(const QByteArray &a, const QByteArray &b, int limit) {
    const int n = int(a.size()), m = int(b.size());
    if (std::abs(n - m) > limit)
        return limit + 1;
    // Two rows of the table, swapped by pointer; names are short, so they live on the stack.
    QVarLengthArray<int, 256> rows(2 * (m + 1));
    int *previous = rows.data(), *current = rows.data() + m + 1;
    for (int j = 0; j <= m; ++j)
        previous[j] = j;
    const auto &fold = byteClasses().fold;
    QVarLengthArray<unsigned char, 128> folded(m);
    for (int j = 0; j < m; ++j)
        folded[j] = fold[(unsigned char)b[j]];
    const unsigned char *pb = folded.constData();
    for (int i = 1; i <= n; ++i) {
        current[0] = i;
        int best = i;
        const unsigned char ca = fold[(unsigned char)a[i - 1]];
        for (int j = 1; j <= m; ++j) {
            const int change = previous[j - 1] + (ca == pb[j - 1] ? 0 : 1);
            const int value = std::min(change, std::min(previous[j], current[j - 1]) + 1);
            current[j] = value;
            best = std::min(best, value);
        }
        if (best > limit)
            return limit + 1;
        std::swap(previous, current);
    }
    return std::min(previous[m], limit + 1);
}

QByteArrayList nearestNames(const QByteArray &word, const QByteArrayList &candidates, int limit,
                            int count) {
    struct Near {
        int distance;
        int order;
    };
    QList<Near> found;
    for (int i = 0; i < candidates.size(); ++i) {
        const int distance = editDistance(word, candidates[i], limit);
        if (distance > 0 && distance <= limit)
            found.append({distance, i});
    }
    std::sort(found.begin(), found.end(), [](const Near &x, const Near &y) {
        return x.distance != y.distance ? x.distance < y.distance : x.order < y.order;
    });
    QByteArrayList names;
    for (int i = 0; i < found.size() && i < count; ++i)
        names.append(candidates[found[i].order]);
    return names;
}

} // namespace marlix
