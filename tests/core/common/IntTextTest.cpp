#include "core/common/IntText.h"
#include "core/common/Error.h"

#include <gtest/gtest.h>

using marlix::parseInt;

TEST(IntText, DecimalWithSignAndLeadingBlanks) {
    EXPECT_EQ(parseInt("0"), 0);
    EXPECT_EQ(parseInt("01"), 1);
    EXPECT_EQ(parseInt(" 0"), 0);
    EXPECT_EQ(parseInt("   255"), 255);
    EXPECT_EQ(parseInt("+7"), 7);
    EXPECT_EQ(parseInt("-12"), -12);
    EXPECT_EQ(parseInt("2147483647"), 2147483647);
    EXPECT_EQ(parseInt("-2147483648"), INT32_MIN);
}

TEST(IntText, RejectsAnythingElse) {
    for (const char *text : {"", " ", "255 ", "\t1", "1x", "+", "-", "2147483648", "-2147483649",
                             "99999999999999999999", "- 1", "1.0", "red"})
        EXPECT_FALSE(parseInt(QString::fromLatin1(text))) << text;
}

TEST(IntText, HexPrefixesGiveTheBitPattern) {
    EXPECT_EQ(parseInt("$FF"), 255);
    EXPECT_EQ(parseInt("0xff"), 255);
    EXPECT_EQ(parseInt("0XfF"), 255);
    EXPECT_EQ(parseInt("xA"), 10);
    EXPECT_EQ(parseInt("XA"), 10);
    EXPECT_EQ(parseInt("  $10"), 16);
    EXPECT_EQ(parseInt("$FFFFFFFF"), -1);
    EXPECT_EQ(parseInt("$00FF0000"), 0xFF0000);
    EXPECT_EQ(parseInt("$000000000001"), 1); // leading zeros do not overflow
    for (const char *text : {"$", "0x", "-$10", "+$10", "$1FFFFFFFF", "$G", "$1 ", "0 x1"})
        EXPECT_FALSE(parseInt(QString::fromLatin1(text))) << text;
}

TEST(IntText, StrToIntReportsTheText) {
    try {
        marlix::StrToInt(QStringLiteral("red"));
        FAIL() << "no error";
    } catch (const marlix::Error &error) {
        EXPECT_EQ(error.text(), QStringLiteral("'red' is not a valid integer value"));
    }
}
