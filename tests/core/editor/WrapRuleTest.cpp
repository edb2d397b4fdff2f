#include "core/script/WrapRule.h"

#include <QByteArray>
#include <gtest/gtest.h>

using namespace marlix;

namespace {
LineSpan measure(const QByteArray &text) {
    return measureLines(text.constData(), text.size());
}
} // namespace

TEST(WrapRule, LongestLineCountsBytesBetweenLineEnds) {
    EXPECT_EQ(measure("").longest, 0);
    EXPECT_EQ(measure("abc").longest, 3);
    EXPECT_EQ(measure("ab\r\nabcde\rx\nabcd").longest, 5);
    EXPECT_EQ(measure("a\r\n\r\nabcdefg\r\n").longest, 7);
    EXPECT_FALSE(measure("tab\there, Latin-1 \xe9\xff").wideBytes);
    EXPECT_EQ(measure("\t\tx\r\n\t\t\t\r\nlonger line").mostTabs, 3);
    EXPECT_TRUE(measure(QByteArray("nul\0byte", 8)).wideBytes);
    EXPECT_TRUE(measure("del\x7f").wideBytes);
    LineSpan span = measure("abc");
    span.include(measure("x\x01"));
    EXPECT_EQ(span.longest, 3);
    EXPECT_TRUE(span.wideBytes);
}

TEST(WrapRule, WrapOnlyWhereALineCanReachTheWidth) {
    const auto choose = [](qsizetype longest, qsizetype tabs, int widest, int area) {
        return chooseWrap(LineSpan{longest, tabs, false}, widest, 40, area);
    };
    EXPECT_EQ(choose(0, 0, 10, 800), WrapChoice::None);
    EXPECT_EQ(choose(79, 0, 10, 800), WrapChoice::None);
    EXPECT_EQ(choose(80, 0, 10, 800), WrapChoice::Word); // may just touch the edge
    EXPECT_EQ(choose(79, 0, 11, 800), WrapChoice::Word); // a larger font
    EXPECT_EQ(choose(79, 0, 10, 700), WrapChoice::Word); // a narrower window
    EXPECT_EQ(choose(10, 0, 10, 0), WrapChoice::Word);   // a window not laid out yet
    // Each tab may take a whole tab stop of 40 pixels.
    EXPECT_EQ(choose(40, 13, 10, 800), WrapChoice::None);
    EXPECT_EQ(choose(40, 14, 10, 800), WrapChoice::Word);
    EXPECT_EQ(choose(unwrappedLineBytes - 1, 0, 10, 800), WrapChoice::Word);
    EXPECT_EQ(choose(unwrappedLineBytes, 0, 10, 800), WrapChoice::ScrollUnwrapped);
    EXPECT_EQ(choose(qsizetype(100) * 1000 * 1000, 0, 30, 800), WrapChoice::ScrollUnwrapped);
}
