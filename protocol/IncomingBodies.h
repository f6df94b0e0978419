#pragma once
// Decoded bodies of the variable-length commands the friend server sends.

#include "records/FriendRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

struct FriendListBody {
    int32_t version = 0;
    int32_t friendCount = 0;
    std::vector<FriendEntry> friends;
};

struct OnlineStatesBody {
    std::vector<OnlineStateEntry> states;
};

struct AddFriendOkBody {
    FriendEntry entry;
};

struct FriendRequestBody {
    FriendEntry asker;
    std::string verifyText;
};

struct ChatMessageBody {
    int32_t senderID = 0;
    std::string text;
};

struct OfflineMessagesBody {
    std::vector<OfflineMessageEntry> messages;
};

// The acknowledged-chat extension's bodies.
struct ExtensionsBody {
    uint32_t bits = 0;
};

struct ChatAckBody {
    int32_t recipientID = 0;
    uint64_t messageID = 0;
};

struct ChatRefusedBody {
    int32_t recipientID = 0;
    uint64_t messageID = 0;
    uint32_t reason = 0;
};

struct AckedChatBody {
    AckedChatEntry chat;
};

struct AckedOfflineMessagesBody {
    std::vector<AckedChatEntry> messages;
};

void ReadBody(CCommandStream& stream, FriendListBody& body);
void ReadBody(CCommandStream& stream, OnlineStatesBody& body);
void ReadBody(CCommandStream& stream, AddFriendOkBody& body);
void ReadBody(CCommandStream& stream, FriendRequestBody& body);
void ReadBody(CCommandStream& stream, ChatMessageBody& body);
void ReadBody(CCommandStream& stream, OfflineMessagesBody& body);
void ReadBody(CCommandStream& stream, ExtensionsBody& body);
void ReadBody(CCommandStream& stream, ChatAckBody& body);
void ReadBody(CCommandStream& stream, ChatRefusedBody& body);
void ReadBody(CCommandStream& stream, AckedChatBody& body);
void ReadBody(CCommandStream& stream, AckedOfflineMessagesBody& body);

// Decodes a received body from a copy of its bytes; false when the body was too short for its
// layout, in which case the command must be dropped.
template <typename Body> bool DecodeBody(const void* data, unsigned short length, Body& body) {
    CCommandStream stream;
    stream.Append(data, length);
    ReadBody(stream, body);
    return !stream.IsTruncated();
}

} // namespace pellix
