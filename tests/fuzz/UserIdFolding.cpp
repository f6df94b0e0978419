#include "UserIdFolding.h"

#include "client/LittleEndian.h"
#include "records/FriendCommands.h"

#include <climits>
#include <cstring>

namespace pellix {

namespace {

// The own user, the id a contact starts with, zero (no tip friend) and the extremes among them.
constexpr int32_t kFoldedIds[] = {501, 502, 503, 504, 505,   600,  601,       777,
                                  0,   -1,  1,   255, 65536, 9999, INT32_MIN, INT32_MAX};
constexpr std::size_t kFoldedIdCount = sizeof(kFoldedIds) / sizeof(kFoldedIds[0]);

// Walks a body as the dispatcher's reader does, folding the ids it passes.
class BodyWalker {
public:
    BodyWalker(uint8_t* body, std::size_t length) : m_pBody(body), m_nLength(length) {}

    bool Skip(std::size_t bytes) {
        if (m_nLength - m_nAt < bytes)
            return false;
        m_nAt += bytes;
        return true;
    }
    bool FoldId() {
        if (m_nLength - m_nAt < 4)
            return false;
        const auto id = static_cast<uint32_t>(LittleEndian::LoadInt32(m_pBody + m_nAt));
        LittleEndian::StoreInt32(m_pBody + m_nAt, kFoldedIds[id % kFoldedIdCount]);
        m_nAt += 4;
        return true;
    }
    // A string runs to its zero byte, or to the end of the body.
    bool SkipString() {
        if (m_nAt == m_nLength)
            return false;
        const void* zero = std::memchr(m_pBody + m_nAt, 0, m_nLength - m_nAt);
        m_nAt = zero != nullptr
                    ? static_cast<std::size_t>(static_cast<const uint8_t*>(zero) - m_pBody) + 1
                    : m_nLength;
        return true;
    }
    // Message ids fold onto eight, so that chats handed over again are met as often as new ones.
    bool FoldMessageId() {
        if (m_nLength - m_nAt < 8)
            return false;
        const auto low = static_cast<uint32_t>(LittleEndian::LoadInt32(m_pBody + m_nAt));
        LittleEndian::StoreInt32(m_pBody + m_nAt, static_cast<int32_t>(low % 8 + 1));
        LittleEndian::StoreInt32(m_pBody + m_nAt + 4, 0);
        m_nAt += 8;
        return true;
    }
    uint32_t Count() {
        if (m_nLength - m_nAt < 4)
            return 0;
        const auto count = static_cast<uint32_t>(LittleEndian::LoadInt32(m_pBody + m_nAt));
        m_nAt += 4;
        return count;
    }
    bool AtEnd() const { return m_nAt == m_nLength; }

private:
    uint8_t* m_pBody;
    std::size_t m_nLength;
    std::size_t m_nAt = 0;
};

bool FoldFriendEntry(BodyWalker& walker) {
    return walker.FoldId() && walker.SkipString() && walker.SkipString() && walker.Skip(6);
}

bool FoldOnlineStateEntry(BodyWalker& walker) {
    return walker.FoldId() && walker.Skip(1);
}

bool FoldOfflineMessageEntry(BodyWalker& walker) {
    return walker.FoldId() && walker.Skip(12) && walker.SkipString();
}

bool FoldAckedChatEntry(BodyWalker& walker) {
    return walker.FoldId() && walker.FoldMessageId() && walker.SkipString();
}

template <typename FoldEntry> void FoldList(BodyWalker& walker, FoldEntry foldEntry) {
    const uint32_t count = walker.Count();
    for (uint32_t i = 0; i < count && !walker.AtEnd(); ++i) {
        if (!foldEntry(walker))
            return;
    }
}

} // namespace

void FoldUserIds(uint16_t subCommand, uint8_t* body, std::size_t length) {
    BodyWalker walker(body, length);
    switch (subCommand) {
    case SUB_S_ADD_FRIEND_FAIL:
    case SUB_S_MOVE_RESULT:
    case SUB_S_CHAT_MESSAGE:
    case SUB_S_ONLINE_STATE:
    case SUB_S_SHAKE:
        walker.FoldId();
        break;
    case SUB_S_CHAT_ACK:
    case SUB_S_CHAT_REFUSED:
    case SUB_S_CHAT_MESSAGE_EX:
        if (walker.FoldId())
            walker.FoldMessageId();
        break;
    case SUB_S_OFFLINE_MESSAGES_EX:
        FoldList(walker, FoldAckedChatEntry);
        break;
    case SUB_S_ADD_FRIEND_OK:
    case SUB_S_FRIEND_REQUEST:
        if (walker.Skip(4))
            FoldFriendEntry(walker);
        break;
    case SUB_S_FRIEND_LIST:
        if (walker.Skip(8))
            FoldList(walker, FoldFriendEntry);
        break;
    case SUB_S_ONLINE_STATES:
        if (walker.Skip(4))
            FoldList(walker, FoldOnlineStateEntry);
        break;
    case SUB_S_OFFLINE_MESSAGES:
        if (walker.Skip(4))
            FoldList(walker, FoldOfflineMessageEntry);
        break;
    default:
        break;
    }
}

} // namespace pellix
