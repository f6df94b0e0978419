#pragma once
// Records carried inside friend command bodies, and their codec on a CCommandStream.
// Strings are GBK.

#include "client/CommandStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

struct FriendEntry {
    int32_t userID = 0;
    std::string userName;
    std::string nickName;
    int32_t showID = 0;
    uint8_t gender = 0;
    bool online = false;
};

struct OnlineStateEntry {
    int32_t userID = 0;
    uint8_t state = 0;
};

struct OfflineMessageEntry {
    int32_t userID = 0;
    int32_t reserved[3] = {};
    std::string message;
};

// A chat of the acknowledged-chat extension as the server delivers it: the sender, the message id
// the sender's client gave it, and the text.
struct AckedChatEntry {
    int32_t userID = 0;
    uint64_t messageID = 0;
    std::string message;
};

// A message id travels as two u32, the low half first.
uint64_t ReadMessageID(CCommandStream& stream);
void WriteMessageID(CCommandStream& stream, uint64_t messageID);
void ReadAckedChatEntry(CCommandStream& stream, AckedChatEntry& entry);
void WriteAckedChatEntry(CCommandStream& stream, const AckedChatEntry& entry);
void ReadFriendEntry(CCommandStream& stream, FriendEntry& entry);
void WriteFriendEntry(CCommandStream& stream, const FriendEntry& entry);
void ReadOnlineStateEntry(CCommandStream& stream, OnlineStateEntry& entry);
void WriteOnlineStateEntry(CCommandStream& stream, const OnlineStateEntry& entry);
void ReadOfflineMessageEntry(CCommandStream& stream, OfflineMessageEntry& entry);
void WriteOfflineMessageEntry(CCommandStream& stream, const OfflineMessageEntry& entry);

// Writes a counted list with the given entry writer.
template <typename T, typename WriteEntry>
void WriteList(CCommandStream& stream, const std::vector<T>& list, WriteEntry writeEntry) {
    stream.WriteUInt32(static_cast<uint32_t>(list.size()));
    for (const T& entry : list)
        writeEntry(stream, entry);
}

} // namespace pellix
