#pragma once
// The accounts the benchmarks put on the reference server: user N is "playerN", nickname the
// same, token "t".

#include "FriendRelations.h"

#include <cstdint>
#include <string>

namespace pellix {

inline void SaveBenchAccount(pellix::server::FriendRelations& relations, int32_t userID) {
    pellix::server::Account account;
    account.userID = userID;
    account.userName = "player" + std::to_string(userID);
    account.nickName = account.userName;
    account.token = "t";
    relations.SaveAccount(account);
}

// Users 1 to count, each a friend of the one before.
inline void SaveChainOfFriends(pellix::server::FriendRelations& relations, int32_t count) {
    for (int32_t userID = 1; userID <= count; ++userID) {
        SaveBenchAccount(relations, userID);
        if (userID > 1)
            relations.MakeFriends(userID - 1, userID);
    }
}

} // namespace pellix
