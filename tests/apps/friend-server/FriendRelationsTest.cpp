// The rules of friendship and list versions over each store.

#include "FriendRelations.h"
#include "TestStores.h"

#include <gtest/gtest.h>

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
