#include "IncomingBodies.h"

namespace pellix {

void ReadBody(CCommandStream& stream, FriendListBody& body) {
    body.version = stream.ReadInt32();
    body.friendCount = stream.ReadInt32();
    stream.ReadList(body.friends, ReadFriendEntry);
}

void ReadBody(CCommandStream& stream, OnlineStatesBody& body) {
    stream.ReadInt32();
    stream.ReadList(body.states, ReadOnlineStateEntry);
}

void ReadBody(CCommandStream& stream, AddFriendOkBody& body) {
    stream.ReadInt32();
    ReadFriendEntry(stream, body.entry);
}

void ReadBody(CCommandStream& stream, FriendRequestBody& body) {
    stream.ReadInt32();
    ReadFriendEntry(stream, body.asker);
    stream.ReadString(body.verifyText);
}

void ReadBody(CCommandStream& stream, ChatMessageBody& body) {
    body.senderID = stream.ReadInt32();
    stream.ReadString(body.text);
}

void ReadBody(CCommandStream& stream, OfflineMessagesBody& body) {
    stream.ReadInt32();
    stream.ReadList(body.messages, ReadOfflineMessageEntry);
}

void ReadBody(CCommandStream& stream, ExtensionsBody& body) {
    body.bits = stream.ReadUInt32();
}

void ReadBody(CCommandStream& stream, ChatAckBody& body) {
    body.recipientID = stream.ReadInt32();
    body.messageID = ReadMessageID(stream);
}

void ReadBody(CCommandStream& stream, ChatRefusedBody& body) {
    body.recipientID = stream.ReadInt32();
    body.messageID = ReadMessageID(stream);
    body.reason = stream.ReadUInt32();
}

void ReadBody(CCommandStream& stream, AckedChatBody& body) {
    ReadAckedChatEntry(stream, body.chat);
}

void ReadBody(CCommandStream& stream, AckedOfflineMessagesBody& body) {
    stream.ReadList(body.messages, ReadAckedChatEntry);
}

} // namespace pellix
