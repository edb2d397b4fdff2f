#include "core/script/ObjectScan.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QList<QPair<QByteArray, QByteArray>> rows(const QByteArray &text) {
    QList<QPair<QByteArray, QByteArray>> result;
    for (const ObjectRow &row : scanObjects(TextView::whole(text)))
        result.append({row.type, row.name});
    return result;
}

using Rows = QList<QPair<QByteArray, QByteArray>>;

} // namespace

TEST(ObjectScan, RowsKeepTheTypesBlankAndTheRestOfTheLine) {
    EXPECT_EQ(rows("ObjectTemplate.create Vehicle Scout\r\n"
                   "objecttemplate.create Weapon ScoutCannon"),
              (Rows{{"Vehicle ", "Scout"}, {"Weapon ", "ScoutCannon"}}));
    EXPECT_EQ(rows("objecttemplate.create Wheel"), (Rows{{"", "Wheel"}}));
    EXPECT_EQ(rows("objecttemplate.create  Spaced Name x"), (Rows{{" ", "Spaced Name x"}}));
    EXPECT_EQ(rows("objecttemplate.create A B\nmyobjecttemplate.create C D"), (Rows{{"A ", "B"}}));
    EXPECT_EQ(rows("nothing"), Rows{});
}

TEST(ObjectScan, TextIsTakenFromTheKeywordsLineOnly) {
    EXPECT_EQ(rows("objecttemplate.create\r\nobjecttemplate.create Next One"),
              (Rows{{"Next ", "One"}}));
    EXPECT_EQ(rows("objecttemplate.create\nGeometry Name"), Rows{});
    EXPECT_EQ(rows("objecttemplate.create"), Rows{});
    EXPECT_EQ(rows("objecttemplate.create X\r"), (Rows{{"", "X"}}));
    EXPECT_EQ(rows("objecttemplate.create \r\nA B"), Rows{});
}

TEST(ObjectScan, PositionsAndTheLineThatFindsTheRowAgain) {
    const QByteArray text = "a\r\nObjectTemplate.create Vehicle Scout\r\nb";
    const QList<ObjectRow> found = scanObjects(TextView::whole(text));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].keyword, 3);
    EXPECT_EQ(found[0].textStart, 25);
    EXPECT_EQ(found[0].lineEnd, 38);
    const QByteArray line = objectLineText(found[0].type, found[0].name);
    EXPECT_EQ(line, QByteArray("objecttemplate.create Vehicle Scout"));
    EXPECT_EQ(findWholeWord(TextView::whole(text), line, 0, text.size()), 3);
}
