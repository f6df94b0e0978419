#pragma once
// The delivery side of chats, as the command handlers drive it: the sign-on that sends the
// outbox, the acknowledged-chat extension's announcement, and what the server says about each
// chat. The friend service implements it; it outlives every command.

#include <cstdint>

namespace pellix {

class IChatDelivery {
public:
    // The friend list or the online states answered the log-on: the user is signed on.
    virtual void OnSignedOn() = 0;
    virtual void OnExtensionsAnnounced(uint32_t bits) = 0;
    virtual void OnChatAcknowledged(int32_t recipientID, uint64_t messageID) = 0;
    virtual void OnChatRefused(int32_t recipientID, uint64_t messageID, uint32_t reason) = 0;
    // Whether a friend's chat with this id was shown and stored before.
    virtual bool WasReceived(int32_t senderID, uint64_t messageID) = 0;
    // The chat is shown and stored: remember it, and tell the server it may let it go.
    virtual void ConfirmReceived(int32_t senderID, uint64_t messageID) = 0;

protected:
    ~IChatDelivery() = default;
};

} // namespace pellix
