#include "core/common/Contrast.h"

#include <gtest/gtest.h>

using marlix::contrastRatio;

TEST(Contrast, KnownPairs) {
    EXPECT_DOUBLE_EQ(contrastRatio(0x000000, 0xFFFFFF), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(0xFFFFFF, 0x000000), 21.0); // order does not matter
    EXPECT_DOUBLE_EQ(contrastRatio(0x808080, 0x808080), 1.0);
    // The lightest grey that still reads on white, and the one just too light.
    EXPECT_GE(contrastRatio(0x767676, 0xFFFFFF), 4.5);
    EXPECT_LT(contrastRatio(0x777777, 0xFFFFFF), 4.5);
    // Green weighs most, blue least, and the byte above the colour is ignored.
    EXPECT_GT(marlix::relativeLuminance(0x00FF00), marlix::relativeLuminance(0xFF0000));
    EXPECT_GT(marlix::relativeLuminance(0xFF0000), marlix::relativeLuminance(0x0000FF));
    EXPECT_DOUBLE_EQ(contrastRatio(0xFF000000, 0xFFFFFF), 21.0);
}

TEST(Contrast, SilverNeedsADarkGround) {
    // Silver text on tan, as the about box once had it, cannot be read.
    EXPECT_LT(contrastRatio(0xC0C0C0, 0xD2B48C), 1.5);
    EXPECT_GE(contrastRatio(0xC0C0C0, 0x303030), 4.5);
}
