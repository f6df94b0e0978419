#pragma once
// The rules of friendship on the server, over the account store: friendship is mutual, a
// blacklist entry belongs to the one who blacklisted, and every change of a user's friend set or
// of what a friend shows in the list raises that user's list version. Owned by the server.

#include "AccountStore.h"

#include <cstddef>
#include <cstdint>

namespace pellix::server {

class FriendRelations {
public:
    // A friend list must fit in one command body: 800 entries of at most 74 bytes do.
    static constexpr std::size_t kMaxFriends = 800;

    explicit FriendRelations(AccountStore& store) : m_Store(store) {}

    // Creates or updates an account; a new one starts at a version derived from the clock, so
    // that a client's list stored against an earlier database is not taken as current.
    void SaveAccount(const Account& account);

    // Saves the batch as one change (--add-users). False, and nothing changes, when a friend list
    // would hold more than kMaxFriends.
    bool SaveBatch(const AccountBatch& batch);

    bool AreFriends(int32_t userID, int32_t otherID);
    bool HasBlacklisted(int32_t ownerID, int32_t otherID);
    bool HasFullList(int32_t userID);

    // Makes the two friends (lifting any blacklist entry between them). False, and nothing
    // changes, when either list is full; true when they already are friends.
    bool MakeFriends(int32_t userID, int32_t otherID);
    // The owner no longer keeps the other as a friend (ending the friendship on both sides) nor
    // blacklisted. True when something changed.
    bool MoveToStrangers(int32_t ownerID, int32_t otherID);
    // The owner blacklists the other, ending any friendship. True when something changed.
    bool Blacklist(int32_t ownerID, int32_t otherID);

private:
    AccountStore& m_Store;
};

} // namespace pellix::server
