#pragma once
// What the windows and the command handlers ask of the friend service: the six requests to the
// friend server, the host's add-friend operation, the host's callback object, the module's shared
// font and the friend named by the last online tip. The friend service implements it; it outlives
// every window.

#include <cstdint>
#include <string>

class IFriendHost;
class QFont;
struct tagProxyInfo;

class IFriendRequests {
public:
    // False when the request did not go out: not connected, or a body longer than a frame holds.
    virtual bool SendAddFriendRequest(int ownID, int targetID, const std::string& verifyText) = 0;
    virtual void SendFriendReply(int ownID, int requesterID, bool accepted) = 0;
    virtual void SendMoveRequest(int ownID, int targetID, uint8_t operation) = 0;
    virtual bool SendLogonRequest(int ownID, const std::string& logonToken, int32_t version) = 0;
    virtual void SendChatMessage(int ownID, int friendID, const std::string& text) = 0;
    virtual void SendShake(int friendID) = 0;
    // The host's AddFriend: a friend already is refused with a notice (false), anyone else gets
    // the add-friend request window (true). nickName is GBK.
    virtual bool AddFriend(int userID, const std::string& nickName) = 0;

    // Null until the host registers one.
    virtual IFriendHost* GetFriendHost() const = 0;
    virtual const QFont& GetFont() const = 0;
    // The proxy of the last start of the service, for the windows' own web requests.
    virtual const tagProxyInfo& GetProxy() const = 0;
    // 0 after a tip that a friend went offline.
    virtual int32_t GetTipFriendID() const = 0;

protected:
    ~IFriendRequests() = default;
};
