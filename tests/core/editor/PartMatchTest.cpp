#include "core/script/PartMatch.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QStringList names(const QStringList &items, const QString &typed) {
    QStringList result;
    for (const ItemMatch &m : matchItems(items, typed))
        result.append(items[m.item]);
    return result;
}

} // namespace

TEST(PartMatch, BeginningThenContainingThenLettersInOrder) {
    const QStringList items{"Sherman_Hull", "M4_Sherman", "ShermanTurret", "Tiger", "shore"};
    // "sherman" begins two names and stands inside one; case is ignored.
    EXPECT_EQ(names(items, "SHERMAN"),
              (QStringList{"Sherman_Hull", "ShermanTurret", "M4_Sherman"}));
    // Letters in order find every Sherman, "shore" lacks the m.
    EXPECT_EQ(names(items, "shrm"), (QStringList{"Sherman_Hull", "M4_Sherman", "ShermanTurret"}));
    EXPECT_EQ(names(items, "q"), QStringList{});
    EXPECT_EQ(names(items, ""), items);
    EXPECT_EQ(names(items, "Sherman_Hull_Extra"), QStringList{});
}

TEST(PartMatch, MatchedLettersAreThoseShown) {
    const QStringList items{"Sherman", "M4_Sherman", "sHeRmAn"};
    const QList<ItemMatch> m = matchItems(items, "shrm");
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m[0].letters, QList<int>({0, 1, 3, 4}));
    EXPECT_EQ(m[1].letters, QList<int>({3, 4, 6, 7}));
    const QList<ItemMatch> inside = matchItems(items, "erm");
    ASSERT_EQ(inside.size(), 3);
    EXPECT_EQ(inside[1].item, 1);
    EXPECT_EQ(inside[1].letters, QList<int>({5, 6, 7}));
    EXPECT_TRUE(matchItems(items, "")[0].letters.isEmpty());
}
