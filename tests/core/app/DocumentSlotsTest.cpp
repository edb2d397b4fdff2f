#include "core/document/DocumentSlots.h"

#include <gtest/gtest.h>

using namespace marlix;

TEST(DocumentSlots, LowestFreeSlotAndCaptionLookup) {
    SlotCaptions captions;
    EXPECT_EQ(lowestFreeSlot(captions), 0);
    captions[1] = "/x.con";
    captions[2] = "";
    EXPECT_EQ(lowestFreeSlot(captions), 0);
    captions[0] = "/X.con";
    EXPECT_EQ(lowestFreeSlot(captions), 3);
    EXPECT_EQ(slotWithCaption(captions, "/x.con"), 1);
    EXPECT_EQ(slotWithCaption(captions, "/X.con"), 0);
    EXPECT_EQ(slotWithCaption(captions, "/y.con"), -1);
    // An untitled document answers to the empty path; free slots never do.
    EXPECT_EQ(slotWithCaption(captions, ""), 2);
    // Two documents saved under one name: the higher slot is taken.
    captions[7] = "/x.con";
    EXPECT_EQ(slotWithCaption(captions, "/x.con"), 7);
    for (auto &caption : captions)
        caption = "";
    EXPECT_EQ(lowestFreeSlot(captions), -1);
}

TEST(DocumentSlots, ClosingActivatesTheFollowingTabOrTheFirst) {
    EXPECT_EQ(tabActiveAfterRemoval(1, 4), 1); // the one that followed moves into its place
    EXPECT_EQ(tabActiveAfterRemoval(3, 4), 0); // the last: back to the first
    EXPECT_EQ(tabActiveAfterRemoval(0, 2), 0);
    EXPECT_EQ(tabActiveAfterRemoval(0, 1), -1); // the only one: none
}
