// Peers that misbehave lose their own connection and nobody else's; pings; many peers at once.

#include "ServerFixture.h"

using namespace pellix;
using namespace pellix::server;

namespace {

class RobustnessTest : public ServerFixture {
protected:
    void SetUpUsers() {
        AddAccount(1);
        AddAccount(2);
        Befriend(1, 2);
    }
};

} // namespace

TEST_F(RobustnessTest, APingIsAnsweredBeforeAndAfterLogOn) {
    StartServer();
    SetUpUsers();
    TestPeer& peer = Connect();
    ASSERT_TRUE(peer.Sync());
    peer.LogOn(1, Token(1), -1);
    ASSERT_TRUE(peer.WaitFor(SUB_S_FRIEND_LIST));
    EXPECT_TRUE(peer.Sync());
}

TEST_F(RobustnessTest, ATruncatedBodyDropsThatPeerAndOthersGoOn) {
    StartServer();
    SetUpUsers();
    TestPeer& one = LogOn(1);
    TestPeer& two = LogOn(2);
    ASSERT_TRUE(one.WaitFor(SUB_S_ONLINE_STATE));

    TestPeer& bad = Connect();
    const uint8_t shortLogon[3] = {1, 0, 0};
    bad.SendRaw(FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, shortLogon, sizeof shortLogon));
    EXPECT_TRUE(bad.WaitDisconnected());

    // A logged-on peer sending a chat request cut after the ids is dropped as well.
    const uint8_t shortChat[5] = {0, 0, 0, 0, 2};
    two.SendRaw(
        FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_CHAT_MESSAGE, shortChat, sizeof shortChat));
    EXPECT_TRUE(two.WaitDisconnected());
    const auto offline = one.WaitFor(SUB_S_ONLINE_STATE);
    ASSERT_TRUE(offline);
    EXPECT_EQ(offline->body[4], 1);

    TestPeer& three = LogOn(2);
    one.Chat(2, "still here");
    EXPECT_TRUE(three.WaitFor(SUB_S_CHAT_MESSAGE));
}

TEST_F(RobustnessTest, AFrameThatNeverCompletesIsDroppedAfterTheReceiveTimeout) {
    SessionLimits limits;
    limits.receiveTimeout = std::chrono::milliseconds(200);
    StartServer(limits);
    SetUpUsers();
    TestPeer& stalled = Connect();
    // A header announcing 100 bytes, and 10 of them.
    const uint8_t partial[16] = {14, 0, 21, 0, 100, 0};
    stalled.SendRaw(QByteArray(reinterpret_cast<const char*>(partial), sizeof partial));
    EXPECT_TRUE(stalled.WaitDisconnected());
    EXPECT_TRUE(QTest::qWaitFor([this] { return Server().SessionCount() == 0; }, kWaitMs));
}

TEST_F(RobustnessTest, APeerThatKeepsSendingOutlivesManyReceiveTimeouts) {
    SessionLimits limits;
    limits.receiveTimeout = std::chrono::milliseconds(1000);
    StartServer(limits);
    SetUpUsers();
    TestPeer& peer = LogOn(1);
    for (int i = 0; i < 15; ++i) {
        QTest::qWait(200);
        ASSERT_TRUE(peer.Sync()) << "after " << (i + 1) * 200 << " ms";
    }
    EXPECT_TRUE(peer.IsConnected());
}

TEST_F(RobustnessTest, UnknownCommandsAreIgnoredWithoutDroppingThePeer) {
    StartServer();
    SetUpUsers();
    TestPeer& peer = LogOn(1);
    peer.SendRaw(FrameCodec::EncodeFrame(99, 1, "xyz", 3));
    peer.SendRaw(FrameCodec::EncodeFrame(CMD_FRIEND, 200, nullptr, 0));
    EXPECT_TRUE(peer.Sync());
    EXPECT_TRUE(peer.IsConnected());
}

TEST_F(RobustnessTest, ThreeHundredPeersLogOnTogether) {
    StartServer();
    constexpr int32_t kPeers = 300;
    for (int32_t userID = 1; userID <= kPeers; ++userID) {
        AddAccount(userID);
        if (userID > 1)
            Befriend(userID - 1, userID);
    }
    std::vector<TestPeer*> peers;
    for (int32_t userID = 1; userID <= kPeers; ++userID) {
        TestPeer& peer = Connect();
        peer.LogOn(userID, Token(userID), -1);
        peers.push_back(&peer);
    }
    for (int32_t i = 0; i < kPeers; ++i) {
        const auto list = peers[static_cast<std::size_t>(i)]->WaitFor(SUB_S_FRIEND_LIST);
        ASSERT_TRUE(list) << "peer " << i + 1;
        EXPECT_EQ(DecodeFriendList(*list).count, i == 0 || i == kPeers - 1 ? 1 : 2);
    }
    EXPECT_EQ(Server().OnlineCount(), static_cast<std::size_t>(kPeers));
    // The last one to log on was announced to its one friend.
    EXPECT_TRUE(peers[kPeers - 2]->Sync());
    EXPECT_TRUE(peers[kPeers - 1]->Sync());
    peers[0]->Chat(kPeers, "across");
    EXPECT_TRUE(peers[kPeers - 1]->WaitFor(SUB_S_CHAT_MESSAGE));
}
