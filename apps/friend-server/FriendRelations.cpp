#include "FriendRelations.h"

#include <QDateTime>

namespace pellix::server {

namespace {

int32_t VersionFromClock() {
    // Seconds modulo 2^30 leave room for a billion changes before the counter could overflow.
    return static_cast<int32_t>(QDateTime::currentSecsSinceEpoch() % (1 << 30)) + 1;
}

} // namespace

void FriendRelations::SaveAccount(const Account& account) {
    const std::optional<Account> previous = m_Store.FindAccount(account.userID);
    std::vector<int32_t> bumps;
    if (previous && !previous->SameListEntry(account))
        bumps = m_Store.FriendsOf(account.userID);
    m_Store.SaveAccount(account, VersionFromClock(), bumps);
}

bool FriendRelations::SaveBatch(const AccountBatch& batch) {
    return m_Store.SaveBatch(batch, VersionFromClock(), kMaxFriends);
}

bool FriendRelations::AreFriends(int32_t userID, int32_t otherID) {
    return m_Store.GetRelation(userID, otherID) == Relation::Friend;
}

bool FriendRelations::HasBlacklisted(int32_t ownerID, int32_t otherID) {
    return m_Store.GetRelation(ownerID, otherID) == Relation::Blacklisted;
}

bool FriendRelations::HasFullList(int32_t userID) {
    return m_Store.FriendsOf(userID).size() >= kMaxFriends;
}

bool FriendRelations::MakeFriends(int32_t userID, int32_t otherID) {
    if (AreFriends(userID, otherID))
        return true;
    if (HasFullList(userID) || HasFullList(otherID))
        return false;
    m_Store.ApplyRelations(
        {{userID, otherID, Relation::Friend}, {otherID, userID, Relation::Friend}},
        {userID, otherID});
    return true;
}

bool FriendRelations::MoveToStrangers(int32_t ownerID, int32_t otherID) {
    switch (m_Store.GetRelation(ownerID, otherID)) {
    case Relation::Friend:
        m_Store.ApplyRelations(
            {{ownerID, otherID, Relation::None}, {otherID, ownerID, Relation::None}},
            {ownerID, otherID});
        return true;
    case Relation::Blacklisted:
        m_Store.ApplyRelations({{ownerID, otherID, Relation::None}}, {});
        return true;
    case Relation::None:
        break;
    }
    return false;
}

bool FriendRelations::Blacklist(int32_t ownerID, int32_t otherID) {
    switch (m_Store.GetRelation(ownerID, otherID)) {
    case Relation::Friend:
        m_Store.ApplyRelations(
            {{ownerID, otherID, Relation::Blacklisted}, {otherID, ownerID, Relation::None}},
            {ownerID, otherID});
        return true;
    case Relation::None:
        m_Store.ApplyRelations({{ownerID, otherID, Relation::Blacklisted}}, {});
        return true;
    case Relation::Blacklisted:
        break;
    }
    return false;
}

} // namespace pellix::server
