#pragma once
// A block of numbered accounts made in one go (--add-users), for load tests and benchmarks: users
// FIRST to LAST, all with one token, each with the same number of friends among them.

#include "AccountStore.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pellix::server {

struct UserRange {
    // Bounds on one range, so that a slip of the finger cannot ask for billions of rows.
    static constexpr int64_t kMaxUsers = 1000000;
    static constexpr int64_t kMaxFriendships = 10000000;

    int32_t first = 0;
    int32_t last = 0;
    // GBK, as the log-on carries it.
    std::string token;
    int32_t friends = 0;

    int64_t Count() const { return int64_t{last} - first + 1; }
    bool Contains(int32_t userID) const { return userID >= first && userID <= last; }
};

// Each value is FIRST-LAST,TOKEN[,FRIENDS]. False, with error naming the value, when one is
// malformed, its friends cannot be laid out, or two ranges share an id.
bool ParseUserRanges(const QStringList& values, std::vector<UserRange>& ranges, QString& error);

// Adds the range's accounts and friendships to the batch. User N is named "uN" (user and nick
// name), shows N, and has gender N % 2. The users sit on a ring in id order, LAST followed by
// FIRST: each befriends the FRIENDS / 2 users after it, so that it also has the FRIENDS / 2
// before it, and with an odd FRIENDS (and an even number of users) the user half the ring away.
void AddUserRange(const UserRange& range, AccountBatch& batch);

} // namespace pellix::server
