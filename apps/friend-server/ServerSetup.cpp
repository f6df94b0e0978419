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

bool ApplySetup(const ServerOptions& options, AccountStore& store, QString& error) {
    FriendRelations relations(store);
    if (options.seedDemo) {
        for (const Account& account : DemoAccounts())
            relations.SaveAccount(account);
    }
    for (const Account& account : options.users)
        relations.SaveAccount(account);
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
