#pragma once
// What the command handlers make visible: chats, shakes and requests in their windows, the friend
// list's refresh and counts, and the popup tip. The window manager implements it.

#include "records/FriendRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

class IFriendWindows {
public:
    // Shows the sender's chat window with the message and stores the message.
    virtual void OnChatMessage(int senderID, const std::string& text) = 0;
    virtual void OnOfflineMessages(const std::vector<OfflineMessageEntry>& list) = 0;
    virtual void OnShake(int senderID) = 0;
    virtual void OpenAddConfirmWindow(int askerID, const std::string& userName,
                                      const std::string& nickName, uint8_t gender, int showID,
                                      const std::string& message) = 0;
    // Rebuilds the visible friend list from the model.
    virtual void RefreshMainWindow() = 0;
    virtual void UpdateFriendCounts(int friendCount, int onlineFriendCount) = 0;
    virtual void ShowTip(const std::string& text) = 0;
    // The server confirmed the user's chat: it is no longer pending.
    virtual void OnChatDelivered(int friendID, uint64_t messageID) = 0;
    // The user's chat (GBK text) will never be delivered (CHAT_REFUSED_* reason).
    virtual void OnChatRefused(int friendID, uint64_t messageID, uint32_t reason,
                               const std::string& text) = 0;
    // Signed on, or the connection was lost and the service is connecting again.
    virtual void OnConnectionChanged(bool signedOn) = 0;

protected:
    ~IFriendWindows() = default;
};

} // namespace pellix
