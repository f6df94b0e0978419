// Requests of the friend service to the friend server. Variable bodies go through the send stream,
// fixed ones through a buffer of their exact size.

#include "FriendService.h"

#include "base/SignedInUser.h"
#include "protocol/RequestBodies.h"
#include "records/FriendCommands.h"

bool CFriendService::SendBody(uint16_t sub, const void* body, std::size_t size) {
    // A body travels with a 16-bit length; a longer one cannot be framed.
    if (m_pClientSocket == nullptr || size > 0xFFFF)
        return false;
    return m_pClientSocket->SendData(CMD_FRIEND, sub, body, static_cast<uint16_t>(size));
}

bool CFriendService::SendAddFriendRequest(int ownID, int targetID, const std::string& verifyText) {
    return SendCommand(SUB_C_ADD_FRIEND, [&](CCommandStream& stream) {
        WriteAddFriendRequest(stream, ownID, targetID, verifyText);
    });
}

void CFriendService::SendFriendReply(int ownID, int requesterID, bool accepted) {
    const auto body = FriendReplyBody(ownID, requesterID, accepted);
    SendBody(SUB_C_FRIEND_REPLY, body.data(), body.size());
}

void CFriendService::SendMoveRequest(int ownID, int targetID, uint8_t operation) {
    const auto body = MoveContactBody(ownID, targetID, operation);
    SendBody(SUB_C_MOVE_CONTACT, body.data(), body.size());
}

bool CFriendService::SendLogonRequest(int ownID, const std::string& logonToken, int32_t version) {
    return SendCommand(SUB_C_LOGON, [&](CCommandStream& stream) {
        WriteLogonRequest(stream, ownID, logonToken, version);
    });
}

void CFriendService::SendChatMessage(int ownID, int friendID, const std::string& text) {
    SendCommand(SUB_C_CHAT_MESSAGE,
                [&](CCommandStream& stream) { WriteChatMessage(stream, ownID, friendID, text); });
}

void CFriendService::SendShake(int friendID) {
    const auto body = ShakeBody(friendID);
    SendBody(SUB_C_SHAKE, body.data(), body.size());
}

bool CFriendService::SendAddFriendRequest(int targetID, const std::string& verifyText) {
    return SendAddFriendRequest(GetUserInfo().userID, targetID, verifyText);
}

void CFriendService::SendFriendReply(int requesterID, bool accepted) {
    SendFriendReply(GetUserInfo().userID, requesterID, accepted);
}

void CFriendService::SendMoveRequest(int targetID, uint8_t operation) {
    SendMoveRequest(GetUserInfo().userID, targetID, operation);
}

void CFriendService::SendChatMessage(int friendID, const std::string& text) {
    SendChatMessage(GetUserInfo().userID, friendID, text);
}
