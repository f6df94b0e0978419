#pragma once
// What the friend server keeps about its users: accounts, the relation one user holds towards
// another, and the messages and friend requests waiting for a user who was away.
// Every string here is GBK, as it travels on the wire; only the SQLite store converts to UTF-8.

#include <cstdint>
#include <string>

namespace pellix::server {

struct Account {
    int32_t userID = 0;
    std::string userName;
    std::string nickName;
    int32_t showID = 0;
    uint8_t gender = 0;
    std::string token;

    // The fields a friend sees in its list; a change of them changes the friends' list versions.
    bool SameListEntry(const Account& other) const {
        return userName == other.userName && nickName == other.nickName && showID == other.showID &&
               gender == other.gender;
    }
};

// The relation an owner holds towards another user. Friendship is always held by both sides;
// a blacklist entry only by the one who blacklisted.
enum class Relation : uint8_t { None = 0, Friend = 2, Blacklisted = 8 };

struct QueuedMessage {
    int64_t queueID = 0;
    int32_t recipientID = 0;
    int32_t senderID = 0;
    int64_t sentAt = 0;
    std::string text;
    // The id the sender's client gave an acknowledged chat; 0 for a plain one.
    uint64_t messageID = 0;
};

// A recipient's client has stored the sender's acknowledged chat.
struct DeliveryReceipt {
    int32_t recipientID = 0;
    int32_t senderID = 0;
    uint64_t messageID = 0;
};

struct PendingRequest {
    int32_t requesterID = 0;
    int32_t targetID = 0;
    std::string text;
    bool delivered = false;
};

} // namespace pellix::server
