#include "core/script/CommentToggle.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QByteArrayList toggled(const QByteArrayList &lines) {
    const auto edits = commentToggleEdits(lines);
    QByteArrayList result = lines;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (edits[i])
            result[i].replace(edits[i]->column, edits[i]->removed, edits[i]->inserted);
    return result;
}

} // namespace

TEST(CommentToggle, FirstWordRemIsACommentedLine) {
    EXPECT_TRUE(startsWithRem("rem x"));
    EXPECT_TRUE(startsWithRem("  REM x"));
    EXPECT_TRUE(startsWithRem("rem"));
    EXPECT_FALSE(startsWithRem("remark x"));
    EXPECT_FALSE(startsWithRem("x rem y"));
    EXPECT_FALSE(startsWithRem("beginRem"));
    EXPECT_FALSE(startsWithRem(""));
}

TEST(CommentToggle, MixedLinesAreCommentedAndPressingAgainGivesThemBack) {
    const QByteArrayList lines{"ObjectTemplate.create Tank Sherman", "rem old", "x rem y", "",
                               "premium 1"};
    const QByteArrayList once = toggled(lines);
    EXPECT_EQ(once, (QByteArrayList{"rem ObjectTemplate.create Tank Sherman", "rem old",
                                    "rem x rem y", "", "rem premium 1"}));
    // Every line now starts with rem, so the same key uncomments; "rem old" was commented
    // before and loses its rem too, as in any editor's toggle.
    EXPECT_EQ(toggled(once), (QByteArrayList{"ObjectTemplate.create Tank Sherman", "old", "x rem y",
                                             "", "premium 1"}));
}

TEST(CommentToggle, UncommentTakesTheLeadingRemOnlyAndNeverTheLineEnd) {
    EXPECT_EQ(toggled({"  rem  indented", "rem", "Rem rem x"}),
              (QByteArrayList{"   indented", "", "rem x"}));
}

TEST(CommentToggle, BlankLinesFollowTheirNeighbours) {
    // Blank lines neither decide nor change; alone, they are commented as the caret's line.
    EXPECT_EQ(toggled({"rem a", "   ", "rem b"}), (QByteArrayList{"a", "   ", "b"}));
    EXPECT_EQ(toggled({"a", ""}), (QByteArrayList{"rem a", ""}));
    EXPECT_EQ(toggled({""}), (QByteArrayList{"rem "}));
    EXPECT_EQ(toggled({}), QByteArrayList{});
}
