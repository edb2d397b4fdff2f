#include "core/script/PartMatch.h"

namespace marlix {

namespace {

QList<int> run(qsizetype from, qsizetype length) {
    QList<int> letters;
    letters.reserve(length);
    for (qsizetype i = 0; i < length; ++i)
        letters.append(int(from + i));
    return letters;
}

// The positions of the typed letters in order, earliest first; empty when they are not all
// there.
QList<int> lettersInOrder(const QString &item, const QString &typed) {
    QList<int> letters;
    qsizetype at = 0;
    for (const QChar c : typed) {
        const qsizetype found = item.indexOf(c, at, Qt::CaseInsensitive);
        if (found < 0)
            return {};
        letters.append(int(found));
        at = found + 1;
    }
    return letters;
}

} // namespace

QList<ItemMatch> matchItems(const QStringList &items, const QString &typed) {
    QList<ItemMatch> beginning, containing, inOrder;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString &item = items[i];
        if (typed.isEmpty()) {
            beginning.append(ItemMatch{int(i), {}});
            continue;
        }
        if (typed.size() > item.size())
            continue;
        const qsizetype at = item.indexOf(typed, 0, Qt::CaseInsensitive);
        if (at == 0) {
            beginning.append(ItemMatch{int(i), run(0, typed.size())});
        } else if (at > 0) {
            containing.append(ItemMatch{int(i), run(at, typed.size())});
        } else {
            QList<int> letters = lettersInOrder(item, typed);
            if (!letters.isEmpty())
                inOrder.append(ItemMatch{int(i), std::move(letters)});
        }
    }
    beginning.append(containing);
    beginning.append(inOrder);
    return beginning;
}

} // namespace marlix
