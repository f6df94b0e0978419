#include "FriendRecords.h"

namespace pellix {

void ReadFriendEntry(CCommandStream& stream, FriendEntry& entry) {
    entry.userID = stream.ReadInt32();
    stream.ReadString(entry.userName);
    stream.ReadString(entry.nickName);
    entry.showID = stream.ReadInt32();
    entry.gender = stream.ReadByte();
    entry.online = stream.ReadBool();
}

void WriteFriendEntry(CCommandStream& stream, const FriendEntry& entry) {
    stream.WriteInt32(entry.userID);
    stream.WriteString(entry.userName);
    stream.WriteString(entry.nickName);
    stream.WriteInt32(entry.showID);
    stream.WriteByte(entry.gender);
    stream.WriteBool(entry.online);
}

void ReadOnlineStateEntry(CCommandStream& stream, OnlineStateEntry& entry) {
    entry.userID = stream.ReadInt32();
    entry.state = stream.ReadByte();
}

void WriteOnlineStateEntry(CCommandStream& stream, const OnlineStateEntry& entry) {
    stream.WriteInt32(entry.userID);
    stream.WriteByte(entry.state);
}

void ReadOfflineMessageEntry(CCommandStream& stream, OfflineMessageEntry& entry) {
    entry.userID = stream.ReadInt32();
    for (int32_t& value : entry.reserved)
        value = stream.ReadInt32();
    stream.ReadString(entry.message);
}

void WriteOfflineMessageEntry(CCommandStream& stream, const OfflineMessageEntry& entry) {
    stream.WriteInt32(entry.userID);
    for (const int32_t value : entry.reserved)
        stream.WriteInt32(value);
    stream.WriteString(entry.message);
}

uint64_t ReadMessageID(CCommandStream& stream) {
    const uint64_t low = stream.ReadUInt32();
    const uint64_t high = stream.ReadUInt32();
    return (high << 32) | low;
}

void WriteMessageID(CCommandStream& stream, uint64_t messageID) {
    stream.WriteUInt32(static_cast<uint32_t>(messageID));
    stream.WriteUInt32(static_cast<uint32_t>(messageID >> 32));
}

void ReadAckedChatEntry(CCommandStream& stream, AckedChatEntry& entry) {
    entry.userID = stream.ReadInt32();
    entry.messageID = ReadMessageID(stream);
    stream.ReadString(entry.message);
}

void WriteAckedChatEntry(CCommandStream& stream, const AckedChatEntry& entry) {
    stream.WriteInt32(entry.userID);
    WriteMessageID(stream, entry.messageID);
    stream.WriteString(entry.message);
}

} // namespace pellix
