// The built server binary, run as the demo script runs it.

#include "ServerProcess.h"

#include "records/FriendRecords.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pellix {

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

} // namespace pellix
