#include "core/prefs/TableRows.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(TableRows, OneRowPerCompleteGroupAndAtLeastOne) {
    EXPECT_EQ(tableRowsFromLines({}), TableRows({TableRow{}}));
    EXPECT_EQ(tableRowsFromLines({"a"}), TableRows({TableRow{"a", "", ""}}));
    EXPECT_EQ(tableRowsFromLines({"a", "b"}), TableRows({TableRow{"a", "b", ""}}));
    EXPECT_EQ(tableRowsFromLines({"a", "b", "c", "d"}), TableRows({TableRow{"a", "b", "c"}}));

    const TableRows seven = tableRowsFromLines({"1", "2", "3", "4", "5", "6", "7"});
    EXPECT_EQ(seven, TableRows({TableRow{"1", "2", "3"}, TableRow{"4", "5", "6"}}));
}

TEST(TableRows, CellsAreTakenVerbatim) {
    const TableRows rows = tableRowsFromLines({" code ", "", " 1"});
    EXPECT_EQ(rows, TableRows({TableRow{" code ", "", " 1"}}));
}

TEST(TableRows, IntellisenseNeedsCodeAndFile) {
    const TableRows rows{
        {"obj.", "obj.txt", "1"},
        {"", "gone.txt", "1"},
        {"gone.", "", "0"},
        {" ", "blank.txt", ""}, // a blank code and an empty style are values
        {"", "", ""},
    };
    EXPECT_EQ(intellisenseFileLines(rows),
              QStringList({"obj.", "obj.txt", "1", " ", "blank.txt", ""}));
}

TEST(TableRows, HighlightingNeedsAllThreeCells) {
    const TableRows rows{
        {"rem", "1", "clGreen"}, {"", "0", "clRed"},       {"if", "", "clRed"},
        {"endif", "0", ""},      {" ", " 1", "$00123456"},
    };
    EXPECT_EQ(highlightingFileLines(rows),
              QStringList({"rem", "1", "clGreen", " ", " 1", "$00123456"}));
}

TEST(TableRows, RowsWithoutEntriesGiveNoLines) {
    EXPECT_TRUE(intellisenseFileLines({TableRow{}}).isEmpty());
    EXPECT_TRUE(highlightingFileLines({TableRow{}}).isEmpty());
}
