#include "core/script/TextReplace.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QByteArray replaced(const QByteArray &text, const QByteArray &pattern, const QByteArray &with,
                    const SearchOptions &options, qsizetype *count = nullptr) {
    const TextSearch search(pattern, options);
    const ReplaceAllResult result = replaceAll(search, TextView::whole(text), with);
    EXPECT_TRUE(result.errorText.isEmpty()) << result.errorText.toStdString();
    if (count)
        *count = result.count();
    return applyEdits(text, result.edits);
}

const SearchOptions plain{false, false, false, true};
const SearchOptions regex{false, false, true, true};

} // namespace

TEST(TextReplace, ReplaceAllLeavesEveryByteOutsideTheMatchesAlone) {
    QByteArray text;
    for (int b = 0; b < 256; ++b) {
        text += static_cast<char>(b);
        text += "Scout";
    }
    qsizetype count = 0;
    const QByteArray out = replaced(text, "scout", "Tank", plain, &count);
    QByteArray expected;
    for (int b = 0; b < 256; ++b) {
        expected += static_cast<char>(b);
        expected += "Tank";
    }
    EXPECT_EQ(count, 256);
    EXPECT_EQ(out, expected);
    // The same through a regular expression.
    EXPECT_EQ(replaced(text, "sc(o)ut", "Tank", regex), expected);
}

TEST(TextReplace, GroupsAndEscapesInTheReplacement) {
    const SearchOptions whole{false, true, true, true};
    EXPECT_EQ(replaced("Part12 part7 party", "part(\\d+)", "Piece\\1_\\0", whole),
              QByteArray("Piece12_Part12 Piece7_part7 party"));
    EXPECT_EQ(replaced("a=b\r\nc=d", "(\\w)=(\\w)", "\\2\\t\\1\\\\\\n", regex),
              QByteArray("b\ta\\\n\r\nd\tc\\\n"));
    // A group that took no part gives nothing; an unknown escape stays as written.
    EXPECT_EQ(replaced("ab", "a(x)?b", "[\\1]\\q", regex), QByteArray("[]\\q"));
    // A plain search takes the replacement as typed.
    EXPECT_EQ(replaced("a.b", ".", "\\1", plain), QByteArray("a\\1b"));
    // Groups keep their high bytes.
    EXPECT_EQ(replaced("\xE9t\xE9 x", "(\\S+) (x)", "\\2 \\1", regex), QByteArray("x \xE9t\xE9"));
}

TEST(TextReplace, AGroupThePatternLacksIsAnErrorNotAnEmptyText) {
    const TextSearch search("(a)b", regex);
    const ReplaceAllResult result = replaceAll(search, TextView::whole(QByteArray("ab")), "\\2");
    EXPECT_FALSE(result.errorText.isEmpty());
    EXPECT_EQ(result.count(), 0);
    EXPECT_FALSE(replaceAt(search, TextView::whole(QByteArray("ab")), 0, "\\2").has_value());

    const TextSearch invalid("(", regex);
    EXPECT_EQ(replaceAll(invalid, TextView::whole(QByteArray("(")), "x").errorText,
              invalid.errorText());
}

TEST(TextReplace, ReplaceAtOnlyReplacesAMatchStartingThere) {
    const QByteArray text = "Part12 part7";
    const TextSearch search("part(\\d)", regex);
    const TextView view = TextView::whole(text);
    EXPECT_EQ(replaceAt(search, view, 7, "P\\1"), (TextEdit{7, 5, "P7"}));
    EXPECT_FALSE(replaceAt(search, view, 2, "P\\1").has_value());
}

TEST(TextReplace, ReplacementsThatGrowOrShrinkOrHoldTheMatchDoNotLoop) {
    EXPECT_EQ(replaced("aaa", "a", "aa", plain), QByteArray("aaaaaa"));
    EXPECT_EQ(replaced("aaaa", "aa", "", plain), QByteArray(""));
    qsizetype count = 0;
    EXPECT_EQ(replaced("x\r\ny\r\n", "$", ";", regex, &count), QByteArray("x\r\ny\r\n"));
    EXPECT_EQ(count, 0); // empty matches are never replaced
}

TEST(TextReplace, ReplaceAllWithinARange) {
    const QByteArray text = "a a a a";
    const TextSearch search("a", plain);
    const ReplaceAllResult result = replaceAll(search, TextView::whole(text), "b", 2, 5);
    EXPECT_EQ(applyEdits(text, result.edits), QByteArray("a b b a"));
}

TEST(TextReplace, CombinedEditGivesTheSameTextAsTheSingleEdits) {
    const QByteArray text("x\0a\x80"
                          "a\xFFy a",
                          9);
    const TextSearch search("a", plain);
    const ReplaceAllResult result = replaceAll(search, TextView::whole(text), "BB");
    const TextEdit one = combinedEdit(TextView::whole(text), result.edits);
    EXPECT_EQ(one.start, 2);
    EXPECT_EQ(one.length, 7);
    EXPECT_EQ(applyEdits(text, {one}), applyEdits(text, result.edits));
    EXPECT_EQ(applyEdits(text, {one}), QByteArray("x\0BB\x80"
                                                  "BB\xFFy BB",
                                                  12));
    EXPECT_EQ(combinedEdit(TextView::whole(text), {}), TextEdit{});
}

// Replace All replaced nothing and said nothing while Enter still found a match; replacing
// the matches before the place the engine gave up would leave the script half done.
TEST(TextReplace, ReplaceAllReplacesNothingWhenTheEngineGivesUp) {
    const QByteArray text = "x1\r\n" + QByteArray(30, 'a') + "b\r\nx2\r\n";
    const TextSearch search("x(\\d)|(a+)+$", regex);
    const ReplaceAllResult result = replaceAll(search, TextView::whole(text), "y\\1");
    EXPECT_TRUE(result.edits.isEmpty());
    EXPECT_EQ(result.errorText, "search stopped: pattern too complex at line 2");
    // Over the lines before it, all is replaced.
    const ReplaceAllResult before = replaceAll(search, TextView::whole(text), "y\\1", 0, 4);
    EXPECT_EQ(before.count(), 1);
    EXPECT_TRUE(before.errorText.isEmpty());
}
