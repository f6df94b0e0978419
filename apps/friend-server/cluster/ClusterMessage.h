#pragma once
// What the nodes of one cluster tell each other. Every message starts with its kind and the id of
// the node that sent it; which of the other fields it carries depends on the kind. Messages are
// written and read with the command codec, so one cut short or of an unknown kind is recognised
// and dropped.

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pellix::server {

enum class ClusterKind : uint8_t {
    // To all: the sender is alive.
    Heartbeat = 1,
    // To all, or to one node: answer with a roster.
    RosterRequest = 2,
    // To one node: users logged on at the sender with their claims, in chunks; flag on the last.
    Roster = 3,
    // To all: userID logged on (flag) or off at the sender, with its claim.
    Presence = 4,
    // To one node: tell its users in `users` that their friend userID went on- (flag) or offline.
    PresenceNotice = 5,
    // To the recipient's node: a chat from userID to otherID.
    Chat = 6,
    // The same for an acknowledged chat, already stored, with its messageID.
    AckedChat = 7,
    Shake = 8,
    // userID asked otherID to be friends; the request is stored.
    FriendRequest = 9,
    // userID answered otherID's request, accepting it when flag is set.
    FriendReply = 10,
    // otherID is a new friend of userID.
    NewFriend = 11,
    // Messages wait in the store for userID: hand them over if its session is idle.
    QueuePoke = 12,
};

struct RosterEntry {
    int32_t userID = 0;
    int64_t claim = 0;
};

struct ClusterMessage {
    ClusterKind kind = ClusterKind::Heartbeat;
    uint64_t node = 0;
    int32_t userID = 0;
    int32_t otherID = 0;
    int64_t claim = 0;
    bool flag = false;
    uint64_t messageID = 0;
    // GBK, as on the client wire.
    std::string text{};
    std::vector<int32_t> users{};
    std::vector<RosterEntry> roster{};
};

QByteArray EncodeClusterMessage(const ClusterMessage& message);
// Nothing for a message that is cut short or of an unknown kind.
std::optional<ClusterMessage> DecodeClusterMessage(const QByteArray& bytes);

} // namespace pellix::server
