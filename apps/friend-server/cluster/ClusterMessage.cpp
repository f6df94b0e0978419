#include "ClusterMessage.h"

#include "client/CommandStream.h"
#include "records/FriendRecords.h"

namespace pellix::server {

namespace {

// The fields each kind carries, in this order after the kind and the node.
enum Field : unsigned {
    kUser = 1 << 0,
    kOther = 1 << 1,
    kClaim = 1 << 2,
    kFlag = 1 << 3,
    kMessageID = 1 << 4,
    kText = 1 << 5,
    kUsers = 1 << 6,
    kRoster = 1 << 7,
};

std::optional<unsigned> FieldsOf(uint8_t kind) {
    switch (static_cast<ClusterKind>(kind)) {
    case ClusterKind::Heartbeat:
    case ClusterKind::RosterRequest:
        return 0U;
    case ClusterKind::Roster:
        return kFlag | kRoster;
    case ClusterKind::Presence:
        return kUser | kClaim | kFlag;
    case ClusterKind::PresenceNotice:
        return kUser | kClaim | kFlag | kUsers;
    case ClusterKind::Chat:
        return kUser | kOther | kText;
    case ClusterKind::AckedChat:
        return kUser | kOther | kMessageID | kText;
    case ClusterKind::Shake:
    case ClusterKind::FriendRequest:
    case ClusterKind::NewFriend:
        return kUser | kOther;
    case ClusterKind::FriendReply:
        return kUser | kOther | kFlag;
    case ClusterKind::QueuePoke:
        return kUser;
    }
    return std::nullopt;
}

void WriteInt64(CCommandStream& stream, int64_t value) {
    WriteMessageID(stream, static_cast<uint64_t>(value));
}

int64_t ReadInt64(CCommandStream& stream) {
    return static_cast<int64_t>(ReadMessageID(stream));
}

} // namespace

QByteArray EncodeClusterMessage(const ClusterMessage& message) {
    const unsigned fields = FieldsOf(static_cast<uint8_t>(message.kind)).value_or(0);
    CCommandStream stream;
    stream.WriteByte(static_cast<uint8_t>(message.kind));
    WriteMessageID(stream, message.node);
    if (fields & kUser)
        stream.WriteInt32(message.userID);
    if (fields & kOther)
        stream.WriteInt32(message.otherID);
    if (fields & kClaim)
        WriteInt64(stream, message.claim);
    if (fields & kFlag)
        stream.WriteBool(message.flag);
    if (fields & kMessageID)
        WriteMessageID(stream, message.messageID);
    if (fields & kText)
        stream.WriteString(message.text);
    if (fields & kUsers) {
        stream.WriteUInt32(static_cast<uint32_t>(message.users.size()));
        for (const int32_t userID : message.users)
            stream.WriteInt32(userID);
    }
    if (fields & kRoster) {
        stream.WriteUInt32(static_cast<uint32_t>(message.roster.size()));
        for (const RosterEntry& entry : message.roster) {
            stream.WriteInt32(entry.userID);
            WriteInt64(stream, entry.claim);
        }
    }
    return QByteArray(reinterpret_cast<const char*>(stream.SendBuffer()),
                      static_cast<qsizetype>(stream.SendSize()));
}

std::optional<ClusterMessage> DecodeClusterMessage(const QByteArray& bytes) {
    CCommandStream stream;
    stream.Append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const uint8_t kind = stream.ReadByte();
    const std::optional<unsigned> fields = FieldsOf(kind);
    if (!fields)
        return std::nullopt;
    ClusterMessage message;
    message.kind = static_cast<ClusterKind>(kind);
    message.node = ReadMessageID(stream);
    if (*fields & kUser)
        message.userID = stream.ReadInt32();
    if (*fields & kOther)
        message.otherID = stream.ReadInt32();
    if (*fields & kClaim)
        message.claim = ReadInt64(stream);
    if (*fields & kFlag)
        message.flag = stream.ReadBool();
    if (*fields & kMessageID)
        message.messageID = ReadMessageID(stream);
    if (*fields & kText)
        stream.ReadString(message.text);
    if (*fields & kUsers)
        stream.ReadList(message.users,
                        [](CCommandStream& in, int32_t& userID) { userID = in.ReadInt32(); });
    if (*fields & kRoster)
        stream.ReadList(message.roster, [](CCommandStream& in, RosterEntry& entry) {
            entry.userID = in.ReadInt32();
            entry.claim = ReadInt64(in);
        });
    if (stream.IsTruncated())
        return std::nullopt;
    return message;
}

} // namespace pellix::server
