// The rules of friendship and list versions over each store.

#include "FriendRelations.h"
#include "ServerSetup.h"
#include "TestStores.h"

#include <gtest/gtest.h>

#include <map>

using namespace pellix;
using namespace pellix::server;

namespace {

Account MakeAccount(int32_t userID, const std::string& nickName) {
    Account account;
    account.userID = userID;
    account.userName = "name" + std::to_string(userID);
    account.nickName = nickName;
    account.showID = -userID;
    account.gender = 200;
    account.token = "secret";
    return account;
}

class FriendRelationsTest : public ::testing::TestWithParam<StoreKind> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Stores, FriendRelationsTest, EachStore(), StoreKindName);

TEST_P(FriendRelationsTest, ANewNickNameChangesTheFriendsVersionsOnly) {
    const StorePlace place(GetParam());
    const std::unique_ptr<AccountStore> opened = place.Open();
    AccountStore& store = *opened;
    FriendRelations relations(store);
    for (int32_t id : {1, 2, 3})
        relations.SaveAccount(MakeAccount(id, "n"));
    ASSERT_TRUE(relations.MakeFriends(1, 2));
    const int32_t before1 = store.ListVersion(1);
    const int32_t before2 = store.ListVersion(2);
    const int32_t before3 = store.ListVersion(3);

    relations.SaveAccount(MakeAccount(1, "n"));
    EXPECT_EQ(store.ListVersion(2), before2) << "nothing a friend sees changed";
    relations.SaveAccount(MakeAccount(1, "new nick"));
    EXPECT_EQ(store.ListVersion(2), before2 + 1);
    EXPECT_EQ(store.ListVersion(1), before1);
    EXPECT_EQ(store.ListVersion(3), before3);

    // Blacklisting a friend ends the friendship on both sides; lifting it makes strangers.
    ASSERT_TRUE(relations.Blacklist(2, 1));
    EXPECT_EQ(store.GetRelation(1, 2), Relation::None);
    EXPECT_TRUE(relations.HasBlacklisted(2, 1));
    EXPECT_EQ(store.ListVersion(1), before1 + 1);
    EXPECT_FALSE(relations.Blacklist(2, 1));
    EXPECT_TRUE(relations.MoveToStrangers(2, 1));
    EXPECT_EQ(store.GetRelation(2, 1), Relation::None);
    EXPECT_EQ(store.ListVersion(1), before1 + 1);
}

// --add-users on a store that already knows one of its users: the ring of friends is made, the
// renamed user's old friend hears of it, and starting again with the same ranges changes nothing.
TEST_P(FriendRelationsTest, RangesOfUsersGetTheirRingOfFriendsOnce) {
    const StorePlace place(GetParam());
    ServerOptions options;
    QString error;
    ASSERT_TRUE(ParseUserRanges({QStringLiteral("100-109,bench,4"), QStringLiteral("200-205,x,3")},
                                options.userRanges, error));
    {
        const std::unique_ptr<AccountStore> store = place.Open();
        FriendRelations relations(*store);
        relations.SaveAccount(MakeAccount(1, "n"));
        relations.SaveAccount(MakeAccount(100, "n"));
        ASSERT_TRUE(relations.MakeFriends(1, 100));
        ASSERT_TRUE(relations.Blacklist(100, 101));
    }
    std::vector<int32_t> ids = {1};
    for (const UserRange& range : options.userRanges) {
        for (int32_t id = range.first; id <= range.last; ++id)
            ids.push_back(id);
    }
    std::map<int32_t, int32_t> versions;
    for (int start = 0; start < 2; ++start) {
        const std::unique_ptr<AccountStore> store = place.Open();
        const int32_t friendVersion = store->ListVersion(1);
        ASSERT_TRUE(ApplySetup(options, *store, error)) << error.toStdString();
        EXPECT_EQ(store->FriendsOf(100), (std::vector<int32_t>{1, 101, 102, 108, 109}));
        EXPECT_EQ(store->FriendsOf(105), (std::vector<int32_t>{103, 104, 106, 107}));
        EXPECT_EQ(store->FriendsOf(200), (std::vector<int32_t>{201, 203, 205}));
        EXPECT_EQ(store->FriendsOf(204), (std::vector<int32_t>{201, 203, 205}));
        for (const UserRange& range : options.userRanges) {
            for (int32_t id = std::max(range.first, 101); id <= range.last; ++id)
                EXPECT_EQ(store->FriendsOf(id).size(), static_cast<std::size_t>(range.friends));
        }
        const std::optional<Account> account = store->FindAccount(100);
        ASSERT_TRUE(account);
        EXPECT_EQ(account->nickName, "u100");
        EXPECT_EQ(account->showID, 100);
        EXPECT_EQ(account->token, "bench");
        if (start == 0) {
            EXPECT_EQ(store->ListVersion(1), friendVersion + 1) << "its friend 100 was renamed";
            for (const int32_t id : ids)
                versions[id] = store->ListVersion(id);
            continue;
        }
        for (const int32_t id : ids)
            EXPECT_EQ(store->ListVersion(id), versions[id]) << id;
    }
}
