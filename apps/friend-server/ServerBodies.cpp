#include "ServerBodies.h"

namespace pellix::server {

namespace ServerBodies {

std::string FitGbk(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const auto lead = static_cast<uint8_t>(text[end]);
        const bool doubleByte = lead >= 0x81 && lead <= 0xFE && end + 1 < text.size();
        const std::size_t width = doubleByte ? 2 : 1;
        if (end + width > maxBytes)
            break;
        end += width;
    }
    return text.substr(0, end);
}

std::size_t OfflineEntrySize(const OfflineMessageEntry& entry) {
    return kOfflineEntryOverhead + entry.message.size();
}

FriendEntry EntryFor(const Account& account, bool online) {
    FriendEntry entry;
    entry.userID = account.userID;
    // Names are bounded where accounts are made; a database edited by hand must not make a
    // friend list too long for its body.
    entry.userName = FitGbk(account.userName, kMaxNameBytes);
    entry.nickName = FitGbk(account.nickName, kMaxNameBytes);
    entry.showID = account.showID;
    entry.gender = account.gender;
    entry.online = online;
    return entry;
}

CCommandStream FriendList(int32_t version, const std::vector<FriendEntry>& friends) {
    CCommandStream body;
    body.WriteInt32(version);
    body.WriteInt32(static_cast<int32_t>(friends.size()));
    WriteList(body, friends, WriteFriendEntry);
    return body;
}

CCommandStream OnlineStates(int32_t version, const std::vector<OnlineStateEntry>& states) {
    CCommandStream body;
    body.WriteInt32(version);
    WriteList(body, states, WriteOnlineStateEntry);
    return body;
}

CCommandStream AddFriendOk(int32_t version, const FriendEntry& newFriend) {
    CCommandStream body;
    body.WriteInt32(version);
    WriteFriendEntry(body, newFriend);
    return body;
}

CCommandStream AddFriendFail(int32_t targetID, uint8_t reason) {
    CCommandStream body;
    body.WriteInt32(targetID);
    body.WriteByte(reason);
    return body;
}

CCommandStream FriendRequest(const FriendEntry& requester, const std::string& text) {
    CCommandStream body;
    body.WriteInt32(0);
    WriteFriendEntry(body, requester);
    body.WriteString(FitGbk(text, kMaxRequestText));
    return body;
}

CCommandStream FriendReply(int32_t replierID, int32_t requesterID, bool accepted) {
    CCommandStream body;
    body.WriteInt32(replierID);
    body.WriteInt32(requesterID);
    body.WriteByte(accepted ? 1 : 0);
    return body;
}

CCommandStream MoveResult(int32_t targetID, uint8_t operation, uint8_t result) {
    CCommandStream body;
    body.WriteInt32(targetID);
    body.WriteByte(operation);
    body.WriteByte(result);
    return body;
}

CCommandStream LogonFailed(int32_t userID) {
    CCommandStream body;
    body.WriteInt32(userID);
    body.WriteByte(1);
    return body;
}

CCommandStream ChatMessage(int32_t senderID, const std::string& text) {
    CCommandStream body;
    body.WriteInt32(senderID);
    body.WriteString(text);
    return body;
}

CCommandStream OnlineState(int32_t userID, uint8_t state) {
    CCommandStream body;
    WriteOnlineStateEntry(body, {userID, state});
    return body;
}

CCommandStream OfflineMessages(const std::vector<OfflineMessageEntry>& messages) {
    CCommandStream body;
    body.WriteInt32(0);
    WriteList(body, messages, WriteOfflineMessageEntry);
    return body;
}

CCommandStream Shake(int32_t senderID) {
    CCommandStream body;
    body.WriteInt32(senderID);
    return body;
}

std::size_t AckedEntrySize(const AckedChatEntry& entry) {
    return kAckedEntryOverhead + entry.message.size();
}

CCommandStream Extensions(uint32_t bits) {
    CCommandStream body;
    body.WriteUInt32(bits);
    return body;
}

CCommandStream ChatAck(int32_t recipientID, uint64_t messageID) {
    CCommandStream body;
    body.WriteInt32(recipientID);
    WriteMessageID(body, messageID);
    return body;
}

CCommandStream ChatRefused(int32_t recipientID, uint64_t messageID, uint32_t reason) {
    CCommandStream body = ChatAck(recipientID, messageID);
    body.WriteUInt32(reason);
    return body;
}

CCommandStream AckedChat(const AckedChatEntry& chat) {
    CCommandStream body;
    WriteAckedChatEntry(body, chat);
    return body;
}

CCommandStream AckedOfflineMessages(const std::vector<AckedChatEntry>& messages) {
    CCommandStream body;
    WriteList(body, messages, WriteAckedChatEntry);
    return body;
}

} // namespace ServerBodies

} // namespace pellix::server
