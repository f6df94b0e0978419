#include "RequestBodies.h"

#include "client/FrameCodec.h"
#include "client/LittleEndian.h"
#include "records/FriendRecords.h"

namespace pellix {

void WriteAddFriendRequest(CCommandStream& stream, int ownID, int targetID,
                           const std::string& verifyText) {
    stream.WriteInt32(ownID);
    stream.WriteInt32(targetID);
    stream.WriteString(verifyText);
}

bool AddFriendRequestFits(const std::string& verifyText) {
    // Two ids and the text with its terminating zero.
    constexpr std::size_t fixedPart = 2 * sizeof(int32_t) + 1;
    return verifyText.size() <= FrameCodec::kMaxBodySize - fixedPart;
}

void WriteLogonRequest(CCommandStream& stream, int ownID, const std::string& logonToken,
                       int32_t version) {
    stream.WriteInt32(ownID);
    stream.WriteString(logonToken);
    stream.WriteInt32(version);
}

void WriteChatMessage(CCommandStream& stream, int ownID, int friendID, const std::string& text) {
    stream.WriteInt32(ownID);
    stream.WriteInt32(friendID);
    stream.WriteString(text);
}

void WriteAckedChatMessage(CCommandStream& stream, int ownID, int friendID, uint64_t messageID,
                           const std::string& text) {
    stream.WriteInt32(ownID);
    stream.WriteInt32(friendID);
    WriteMessageID(stream, messageID);
    stream.WriteString(text);
}

bool ChatMessageFits(const std::string& text) {
    // Two ids, the message id and the text with its terminating zero: the longer of the forms.
    constexpr std::size_t fixedPart = 2 * sizeof(int32_t) + sizeof(uint64_t) + 1;
    return text.size() <= FrameCodec::kMaxBodySize - fixedPart;
}

std::array<uint8_t, SIZE_EXTENSIONS> ExtensionsAnswerBody(uint32_t bits) {
    std::array<uint8_t, SIZE_EXTENSIONS> body{};
    LittleEndian::Store32(body.data(), bits);
    return body;
}

std::array<uint8_t, SIZE_DELIVERY_ACK> DeliveryAckBody(int senderID, uint64_t messageID) {
    std::array<uint8_t, SIZE_DELIVERY_ACK> body{};
    LittleEndian::StoreInt32(body.data(), senderID);
    LittleEndian::Store32(body.data() + 4, static_cast<uint32_t>(messageID));
    LittleEndian::Store32(body.data() + 8, static_cast<uint32_t>(messageID >> 32));
    return body;
}

std::array<uint8_t, SIZE_FRIEND_REPLY_OUT> FriendReplyBody(int ownID, int requesterID,
                                                           bool accepted) {
    std::array<uint8_t, SIZE_FRIEND_REPLY_OUT> body{};
    LittleEndian::StoreInt32(body.data(), ownID);
    LittleEndian::StoreInt32(body.data() + 4, requesterID);
    body[8] = accepted ? 1 : 0;
    return body;
}

std::array<uint8_t, SIZE_MOVE_CONTACT> MoveContactBody(int ownID, int targetID, uint8_t operation) {
    std::array<uint8_t, SIZE_MOVE_CONTACT> body{};
    LittleEndian::StoreInt32(body.data(), ownID);
    LittleEndian::StoreInt32(body.data() + 4, targetID);
    body[8] = operation;
    return body;
}

std::array<uint8_t, SIZE_SHAKE_OUT> ShakeBody(int friendID) {
    std::array<uint8_t, SIZE_SHAKE_OUT> body{};
    LittleEndian::StoreInt32(body.data(), friendID);
    return body;
}

} // namespace pellix
