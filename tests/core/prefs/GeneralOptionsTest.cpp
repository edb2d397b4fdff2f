#include "core/prefs/GeneralOptions.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

GeneralOptions allOff() {
    GeneralOptions o;
    applyOptionLines({"0", "0", "0", "0", "0", "0"}, o);
    return o;
}

} // namespace

TEST(GeneralOptions, FewerLinesLeaveTheRestAsTheyAre) {
    GeneralOptions o;
    applyOptionLines({}, o);
    EXPECT_EQ(o, GeneralOptions());

    applyOptionLines({"0", "0", "0"}, o);
    EXPECT_FALSE(o.autoPopulate);
    EXPECT_FALSE(o.autoHighlight);
    EXPECT_FALSE(o.darkText);
    EXPECT_TRUE(o.autoUpdate);
    EXPECT_TRUE(o.intellisense);
    EXPECT_TRUE(o.highlighting);

    GeneralOptions off = allOff();
    applyOptionLines({"1"}, off);
    EXPECT_EQ(optionLines(off), QStringList({"1", "0", "0", "0", "0", "0"}));
}

TEST(GeneralOptions, OnlyTheExactLineOneIsOn) {
    GeneralOptions o;
    applyOptionLines({"1 ", " 1", "yes", "true", "", "01"}, o);
    EXPECT_EQ(o, allOff());
    applyOptionLines({"1", "1", "1", "1", "1", "1"}, o);
    EXPECT_EQ(o, GeneralOptions());
}

TEST(GeneralOptions, LinesAfterTheSixthAreIgnored) {
    GeneralOptions o = allOff();
    applyOptionLines({"1", "0", "1", "0", "1", "0", "1", "1"}, o);
    EXPECT_EQ(optionLines(o), QStringList({"1", "0", "1", "0", "1", "0"}));
}

TEST(GeneralOptions, WrittenInFileOrder) {
    GeneralOptions o;
    EXPECT_EQ(optionLines(o), QStringList({"1", "1", "1", "1", "1", "1"}));
    o.autoHighlight = false;
    o.highlighting = false;
    EXPECT_EQ(optionLines(o), QStringList({"1", "0", "1", "1", "1", "0"}));
}

TEST(GeneralOptions, LineNumbersAreTheSeventhLineWrittenOnlyWhenOff) {
    // A file of six lines, as every earlier version wrote, keeps the numbers shown.
    GeneralOptions o = allOff();
    EXPECT_TRUE(o.lineNumbers);
    applyOptionLines({"1", "1", "1", "1", "1", "1", "0"}, o);
    EXPECT_FALSE(o.lineNumbers);
    EXPECT_FALSE(o == GeneralOptions());
    EXPECT_EQ(optionLines(o), QStringList({"1", "1", "1", "1", "1", "1", "0"}));
    applyOptionLines({"1", "1", "1", "1", "1", "1", "1", "0"}, o);
    EXPECT_TRUE(o.lineNumbers);
    EXPECT_EQ(o, GeneralOptions());
    EXPECT_EQ(optionLines(o).size(), 6);
}
