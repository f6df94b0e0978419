#include "ui/manager/ChatPlacement.h"

#include <gtest/gtest.h>

namespace pellix {

namespace {

constexpr int kScreenW = 1024;
constexpr int kScreenH = 768;

ChatPlacement::Placement PlaceOne(ChatPlacement& placement) {
    return placement.Place(400, 300, kScreenW, kScreenH);
}

} // namespace

TEST(ChatPlacement, FirstWindowsCascadeFromTheCentre) {
    ChatPlacement placement;
    const auto first = PlaceOne(placement);
    EXPECT_EQ(first.slotIndex, 0);
    EXPECT_EQ(first.rect, (SlotRect{187, 234, 587, 534}));
    const auto second = PlaceOne(placement);
    EXPECT_EQ(second.slotIndex, 1);
    EXPECT_EQ(second.rect, (SlotRect{202, 254, 602, 554}));
    for (const ChatWindowSlot& slot : placement.Slots()) {
        EXPECT_TRUE(slot.inUse);
        EXPECT_FALSE(slot.isNew);
    }
}

TEST(ChatPlacement, CascadeRestartsNearTheBottomOfTheScreen) {
    ChatPlacement placement;
    SlotRect last;
    // The twelfth window ends at 754, and 754 + 30 is not below 768: the thirteenth restarts.
    for (int i = 0; i < 12; ++i)
        last = PlaceOne(placement).rect;
    EXPECT_EQ(last, (SlotRect{352, 454, 752, 754}));
    EXPECT_EQ(PlaceOne(placement).rect, (SlotRect{50, 50, 450, 350}));
    EXPECT_EQ(PlaceOne(placement).rect, (SlotRect{65, 70, 465, 370}));
}

TEST(ChatPlacement, OnlyTheTrailingRunOfFreeSlotsIsReused) {
    ChatPlacement placement;
    for (int i = 0; i < 3; ++i)
        PlaceOne(placement);
    placement.Release(1);
    const auto fourth = PlaceOne(placement);
    EXPECT_EQ(fourth.slotIndex, 3) << "slot 1 has a used slot after it";

    const SlotRect slot1Rect = placement.Slots()[1].rect;
    placement.Release(2);
    placement.Release(3);
    const auto reused = PlaceOne(placement);
    EXPECT_EQ(reused.slotIndex, 1);
    EXPECT_EQ(reused.rect, slot1Rect);
    EXPECT_EQ(placement.Slots().size(), 4u);
    EXPECT_FALSE(placement.Slots()[2].inUse);
}

TEST(ChatPlacement, ReleasingAnUnknownSlotChangesNothing) {
    ChatPlacement placement;
    PlaceOne(placement);
    placement.Release(7);
    EXPECT_TRUE(placement.Slots()[0].inUse);
    EXPECT_EQ(PlaceOne(placement).slotIndex, 1);
}

TEST(ChatPlacement, ReusedSlotKeepsItsRectangleWhateverTheNewSize) {
    ChatPlacement placement;
    const auto first = PlaceOne(placement);
    placement.Release(first.slotIndex);
    const auto again = placement.Place(200, 100, kScreenW, kScreenH);
    EXPECT_EQ(again.slotIndex, 0);
    EXPECT_EQ(again.rect, first.rect);
}

} // namespace pellix
