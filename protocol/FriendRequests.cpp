// Requests of the friend service to the friend server. Variable bodies go through the send stream,
// fixed ones through a local buffer of their exact size.

#include "FriendCommands.h"
#include "module/FriendService.h"

namespace {

void PutInt32(uint8_t* at, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
    at[2] = static_cast<uint8_t>(v >> 16);
    at[3] = static_cast<uint8_t>(v >> 24);
}

} // namespace

bool CFriendService::SendBody(uint16_t sub, const void* body, std::size_t size) {
    // A body travels with a 16-bit length; a longer one cannot be framed.
    if (m_pClientSocket == nullptr || size > 0xFFFF)
        return false;
    return m_pClientSocket->SendData(CMD_FRIEND, sub, body, static_cast<uint16_t>(size));
}

void CFriendService::SendAddFriendRequest(int ownID, int targetID, const std::string& verifyText) {
    SendCommand(SUB_C_ADD_FRIEND, [&](CCommandStream& stream) {
        stream.WriteInt32(ownID);
        stream.WriteInt32(targetID);
        stream.WriteString(verifyText);
    });
}

void CFriendService::SendFriendReply(int ownID, int requesterID, bool accepted) {
    uint8_t body[SIZE_FRIEND_REPLY_OUT];
    PutInt32(body, ownID);
    PutInt32(body + 4, requesterID);
    body[8] = accepted ? 1 : 0;
    SendBody(SUB_C_FRIEND_REPLY, body, sizeof body);
}

void CFriendService::SendMoveRequest(int ownID, int targetID, uint8_t operation) {
    uint8_t body[SIZE_MOVE_CONTACT];
    PutInt32(body, ownID);
    PutInt32(body + 4, targetID);
    body[8] = operation;
    SendBody(SUB_C_MOVE_CONTACT, body, sizeof body);
}

bool CFriendService::SendLogonRequest(int ownID, const std::string& logonToken, int32_t version) {
    return SendCommand(SUB_C_LOGON, [&](CCommandStream& stream) {
        stream.WriteInt32(ownID);
        stream.WriteString(logonToken);
        stream.WriteInt32(version);
    });
}

void CFriendService::SendChatMessage(int ownID, int friendID, const std::string& text) {
    SendCommand(SUB_C_CHAT_MESSAGE, [&](CCommandStream& stream) {
        stream.WriteInt32(ownID);
        stream.WriteInt32(friendID);
        stream.WriteString(text);
    });
}

void CFriendService::SendShake(int friendID) {
    uint8_t body[SIZE_SHAKE_OUT];
    PutInt32(body, friendID);
    SendBody(SUB_C_SHAKE, body, sizeof body);
}
