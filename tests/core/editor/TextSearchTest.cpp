#include "core/script/TextSearch.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

SearchOptions opts(bool matchCase, bool wholeWord, bool regex, bool wrap = true) {
    return {matchCase, wholeWord, regex, wrap};
}

QList<qsizetype> starts(const TextSearch &search, const QByteArray &text) {
    QList<qsizetype> result;
    for (const SearchMatch &m : search.findAll(TextView::whole(text), 0, text.size()))
        result.append(m.start);
    return result;
}

using Starts = QList<qsizetype>;

} // namespace

TEST(TextSearch, EmptyAndInvalidPatternsSayWhy) {
    const TextSearch empty(QByteArray(), opts(false, false, false));
    EXPECT_FALSE(empty.isValid());
    EXPECT_FALSE(empty.errorText().isEmpty());
    EXPECT_FALSE(empty.findNext(TextView::whole(QByteArray("abc")), 0).found());

    const TextSearch broken("ab(c", opts(false, false, true));
    EXPECT_FALSE(broken.isValid());
    EXPECT_TRUE(broken.errorText().contains("regular expression"))
        << broken.errorText().toStdString();
    EXPECT_TRUE(broken.errorText().contains("5")) << broken.errorText().toStdString();
    EXPECT_EQ(broken.count(TextView::whole(QByteArray("ab(c"))), 0);

    // The same text as a plain search is fine.
    EXPECT_EQ(
        TextSearch("ab(c", opts(false, false, false)).count(TextView::whole(QByteArray("ab(c"))),
        1);
}

TEST(TextSearch, CaseFoldsOverLatin1AndMatchCaseKeepsIt) {
    const QByteArray text = "Scout SCOUT scout \xC9t\xE9 \xE9T\xC9";
    EXPECT_EQ(starts(TextSearch("scout", opts(false, false, false)), text), (Starts{0, 6, 12}));
    EXPECT_EQ(starts(TextSearch("scout", opts(true, false, false)), text), (Starts{12}));
    EXPECT_EQ(starts(TextSearch("\xE9t\xE9", opts(false, false, false)), text), (Starts{18, 22}));
    EXPECT_EQ(starts(TextSearch("\xE9t\xE9", opts(true, false, false)), text), (Starts{}));
    // A regular expression folds the same letters.
    EXPECT_EQ(starts(TextSearch("\xE9t.", opts(false, false, true)), text), (Starts{18, 22}));
    EXPECT_EQ(starts(TextSearch("sc[o]ut", opts(true, false, true)), text), (Starts{12}));
}

TEST(TextSearch, WholeWordUsesTheWordCharactersOfTheEditor) {
    const QByteArray text = "scout Scouts my_scout \xE0scout scout2 (scout) \xD7scout";
    for (bool regex : {false, true}) {
        const TextSearch search("scout", opts(false, true, regex));
        EXPECT_EQ(starts(search, text), (Starts{0, 37, 45})) << regex;
    }
    // The expression backtracks to an alternative that stands as a whole word.
    EXPECT_EQ(starts(TextSearch("ab|abc", opts(false, true, true)), "abc ab"), (Starts{0, 4}));
    // Without whole word a word inside a word matches.
    EXPECT_EQ(starts(TextSearch("scout", opts(false, false, false)), "Scouts"), (Starts{0}));
}

TEST(TextSearch, NextAndPreviousWrapAroundOrStop) {
    const QByteArray text = "rem a\r\nrem b\r\nrem c";
    const TextView view = TextView::whole(text);
    const TextSearch wrap("rem", opts(false, false, false));
    EXPECT_EQ(wrap.findNext(view, 1), (SearchMatch{7, 3, false}));
    EXPECT_EQ(wrap.findNext(view, 15), (SearchMatch{0, 3, true}));
    EXPECT_EQ(wrap.findPrevious(view, 7), (SearchMatch{0, 3, false}));
    EXPECT_EQ(wrap.findPrevious(view, 0), (SearchMatch{14, 3, true}));

    const TextSearch stop("rem", opts(false, false, false, false));
    EXPECT_FALSE(stop.findNext(view, 15).found());
    EXPECT_FALSE(stop.findPrevious(view, 0).found());

    // The same through a regular expression, whose previous match is found near the caret.
    const TextSearch regex("r.m", opts(false, false, true));
    EXPECT_EQ(regex.findNext(view, 15), (SearchMatch{0, 3, true}));
    EXPECT_EQ(regex.findPrevious(view, 14), (SearchMatch{7, 3, false}));
    EXPECT_EQ(regex.findPrevious(view, 0), (SearchMatch{14, 3, true}));
}

TEST(TextSearch, PreviousInALargeTextFindsTheNearestMatch) {
    QByteArray text(100000, 'x');
    text.replace(10, 4, "word");
    text.replace(60000, 4, "word");
    const TextView view = TextView::whole(text);
    const TextSearch regex("wor[d]", opts(false, false, true));
    EXPECT_EQ(regex.findPrevious(view, 99999).start, 60000);
    EXPECT_EQ(regex.findPrevious(view, 60000).start, 10);
    const TextSearch plain("word", opts(false, false, false));
    EXPECT_EQ(plain.findPrevious(view, 60003).start, 60000);
    EXPECT_EQ(plain.findPrevious(view, 60000).start, 10);
}

TEST(TextSearch, LinesAnchorsAndEmptyMatches) {
    const QByteArray text = "endIf\r\n  endIf x\rendIf\nendif";
    const TextSearch anchored("^endif$", opts(false, false, true));
    EXPECT_EQ(starts(anchored, text), (Starts{0, 17, 23}));
    // "." never takes a line end, so a match stays on its line.
    EXPECT_EQ(
        TextSearch("If.", opts(true, false, true)).findAll(TextView::whole(text), 0, 99).size(), 1);
    // A pattern that matches nothing finds nothing, instead of every position.
    EXPECT_EQ(TextSearch("^", opts(false, false, true)).count(TextView::whole(text)), 0);
    EXPECT_EQ(starts(TextSearch("x*", opts(false, false, true)), "axxbx"), (Starts{1, 4}));
}

TEST(TextSearch, NulAndHighBytesAreOrdinaryCharacters) {
    const QByteArray text("a\0b\x80\xFF"
                          "a\0b",
                          8);
    EXPECT_EQ(starts(TextSearch(QByteArray("a\0b", 3), opts(true, false, false)), text),
              (Starts{0, 5}));
    EXPECT_EQ(starts(TextSearch("\\x{80}\\x{ff}", opts(true, false, true)), text), (Starts{3}));
    EXPECT_EQ(starts(TextSearch("b.", opts(true, false, true)), text), (Starts{2}));
}

TEST(TextSearch, MatchAtTellsWhetherTheSelectionStillMatches) {
    const QByteArray text = "Part12 part7 party";
    const TextView view = TextView::whole(text);
    const TextSearch search("part\\d+", opts(false, true, true));
    EXPECT_EQ(search.matchAt(view, 0), (SearchMatch{0, 6, false}));
    EXPECT_EQ(search.matchAt(view, 7), (SearchMatch{7, 5, false}));
    EXPECT_FALSE(search.matchAt(view, 1).found());
    EXPECT_FALSE(search.matchAt(view, 13).found());
    EXPECT_FALSE(search.matchAt(view, 99).found());
}

TEST(TextSearch, AWindowOfTheDocumentGivesDocumentPositions) {
    const QByteArray document = "scout one\r\nscout two\r\nscout three";
    // The window holds the second line and the line ends around it.
    const TextView window{document.constData() + 9, 13, 9, document.size()};
    const TextSearch search("scout", opts(false, true, false));
    EXPECT_EQ(search.findAll(window, 0, document.size()), (QList<SearchMatch>{{11, 5, false}}));
    const TextSearch regex("sc\\w+", opts(false, true, true));
    EXPECT_EQ(regex.findAll(window, 0, document.size()), (QList<SearchMatch>{{11, 5, false}}));
    EXPECT_EQ(search.findAll(window, 12, 20).size(), 0); // matches must start in the range
}

TEST(TextSearch, WholeWordHoldsForAPatternThatCannotBeWrapped) {
    // An extended-mode comment runs to the end of the pattern and would swallow a wrapper.
    const TextSearch search("(?x) scout # the word", opts(false, true, true));
    ASSERT_TRUE(search.isValid());
    EXPECT_EQ(starts(search, "scouts scout"), (Starts{7}));
    EXPECT_EQ(search.matchAt(TextView::whole(QByteArray("scouts")), 0), SearchMatch{});
}

namespace {
// Lines on which "(a+)+$" backtracks twice as long for every further "a".
QByteArray hopelessLines(qsizetype bytes) {
    QByteArray text;
    while (text.size() < bytes)
        text += QByteArray(40, 'a') + "b\r\n";
    return text;
}
} // namespace

// "(a+)+$" over 25 KB of such lines held the window for minutes, and then said "No matches".
TEST(TextSearch, PatternTooComplexStopsTheSearchAndSaysWhere) {
    const QByteArray text = hopelessLines(25 * 1024);
    const TextSearch search("(a+)+$", opts(false, false, true));
    QElapsedTimer clock;
    clock.start();
    qsizetype stopped = -1;
    EXPECT_EQ(search.count(TextView::whole(text), &stopped), 0);
    EXPECT_EQ(stopped, 0);
    const SearchMatch next = search.findNext(TextView::whole(text), 100);
    EXPECT_FALSE(next.found());
    EXPECT_EQ(lineNumberAt(TextView::whole(text), next.stoppedAt), 3);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(searchStoppedText(3), "search stopped: pattern too complex at line 3");
}

// Matches before the place given up are found; the search never jumps past it, forward or
// back, nor round the end.
TEST(TextSearch, SearchNeverPassesThePlaceTheEngineGaveUp) {
    const QByteArray text = "x1\r\nx2\r\n" + QByteArray(30, 'a') + "b\rx3\nx4";
    const TextView view = TextView::whole(text);
    const TextSearch search("x\\d|(a+)+$", opts(false, false, true));
    qsizetype stopped = -1;
    const QList<SearchMatch> all = search.findAll(view, 0, text.size(), &stopped);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1].start, 4);
    EXPECT_EQ(stopped, 8);
    EXPECT_EQ(lineNumberAt(view, stopped), 3);
    EXPECT_EQ(search.findNext(view, 0).start, 0);
    const SearchMatch blocked = search.findNext(view, 6);
    EXPECT_FALSE(blocked.found());
    EXPECT_EQ(blocked.stoppedAt, 8);
    // Going back from the end, x4 and x3 lie after the place and are found; from x3 on, not.
    const qsizetype x3 = text.indexOf("x3");
    EXPECT_EQ(search.findPrevious(view, text.size()).start, text.indexOf("x4"));
    EXPECT_EQ(search.findPrevious(view, x3 + 1).start, x3);
    const SearchMatch back = search.findPrevious(view, x3);
    EXPECT_FALSE(back.found());
    EXPECT_EQ(lineNumberAt(view, back.stoppedAt), 3);
    // A range that ends before the place is searched whole.
    EXPECT_EQ(search.findAll(view, 0, 8, &stopped).size(), 2);
    EXPECT_EQ(stopped, -1);
    // Plain text never stops.
    EXPECT_EQ(TextSearch("aaa", opts(false, false, false)).count(view, &stopped), 10);
    EXPECT_EQ(stopped, -1);
}

TEST(TextSearch, LineNumbersCountEveryKindOfLineEnd) {
    const QByteArray text = "a\r\nb\rc\nd";
    const TextView view = TextView::whole(text);
    EXPECT_EQ(lineNumberAt(view, 0), 1);
    EXPECT_EQ(lineNumberAt(view, 2), 1); // on the CR of CR LF
    EXPECT_EQ(lineNumberAt(view, 3), 2);
    EXPECT_EQ(lineNumberAt(view, 5), 3);
    EXPECT_EQ(lineNumberAt(view, 7), 4);
}
