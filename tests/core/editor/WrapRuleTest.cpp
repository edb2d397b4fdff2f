#include "editor/WrapRule.h"

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
    EXPECT_TRUE(measure(QByteArray("nul\0byte", 8)).wideBytes);
    EXPECT_TRUE(measure("del\x7f").wideBytes);
    LineSpan span = measure("abc");
    span.include(measure("x\x01"));
    EXPECT_EQ(span.longest, 3);
    EXPECT_TRUE(span.wideBytes);
}

TEST(WrapRule, WrapOnlyWhereALineCanReachTheWidth) {
    EXPECT_EQ(chooseWrap(0, 10, 800), WrapChoice::None);
    EXPECT_EQ(chooseWrap(79, 10, 800), WrapChoice::None);
    EXPECT_EQ(chooseWrap(80, 10, 800), WrapChoice::Word); // may just touch the edge
    EXPECT_EQ(chooseWrap(79, 11, 800), WrapChoice::Word); // a larger font
    EXPECT_EQ(chooseWrap(79, 10, 700), WrapChoice::Word); // a narrower window
    EXPECT_EQ(chooseWrap(10, 10, 0), WrapChoice::Word);   // a window not laid out yet
    EXPECT_EQ(chooseWrap(unwrappedLineBytes - 1, 10, 800), WrapChoice::Word);
    EXPECT_EQ(chooseWrap(unwrappedLineBytes, 10, 800), WrapChoice::ScrollUnwrapped);
    EXPECT_EQ(chooseWrap(qsizetype(100) * 1000 * 1000, 30, 800), WrapChoice::ScrollUnwrapped);
}
