#include "ChatPlacement.h"

namespace pellix {

int ChatPlacement::TrailingFreeSlot() const {
    if (m_slots.empty() || !m_slots.back().IsFree())
        return -1;
    auto index = static_cast<int>(m_slots.size()) - 1;
    while (index > 0 && m_slots[static_cast<std::size_t>(index) - 1].IsFree())
        --index;
    return index;
}

void ChatPlacement::AdvanceLastChatRect(int width, int height, int screenWidth, int screenHeight) {
    SlotRect& last = m_lastChatRect;
    if (last.IsEmpty()) {
        last.left = (screenWidth - width) / 2 - 125;
        last.top = (screenHeight - height) / 2;
        last.right = last.left + width;
        last.bottom = last.top + height;
    } else if (last.bottom + 30 < screenHeight) {
        last.left += 15;
        last.right += 15;
        last.top += 20;
        last.bottom += 20;
    } else {
        last = {50, 50, 50 + width, 50 + height};
    }
}

ChatPlacement::Placement ChatPlacement::Place(int width, int height, int screenWidth,
                                              int screenHeight) {
    const int reuse = TrailingFreeSlot();
    if (reuse >= 0) {
        ChatWindowSlot& slot = m_slots[static_cast<std::size_t>(reuse)];
        slot.inUse = true;
        return {slot.slotIndex, slot.rect};
    }
    const auto index = static_cast<uint16_t>(m_slots.size());
    m_slots.push_back({m_lastChatRect, false, true, index});
    AdvanceLastChatRect(width, height, screenWidth, screenHeight);
    ChatWindowSlot& slot = m_slots.back();
    slot.rect = m_lastChatRect;
    slot.inUse = true;
    slot.isNew = false;
    return {index, slot.rect};
}

void ChatPlacement::Release(uint16_t slotIndex) {
    for (ChatWindowSlot& slot : m_slots)
        if (slot.slotIndex == slotIndex)
            slot.inUse = false;
}

} // namespace pellix
