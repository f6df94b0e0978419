#pragma once
// The bodies the friend server sends, each written with the command codec, and the limits that
// keep every body within the 65535 bytes a frame can carry.

#include "Account.h"
#include "records/FriendRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pellix::server {

namespace ServerBodies {

constexpr std::size_t kMaxBody = 0xFFFF;
// Value, count and the fixed part of one entry (sender, three values, terminator).
constexpr std::size_t kOfflineListOverhead = 8;
constexpr std::size_t kOfflineEntryOverhead = 17;
constexpr std::size_t kMaxOfflineText = kMaxBody - kOfflineListOverhead - kOfflineEntryOverhead;
// The longest user or nick name in GBK bytes: the client keeps names in 32-byte fields.
constexpr std::size_t kMaxNameBytes = 31;
// An entry with two 31-byte names: id, names with terminators, show id, gender, online.
constexpr std::size_t kMaxFriendEntry = 74;
constexpr std::size_t kMaxRequestText = kMaxBody - 4 - kMaxFriendEntry - 1;

// Reasons carried in the last byte of SUB_S_ADD_FRIEND_FAIL.
constexpr uint8_t kFailUnknownUser = 1;
constexpr uint8_t kFailSelf = 2;
constexpr uint8_t kFailListFull = 3;

// Result byte of SUB_S_MOVE_RESULT.
constexpr uint8_t kMoveDone = 0;
constexpr uint8_t kMoveUnchanged = 1;

// Cuts GBK text to at most maxBytes without splitting a double-byte character.
std::string FitGbk(const std::string& text, std::size_t maxBytes);
std::size_t OfflineEntrySize(const OfflineMessageEntry& entry);

FriendEntry EntryFor(const Account& account, bool online);

CCommandStream FriendList(int32_t version, const std::vector<FriendEntry>& friends);
CCommandStream OnlineStates(int32_t version, const std::vector<OnlineStateEntry>& states);
CCommandStream AddFriendOk(int32_t version, const FriendEntry& newFriend);
CCommandStream AddFriendFail(int32_t targetID, uint8_t reason);
CCommandStream FriendRequest(const FriendEntry& requester, const std::string& text);
CCommandStream FriendReply(int32_t replierID, int32_t requesterID, bool accepted);
CCommandStream MoveResult(int32_t targetID, uint8_t operation, uint8_t result);
CCommandStream LogonFailed(int32_t userID);
CCommandStream ChatMessage(int32_t senderID, const std::string& text);
CCommandStream OnlineState(int32_t userID, uint8_t state);
CCommandStream OfflineMessages(const std::vector<OfflineMessageEntry>& messages);
CCommandStream Shake(int32_t senderID);

// The acknowledged-chat extension. An entry's fixed part: sender, message id, terminator.
constexpr std::size_t kAckedListOverhead = 4;
constexpr std::size_t kAckedEntryOverhead = 13;
std::size_t AckedEntrySize(const AckedChatEntry& entry);
CCommandStream Extensions(uint32_t bits);
CCommandStream ChatAck(int32_t recipientID, uint64_t messageID);
CCommandStream ChatRefused(int32_t recipientID, uint64_t messageID, uint32_t reason);
CCommandStream AckedChat(const AckedChatEntry& chat);
CCommandStream AckedOfflineMessages(const std::vector<AckedChatEntry>& messages);

} // namespace ServerBodies

} // namespace pellix::server
