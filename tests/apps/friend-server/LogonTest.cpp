// Log-on answers, replacement of a connection, presence, and what the server trusts.

#include "ServerFixture.h"

#include "text/StringUtility.h"

using namespace pellix;
using namespace pellix::server;

namespace {

const std::string kXiaoMing = StringUtility::QStringToAnsi(QStringLiteral("小明"));

class LogonTest : public ServerOnEachStore {
protected:
    void SetUp() override {
        StartServer();
        AddAccount(1);
        AddAccount(2, kXiaoMing);
        AddAccount(3);
        AddAccount(4);
        Befriend(1, 2);
        Befriend(1, 3);
    }
};

std::vector<OnlineStateEntry> DecodeStates(const FrameCodec::Frame& frame, int32_t& value) {
    CCommandStream body = BodyOf(frame);
    value = body.ReadInt32();
    std::vector<OnlineStateEntry> states;
    body.ReadList(states, ReadOnlineStateEntry);
    EXPECT_FALSE(body.IsTruncated());
    return states;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Stores, LogonTest, EachStore(), StoreKindName);

TEST_P(LogonTest, FullListFirstThenOnlineStatesWhileTheVersionIsCurrent) {
    TestPeer& friendPeer = LogOn(2);
    TestPeer& first = Connect();
    first.LogOn(1, Token(1), -1);
    const auto listFrame = first.WaitFor(SUB_S_FRIEND_LIST);
    ASSERT_TRUE(listFrame);
    const FriendListBody list = DecodeFriendList(*listFrame);
    EXPECT_EQ(list.version, Store().ListVersion(1));
    ASSERT_EQ(list.count, 2);
    ASSERT_EQ(list.friends.size(), 2u);
    EXPECT_EQ(list.friends[0].userID, 2);
    EXPECT_EQ(list.friends[0].nickName, kXiaoMing);
    EXPECT_EQ(list.friends[0].userName, "user2");
    EXPECT_EQ(list.friends[0].showID, 3);
    EXPECT_TRUE(list.friends[0].online);
    EXPECT_EQ(list.friends[1].userID, 3);
    EXPECT_FALSE(list.friends[1].online);

    // The same user again with the version it was given: states only, and the old
    // connection makes way without telling the friends the user went offline.
    TestPeer& second = Connect();
    second.LogOn(1, Token(1), list.version);
    const auto statesFrame = second.WaitFor(SUB_S_ONLINE_STATES);
    ASSERT_TRUE(statesFrame);
    int32_t value = 0;
    const auto states = DecodeStates(*statesFrame, value);
    EXPECT_EQ(value, list.version);
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0].userID, 2);
    EXPECT_EQ(states[0].state, 2);
    EXPECT_EQ(states[1].userID, 3);
    EXPECT_EQ(states[1].state, 1);
    EXPECT_EQ(second.Count(SUB_S_FRIEND_LIST), 0u);
    EXPECT_TRUE(first.WaitDisconnected());

    ASSERT_TRUE(friendPeer.Sync());
    ASSERT_EQ(friendPeer.Count(SUB_S_ONLINE_STATE), 2u);
    for (int i = 0; i < 2; ++i) {
        const auto frame = friendPeer.WaitFor(SUB_S_ONLINE_STATE);
        ASSERT_TRUE(frame);
        CCommandStream body = BodyOf(*frame);
        EXPECT_EQ(body.ReadInt32(), 1);
        EXPECT_EQ(body.ReadByte(), 2) << "an offline notice for a replaced connection";
    }
    // An outdated version brings the full list again.
    TestPeer& third = Connect();
    third.LogOn(1, Token(1), list.version - 1);
    EXPECT_TRUE(third.WaitFor(SUB_S_FRIEND_LIST));
}

TEST_P(LogonTest, BadTokenOrUnknownUserIsRefusedAndTheConnectionStaysUnauthenticated) {
    TestPeer& friendPeer = LogOn(2);
    TestPeer& peer = Connect();
    peer.LogOn(1, "wrong", -1);
    auto failed = peer.WaitFor(SUB_S_LOGON_FAILED);
    ASSERT_TRUE(failed);
    ASSERT_EQ(failed->body.size(), 5u);
    EXPECT_EQ(BodyOf(*failed).ReadInt32(), 1);
    peer.LogOn(99, Token(99), -1);
    EXPECT_TRUE(peer.WaitFor(SUB_S_LOGON_FAILED));

    // Still connected, but its commands are ignored and nobody sees it online.
    peer.Chat(2, "hello");
    ASSERT_TRUE(peer.Sync());
    ASSERT_TRUE(friendPeer.Sync());
    EXPECT_EQ(friendPeer.Count(SUB_S_CHAT_MESSAGE), 0u);
    EXPECT_EQ(friendPeer.Count(SUB_S_ONLINE_STATE), 0u);
    EXPECT_EQ(Server().OnlineCount(), 1u);

    peer.LogOn(1, Token(1), -1);
    EXPECT_TRUE(peer.WaitFor(SUB_S_FRIEND_LIST));
    EXPECT_TRUE(friendPeer.WaitFor(SUB_S_ONLINE_STATE));
}

TEST_P(LogonTest, PresenceReachesOnlineFriendsOnLogOnAndDisconnect) {
    TestPeer& one = LogOn(1);
    TestPeer& stranger = LogOn(4);
    TestPeer& two = LogOn(2);
    auto online = one.WaitFor(SUB_S_ONLINE_STATE);
    ASSERT_TRUE(online);
    ASSERT_EQ(online->body.size(), 5u);
    CCommandStream body = BodyOf(*online);
    EXPECT_EQ(body.ReadInt32(), 2);
    EXPECT_EQ(body.ReadByte(), 2);

    two.Socket().disconnectFromHost();
    auto offline = one.WaitFor(SUB_S_ONLINE_STATE);
    ASSERT_TRUE(offline);
    body = BodyOf(*offline);
    EXPECT_EQ(body.ReadInt32(), 2);
    EXPECT_EQ(body.ReadByte(), 1);

    ASSERT_TRUE(stranger.Sync());
    EXPECT_EQ(stranger.Count(SUB_S_ONLINE_STATE), 0u);
}

TEST_P(LogonTest, TheSenderIsTheLoggedOnUserWhateverTheBodyClaims) {
    TestPeer& one = LogOn(1);
    TestPeer& two = LogOn(2);
    one.Chat(2, "from one", 3);
    auto chat = two.WaitFor(SUB_S_CHAT_MESSAGE);
    ASSERT_TRUE(chat);
    CCommandStream body = BodyOf(*chat);
    EXPECT_EQ(body.ReadInt32(), 1);
    std::string text;
    body.ReadString(text);
    EXPECT_EQ(text, "from one");
}
