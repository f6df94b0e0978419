#pragma once
// What the windows and the command handlers ask of the friend service: the requests to the friend
// server, sent as the signed-in user, and the host's add-friend operation. The friend service
// implements it; it outlives every window.

#include <cstdint>
#include <string>

class IFriendRequests {
public:
    // False when the request did not go out: not connected, or a body longer than a frame holds.
    virtual bool SendAddFriendRequest(int targetID, const std::string& verifyText) = 0;
    virtual void SendFriendReply(int requesterID, bool accepted) = 0;
    virtual void SendMoveRequest(int targetID, uint8_t operation) = 0;
    virtual void SendChatMessage(int friendID, const std::string& text) = 0;
    virtual void SendShake(int friendID) = 0;
    // The host's AddFriend: a friend already is refused with a notice (false), anyone else gets
    // the add-friend request window (true). nickName is GBK.
    virtual bool AddFriend(int userID, const std::string& nickName) = 0;

protected:
    ~IFriendRequests() = default;
};
