// Requests of the friend service to the friend server. Variable bodies go through the send stream,
// fixed ones through a buffer of their exact size.

#include "FriendService.h"

#include "base/SignedInUser.h"
#include "protocol/RequestBodies.h"
#include "records/FriendCommands.h"

#include <ctime>

namespace pellix {

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

ChatSendReceipt CFriendService::SendChatMessage(int friendID, const std::string& text) {
    return m_pChatDelivery->Send(friendID, static_cast<int64_t>(std::time(nullptr)), text);
}

std::vector<OutboxMessage> CFriendService::PendingChats(int friendID) const {
    return m_pChatDelivery->PendingFor(friendID);
}

bool CFriendService::SendChat(const OutboxMessage& message, bool acknowledged) {
    const int ownID = GetUserInfo().userID;
    if (!acknowledged) {
        return SendCommand(SUB_C_CHAT_MESSAGE, [&](CCommandStream& stream) {
            WriteChatMessage(stream, ownID, message.friendID, message.text);
        });
    }
    return SendCommand(SUB_C_CHAT_MESSAGE_EX, [&](CCommandStream& stream) {
        WriteAckedChatMessage(stream, ownID, message.friendID, message.messageID, message.text);
    });
}

bool CFriendService::SendExtensionsAnswer(uint32_t bits) {
    const auto body = ExtensionsAnswerBody(bits);
    return SendBody(SUB_C_EXTENSIONS, body.data(), body.size());
}

bool CFriendService::SendDeliveryAck(int32_t senderID, uint64_t messageID) {
    const auto body = DeliveryAckBody(senderID, messageID);
    return SendBody(SUB_C_DELIVERY_ACK, body.data(), body.size());
}

} // namespace pellix
