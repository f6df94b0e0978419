#pragma once
// Where chat windows appear: a growing array of placement slots. New windows cascade from the
// screen centre; a reopened window takes the lowest slot of the trailing run of free slots.
// Owned by the window manager.

#include <cstdint>
#include <vector>

namespace pellix {

// A screen rectangle with exclusive right and bottom edges.
struct SlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsEmpty() const { return right <= left || bottom <= top; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const SlotRect&) const = default;
};

struct ChatWindowSlot {
    SlotRect rect;
    bool inUse = false;
    // Set only while the slot is being appended, before it gets its rectangle.
    bool isNew = false;
    uint16_t slotIndex = 0;

    bool IsFree() const { return !inUse && !isNew; }
};

class ChatPlacement {
public:
    struct Placement {
        uint16_t slotIndex = 0;
        SlotRect rect;
    };

    // Chooses a slot for a window of the given client size on a screen of the given size.
    Placement Place(int width, int height, int screenWidth, int screenHeight);
    // Marks the slot free; an unknown number changes nothing.
    void Release(uint16_t slotIndex);

    const std::vector<ChatWindowSlot>& Slots() const { return m_slots; }
    const SlotRect& LastChatRect() const { return m_lastChatRect; }

private:
    // Lowest index of the trailing run of free slots, or -1 when the last slot is taken.
    int TrailingFreeSlot() const;
    void AdvanceLastChatRect(int width, int height, int screenWidth, int screenHeight);

    std::vector<ChatWindowSlot> m_slots;
    SlotRect m_lastChatRect;
};

} // namespace pellix
