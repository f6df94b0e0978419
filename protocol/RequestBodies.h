#pragma once
// Layouts of the requests to the friend server. Variable bodies are written into the send stream;
// fixed ones are laid out in a buffer of their exact size.

#include "client/CommandStream.h"
#include "records/FriendCommands.h"

#include <array>
#include <cstdint>
#include <string>

namespace pellix {

void WriteAddFriendRequest(CCommandStream& stream, int ownID, int targetID,
                           const std::string& verifyText);
// Whether a request with this verification text fits the largest body a frame carries.
bool AddFriendRequestFits(const std::string& verifyText);
void WriteLogonRequest(CCommandStream& stream, int ownID, const std::string& logonToken,
                       int32_t version);
void WriteChatMessage(CCommandStream& stream, int ownID, int friendID, const std::string& text);
// The acknowledged-chat extension's requests.
void WriteAckedChatMessage(CCommandStream& stream, int ownID, int friendID, uint64_t messageID,
                           const std::string& text);
// Whether a chat with this text fits the largest body a frame carries, in either form.
bool ChatMessageFits(const std::string& text);
// The client's answer to the server's announcement: the extensions it uses.
std::array<uint8_t, SIZE_EXTENSIONS> ExtensionsAnswerBody(uint32_t bits);
std::array<uint8_t, SIZE_DELIVERY_ACK> DeliveryAckBody(int senderID, uint64_t messageID);

// The accepted byte is 1 for any true value.
std::array<uint8_t, SIZE_FRIEND_REPLY_OUT> FriendReplyBody(int ownID, int requesterID,
                                                           bool accepted);
// The operation byte is sent unchanged.
std::array<uint8_t, SIZE_MOVE_CONTACT> MoveContactBody(int ownID, int targetID, uint8_t operation);
std::array<uint8_t, SIZE_SHAKE_OUT> ShakeBody(int friendID);

} // namespace pellix
