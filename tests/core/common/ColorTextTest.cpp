#include "core/common/ColorText.h"
#include "core/common/Error.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(ColorText, IdentifiersIgnoreAsciiCase) {
    EXPECT_EQ(StringToColor("clRed"), 0x0000FFu);
    EXPECT_EQ(StringToColor("clred"), 0x0000FFu);
    EXPECT_EQ(StringToColor("CLRED"), 0x0000FFu);
    EXPECT_EQ(StringToColor("clWindowText"), 0x80000008u);
    EXPECT_EQ(StringToColor("clGradientInactiveCaption"), 0x8000001Cu);
    EXPECT_EQ(StringToColor("cl3DDkShadow"), 0x80000015u);
    EXPECT_EQ(StringToColor("clNone"), 0x1FFFFFFFu);
    EXPECT_EQ(StringToColor("clDefault"), 0x20000000u);
    EXPECT_EQ(StringToColor("clSkyBlue"), 0xF0CAA6u);
}

TEST(ColorText, IntegersAreColorsToo) {
    EXPECT_EQ(StringToColor("255"), StringToColor("clRed"));
    EXPECT_EQ(StringToColor("$FF"), StringToColor("clRed"));
    EXPECT_EQ(StringToColor("0xff"), StringToColor("clRed"));
    EXPECT_EQ(StringToColor("$00FF0000"), StringToColor("clBlue"));
    EXPECT_EQ(StringToColor("$FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(StringToColor(" 255"), 255u);
}

TEST(ColorText, UnknownTextIsAConversionError) {
    for (const char *text : {"red", "clRed ", " clRed", "", "255 ", "-$10"}) {
        try {
            StringToColor(QString::fromLatin1(text));
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Error &error) {
            EXPECT_EQ(error.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
}

TEST(ColorText, WrittenAsIdentifierOrEightHexDigits) {
    EXPECT_EQ(colorToString(0x0000FF), QStringLiteral("clRed"));
    EXPECT_EQ(colorToString(0x80000008), QStringLiteral("clWindowText"));
    EXPECT_EQ(colorToString(0x00123ABC), QStringLiteral("$00123ABC"));
    EXPECT_EQ(colorToString(0xFFFFFFFF), QStringLiteral("$FFFFFFFF"));
    // Every identifier reads back as the colour it was written for.
    for (TColor c : {0x000000u, 0xFFFFFFu, 0xF0FBFFu, 0x80000000u, 0x80000018u, 0x1FFFFFFFu})
        EXPECT_EQ(StringToColor(colorToString(c)), c);
}
