// The built server binary, run as the demo script runs it, and as several nodes sharing one
// database are started.

#include "ServerFixture.h"
#include "ServerProcess.h"
#include "TestStores.h"

#include "records/FriendRecords.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pellix {

namespace {

using server::StoreKind;

class BinaryOnEachStoreTest : public ::testing::TestWithParam<StoreKind> {};

QStringList SetupArguments(const std::string& database) {
    return {QStringLiteral("--listen"),
            QStringLiteral("127.0.0.1:0"),
            QStringLiteral("--db"),
            QString::fromStdString(database),
            QStringLiteral("--seed-demo"),
            QStringLiteral("--add-user"),
            QStringLiteral("20001,zhang,小张,20001,1,secret"),
            QStringLiteral("--befriend"),
            QStringLiteral("10001,10002"),
            QStringLiteral("--befriend"),
            QStringLiteral("20001,10001")};
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Stores, BinaryOnEachStoreTest, server::EachStore(), server::StoreKindName);

TEST(BinaryTest, ListensOnAFreePortAndServesTheDemoAccounts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ServerProcess server({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                          QStringLiteral("--db"), dir.filePath(QStringLiteral("server.db")),
                          QStringLiteral("--seed-demo"), QStringLiteral("--befriend"),
                          QStringLiteral("10001,10002")});
    const quint16 port = server.WaitListening();
    ASSERT_NE(port, 0) << server.ErrorOutput().toStdString();

    TestPeer peer(port);
    peer.LogOn(10001, "demo", -1);
    const auto list = peer.WaitFor(SUB_S_FRIEND_LIST);
    ASSERT_TRUE(list);
    CCommandStream body = BodyOf(*list);
    body.ReadInt32();
    EXPECT_EQ(body.ReadInt32(), 1);
    std::vector<FriendEntry> friends;
    body.ReadList(friends, ReadFriendEntry);
    ASSERT_EQ(friends.size(), 1u);
    EXPECT_EQ(friends[0].userID, 10002);
    EXPECT_EQ(friends[0].nickName, "Bob");
}

TEST(BinaryTest, BadArgumentsExitWithCodeTwoAndSayWhy) {
    ServerProcess server({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:99999")});
    EXPECT_EQ(server.WaitExitCode(), 2);
    EXPECT_TRUE(server.ErrorOutput().contains(QStringLiteral("--listen")));

    QTemporaryDir dir;
    ServerProcess unknown({QStringLiteral("--db"), dir.filePath(QStringLiteral("s.db")),
                           QStringLiteral("--befriend"), QStringLiteral("1,2")});
    EXPECT_EQ(unknown.WaitExitCode(), 2);
    EXPECT_TRUE(unknown.ErrorOutput().contains(QStringLiteral("1,2")));
}

// Every node of a cluster may be started with the same setup: given again, it changes nothing.
TEST_P(BinaryOnEachStoreTest, TheSameSetupGivenAgainChangesNothing) {
    const server::StorePlace place(GetParam());
    std::vector<server::FriendListBody> lists;
    for (int start = 0; start < 2; ++start) {
        ServerProcess server(SetupArguments(place.Location()));
        const quint16 port = server.WaitListening();
        ASSERT_NE(port, 0) << server.ErrorOutput().toStdString();
        TestPeer peer(port);
        peer.LogOn(10001, "demo", -1);
        const auto list = peer.WaitFor(SUB_S_FRIEND_LIST);
        ASSERT_TRUE(list);
        lists.push_back(server::DecodeFriendList(*list));
    }
    ASSERT_EQ(lists[0].friends.size(), 2u);
    EXPECT_EQ(lists[0].friends[0].userID, 10002);
    EXPECT_EQ(lists[0].friends[1].userID, 20001);
    EXPECT_EQ(lists[1].version, lists[0].version);
    ASSERT_EQ(lists[1].friends.size(), 2u);
    EXPECT_EQ(lists[1].friends[1].nickName, lists[0].friends[1].nickName);
}

// Both schemes name a PostgreSQL database; the schema is made once whoever comes first.
TEST(BinaryTest, ServersStartingTogetherOnOneNewPostgresDatabaseAllListen) {
    const server::StorePlace place(StoreKind::Postgres);
    std::string otherScheme = place.Location();
    otherScheme.replace(0, std::string("postgresql").size(), "postgres");
    ServerProcess first(SetupArguments(place.Location()));
    ServerProcess second(SetupArguments(otherScheme));
    EXPECT_NE(first.WaitListening(), 0) << first.ErrorOutput().toStdString();
    EXPECT_NE(second.WaitListening(), 0) << second.ErrorOutput().toStdString();
}

} // namespace pellix
