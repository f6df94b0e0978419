#pragma once
// What the windows and the command handlers ask the friend server for: the requests of the
// signed-in user, whose own id the friend service fills in, and the host's add-friend operation.
// The friend service implements it; it outlives every window.

#include "storage/OutboxMessage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

// What became of a chat handed to SendChatMessage: written to the signed-on connection of a
// server that confirms nothing (sent), kept in the outbox until the server confirms it (pending,
// with its message id), or refused at once as longer than a frame carries (nothing kept).
enum class ChatSendState { Sent, Pending, TooLong };

struct ChatSendReceipt {
    ChatSendState state = ChatSendState::Sent;
    uint64_t messageID = 0;
};

class IFriendRequests {
public:
    // False when the request did not go out: not connected, or a body longer than a frame holds.
    virtual bool SendAddFriendRequest(int targetID, const std::string& verifyText) = 0;
    virtual void SendFriendReply(int requesterID, bool accepted) = 0;
    virtual void SendMoveRequest(int targetID, uint8_t operation) = 0;
    // The chat goes into the outbox first, so that nothing typed is lost while the connection is
    // down; the outbox goes out in order at every sign-on.
    virtual ChatSendReceipt SendChatMessage(int friendID, const std::string& text) = 0;
    // The user's chats to this friend still in the outbox, oldest first.
    virtual std::vector<OutboxMessage> PendingChats(int friendID) const = 0;
    virtual void SendShake(int friendID) = 0;
    // The host's AddFriend: a friend already is refused with a notice (false), anyone else gets
    // the add-friend request window (true). nickName is GBK.
    virtual bool AddFriend(int userID, const std::string& nickName) = 0;

protected:
    ~IFriendRequests() = default;
};

} // namespace pellix
