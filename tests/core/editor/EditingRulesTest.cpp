// The small rules under the everyday commands: Go to Line, the tab caption's mark, the
// Windows-1252 characters and the dark scheme's colours.
#include "core/document/DocumentCaption.h"
#include "core/script/DarkScheme.h"
#include "core/script/GoToLine.h"
#include "core/script/Windows1252.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(GoToLine, ParsesAndClampsToTheDocument) {
    EXPECT_EQ(parseGoToLine("12", 100).line, 12);
    EXPECT_EQ(parseGoToLine("  7 ", 100).line, 7);
    EXPECT_EQ(parseGoToLine("+3", 100).line, 3);
    EXPECT_EQ(parseGoToLine("500", 100).line, 100);
    EXPECT_EQ(parseGoToLine("99999999999999999999", 100).line, 100);
    EXPECT_EQ(parseGoToLine("0", 100).line, 1);
    EXPECT_EQ(parseGoToLine("-4", 100).line, 1);
    EXPECT_EQ(parseGoToLine("5", 0).line, 1); // an empty document still has its first line
    for (const char *bad : {"", "  ", "abc", "1x", "1 2", "-", "1.5"}) {
        const LineJump jump = parseGoToLine(QString::fromLatin1(bad), 100);
        EXPECT_FALSE(jump.ok()) << bad;
        EXPECT_EQ(jump.line, 0) << bad;
    }
}

TEST(DocumentCaption, TheChangedMarkNeverEntersTheFileName) {
    const QString path = QStringLiteral("/mods/a.con");
    EXPECT_EQ(documentCaption(path, false), path);
    EXPECT_EQ(documentCaption(path, true), QStringLiteral("*") + path);
    EXPECT_EQ(captionFileName(documentCaption(path, true), true), path);
    EXPECT_EQ(captionFileName(documentCaption(path, false), false), path);
    const QString starred = QStringLiteral("*odd.con");
    EXPECT_EQ(captionFileName(documentCaption(starred, false), false), starred);
    EXPECT_EQ(captionFileName(documentCaption(starred, true), true), starred);
}

TEST(Windows1252, HighControlBytesShowAsTheirCharactersAndRoundTrip) {
    EXPECT_EQ(windows1252Character(0x80), u'\u20AC');
    EXPECT_EQ(windows1252Character(0x85), u'\u2026');
    EXPECT_EQ(windows1252Character(0x96), u'\u2013');
    EXPECT_EQ(windows1252Character(0x99), u'\u2122');
    EXPECT_EQ(windows1252Character(0x9F), u'\u0178');
    for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(windows1252Character(undefined), 0) << int(undefined);
    EXPECT_EQ(windows1252Character('A'), 0);
    EXPECT_EQ(windows1252Character(0xE9), 0);

    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString shown = windows1252Text(all);
    EXPECT_EQ(shown.size(), 256);
    EXPECT_EQ(shown[0x93], QChar(0x201C));
    EXPECT_EQ(shown[0xE9], QChar(0xE9));
    EXPECT_EQ(shown[0x81], QChar(0x81));
    EXPECT_EQ(windows1252Bytes(shown), all);
    EXPECT_FALSE(windows1252Bytes(QStringLiteral("\u4E2D")).has_value());

    // Text from elsewhere: one mark per character no byte stands for, even beyond 65536.
    EXPECT_EQ(windows1252BytesOrMarks(shown), all);
    EXPECT_EQ(windows1252BytesOrMarks(QStringLiteral("\u201Cx\u201D \u20AC\u4E2D\U0001F600.")),
              QByteArray("\x93x\x94 \x80??."));
}

TEST(DarkScheme, ContrastFollowsTheGuidelines) {
    EXPECT_NEAR(colorContrast(clBlack, clWhite), 21.0, 1e-9);
    EXPECT_NEAR(colorContrast(0x777777, 0x777777), 1.0, 1e-9);
    EXPECT_NEAR(colorContrast(0x767676, clWhite), 4.54, 0.01); // the well-known grey
}

TEST(DarkScheme, DarkColorsAreLightenedKeepingTheirHue) {
    const TColor bg = darkSchemeBackground;
    // Light colours stay as the table has them.
    for (TColor keep : {clWhite, TColor(0x00FFFF), TColor(0x008000), TColor(0xC0C0C0)})
        EXPECT_EQ(readableOn(keep, bg), keep);
    // clNavy, clMaroon, clBlue, clBlack, clPurple and a dark green: too dark on the dark page.
    for (TColor dark : {TColor(0x800000), TColor(0x000080), TColor(0xFF0000), clBlack,
                        TColor(0x800080), TColor(0x004000)}) {
        const TColor light = readableOn(dark, bg);
        EXPECT_LT(colorContrast(dark, bg), 3.0);
        EXPECT_GE(colorContrast(light, bg), 3.0) << std::hex << dark;
        EXPECT_LT(colorContrast(light, bg), 3.2) << std::hex << dark; // no lighter than needed
        // The hue stays: the strongest channel of the colour stays the strongest.
        const int r = light & 0xFF, g = (light >> 8) & 0xFF, b = (light >> 16) & 0xFF;
        const int dr = dark & 0xFF, dg = (dark >> 8) & 0xFF, db = (dark >> 16) & 0xFF;
        if (dr > dg && dr > db) {
            EXPECT_TRUE(r > g && r > b) << std::hex << light;
        }
        if (db > dr && db > dg) {
            EXPECT_TRUE(b > r && b > g) << std::hex << light;
        }
        if (dr == dg && dg == db) {
            EXPECT_TRUE(r == g && g == b) << std::hex << light;
        }
    }
    EXPECT_GE(colorContrast(darkSchemeText, bg), 3.0);
    // A background that no colour can stand out from enough gives white.
    EXPECT_EQ(readableOn(clBlack, 0x909090, 21.0), clWhite);
}
