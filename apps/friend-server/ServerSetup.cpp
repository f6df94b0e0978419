#include "ServerSetup.h"

#include "AccountStore.h"
#include "FriendRelations.h"
#include "text/StringUtility.h"

namespace pellix::server {

namespace {

Account DemoAccount(int32_t userID, const char* userName, const QString& nickName, uint8_t gender) {
    Account account;
    account.userID = userID;
    account.userName = userName;
    account.nickName = StringUtility::QStringToAnsi(nickName);
    account.showID = userID;
    account.gender = gender;
    account.token = "demo";
    return account;
}

} // namespace

std::vector<Account> DemoAccounts() {
    return {
        DemoAccount(10001, "alice", QStringLiteral("小明"), 1),
        DemoAccount(10002, "bob", QStringLiteral("Bob"), 1),
        DemoAccount(10003, "carol", QStringLiteral("小红"), 0),
        DemoAccount(10004, "dave", QStringLiteral("大卫"), 1),
    };
}

namespace {

// An account named on its own inside a range would be changed back and forth at every start.
bool SaveUserRanges(const ServerOptions& options, FriendRelations& relations, QString& error) {
    std::vector<Account> named = options.users;
    if (options.seedDemo) {
        const std::vector<Account> demo = DemoAccounts();
        named.insert(named.end(), demo.begin(), demo.end());
    }
    AccountBatch batch;
    for (const UserRange& range : options.userRanges) {
        for (const Account& account : named) {
            if (range.Contains(account.userID)) {
                error = QStringLiteral("--add-users %1-%2 holds account %3, which is named on its "
                                       "own too")
                            .arg(range.first)
                            .arg(range.last)
                            .arg(account.userID);
                return false;
            }
        }
        AddUserRange(range, batch);
    }
    if (!relations.SaveBatch(batch)) {
        error = QStringLiteral("--add-users: a friend list would hold more than %1 friends")
                    .arg(FriendRelations::kMaxFriends);
        return false;
    }
    return true;
}

} // namespace

bool ApplySetup(const ServerOptions& options, AccountStore& store, QString& error) {
    FriendRelations relations(store);
    if (options.seedDemo) {
        for (const Account& account : DemoAccounts())
            relations.SaveAccount(account);
    }
    for (const Account& account : options.users)
        relations.SaveAccount(account);
    if (!options.userRanges.empty() && !SaveUserRanges(options, relations, error))
        return false;
    for (const auto& [userID, otherID] : options.friendships) {
        if (!store.FindAccount(userID) || !store.FindAccount(otherID)) {
            error = QStringLiteral("--befriend %1,%2: both accounts must exist")
                        .arg(userID)
                        .arg(otherID);
            return false;
        }
        if (!relations.MakeFriends(userID, otherID)) {
            error =
                QStringLiteral("--befriend %1,%2: a friend list is full").arg(userID).arg(otherID);
            return false;
        }
    }
    return true;
}

} // namespace pellix::server
