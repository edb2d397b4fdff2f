#include "core/search/FindInFilesSummary.h"
#include "core/search/FindInFiles.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(FindInFilesSummary, CountsMatchesAndScriptsAndNamesWhatCutTheSearchShort) {
    FindInFilesResult result;
    result.filesSearched = 12;
    result.matches.append(FileMatch{QStringLiteral("/m/a.con"), 3, 0, 4, "game.x"});
    result.matches.append(FileMatch{QStringLiteral("/m/b.con"), 9, 2, 4, "  game.y"});
    EXPECT_EQ(findInFilesSummary(result),
              QStringLiteral("Find in Files: 2 matches in 12 scripts searched"));

    result.truncated = true;
    result.cancelled = true;
    result.stopped.append(FileMatch{QStringLiteral("/m/deep.con"), 40, 0, 0, {}});
    result.unreadable = QStringList{QStringLiteral("/m/locked.con"), QStringLiteral("/m/x.con")};
    EXPECT_EQ(findInFilesSummary(result),
              QStringLiteral("Find in Files: 2 matches in 12 scripts searched (stopped at the "
                             "match limit) (stopped); /m/deep.con: search stopped: pattern too "
                             "complex at line 40; 2 could not be read"));
}

// An invalid pattern searched nothing: its own text stands in place of the counts.
TEST(FindInFilesSummary, AnInvalidSearchSaysWhy) {
    FindInFilesResult result;
    result.errorText = QStringLiteral("Invalid regular expression: missing )");
    EXPECT_EQ(findInFilesSummary(result), result.errorText);
}
