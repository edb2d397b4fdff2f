#include "core/script/ViewShading.h"
#include "core/common/Contrast.h"
#include "core/script/DarkScheme.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {
constexpr double readable = 4.5;
} // namespace

TEST(ViewShading, TextOnTheCaretLineStaysReadableInBothSchemes) {
    EXPECT_GE(colorContrast(clBlack, lightViewShading.caretLine), readable);
    EXPECT_GE(colorContrast(darkSchemeText, darkViewShading.caretLine), readable);
    // The line is shaded, not the page colour again.
    EXPECT_NE(lightViewShading.caretLine, clWhite);
    EXPECT_NE(darkViewShading.caretLine, darkSchemeBackground);
    // Every table colour as the dark scheme shows it reads at least as well on the caret's
    // line as on the page; on the light page the shade costs at most a tenth of the contrast.
    for (TColor c : {TColor(0x000080), TColor(0x800000), TColor(0x008000), TColor(0x0000FF),
                     TColor(0xFF0000), TColor(0x808080), TColor(0x00FFFF), TColor(0x000000)}) {
        const TColor shown = readableOn(c, darkSchemeBackground);
        EXPECT_GE(colorContrast(shown, darkViewShading.caretLine),
                  colorContrast(shown, darkSchemeBackground))
            << std::hex << c;
        EXPECT_GE(colorContrast(c, lightViewShading.caretLine), 0.9 * colorContrast(c, clWhite))
            << std::hex << c;
    }
}

TEST(ViewShading, LineNumbersAndFoldMarksAreReadable) {
    for (const ViewShading &s : {lightViewShading, darkViewShading}) {
        EXPECT_GE(colorContrast(s.marginText, s.marginBack), readable);
        EXPECT_GE(colorContrast(s.foldMarkBack, s.marginBack), 3.0); // marks are graphics
    }
}
