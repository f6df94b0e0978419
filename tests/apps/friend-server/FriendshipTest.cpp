// Friend requests, replies, contact moves and what a blacklist entry refuses.

#include "ServerFixture.h"

#include "ServerBodies.h"
#include "text/StringUtility.h"

using namespace pellix;
using namespace pellix::server;

namespace {

class FriendshipTest : public ServerOnEachStore {
protected:
    void SetUp() override {
        StartServer();
        AddAccount(1);
        AddAccount(2);
        AddAccount(3);
    }

    static void AddFriend(TestPeer& peer, int32_t targetID, const std::string& text) {
        CCommandStream body;
        body.WriteInt32(0);
        body.WriteInt32(targetID);
        body.WriteString(text);
        peer.Send(CMD_FRIEND, SUB_C_ADD_FRIEND, body);
    }
    static void Reply(TestPeer& peer, int32_t requesterID, uint8_t accepted) {
        CCommandStream body;
        body.WriteInt32(0);
        body.WriteInt32(requesterID);
        body.WriteByte(accepted);
        peer.Send(CMD_FRIEND, SUB_C_FRIEND_REPLY, body);
    }
    static void Move(TestPeer& peer, int32_t targetID, uint8_t operation) {
        CCommandStream body;
        body.WriteInt32(0);
        body.WriteInt32(targetID);
        body.WriteByte(operation);
        peer.Send(CMD_FRIEND, SUB_C_MOVE_CONTACT, body);
    }
    static FriendEntry DecodeAddFriendOk(const FrameCodec::Frame& frame, int32_t& version) {
        CCommandStream body = BodyOf(frame);
        version = body.ReadInt32();
        FriendEntry entry;
        ReadFriendEntry(body, entry);
        EXPECT_FALSE(body.IsTruncated());
        return entry;
    }
    static bool ReplyAccepted(const FrameCodec::Frame& frame) {
        EXPECT_EQ(frame.body.size(), 9u);
        return frame.body.size() == 9 && frame.body[8] != 0;
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Stores, FriendshipTest, EachStore(), StoreKindName);

TEST_P(FriendshipTest, AskingForAnUnknownUserOrOneselfFails) {
    TestPeer& one = LogOn(1);
    AddFriend(one, 77, "hi");
    auto fail = one.WaitFor(SUB_S_ADD_FRIEND_FAIL);
    ASSERT_TRUE(fail);
    ASSERT_EQ(fail->body.size(), 5u);
    EXPECT_EQ(BodyOf(*fail).ReadInt32(), 77);
    AddFriend(one, 1, "me");
    fail = one.WaitFor(SUB_S_ADD_FRIEND_FAIL);
    ASSERT_TRUE(fail);
    EXPECT_EQ(BodyOf(*fail).ReadInt32(), 1);
}

TEST_P(FriendshipTest, AnAcceptedRequestMakesBothFriendsAndChangesBothVersions) {
    TestPeer& one = LogOn(1);
    TestPeer& two = LogOn(2);
    const int32_t oneVersion = Store().ListVersion(1);
    const int32_t twoVersion = Store().ListVersion(2);
    const std::string text = StringUtility::QStringToAnsi(QStringLiteral("我是一号"));
    AddFriend(one, 2, text);

    auto request = two.WaitFor(SUB_S_FRIEND_REQUEST);
    ASSERT_TRUE(request);
    CCommandStream body = BodyOf(*request);
    body.ReadInt32();
    FriendEntry asker;
    ReadFriendEntry(body, asker);
    std::string verification;
    body.ReadString(verification);
    EXPECT_FALSE(body.IsTruncated());
    EXPECT_EQ(asker.userID, 1);
    EXPECT_EQ(asker.nickName, "user1");
    EXPECT_TRUE(asker.online);
    EXPECT_EQ(verification, text);

    Reply(two, 1, 1);
    auto reply = one.WaitFor(SUB_S_FRIEND_REPLY);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(ReplyAccepted(*reply));
    int32_t version = 0;
    auto okOne = one.WaitFor(SUB_S_ADD_FRIEND_OK);
    ASSERT_TRUE(okOne);
    EXPECT_EQ(DecodeAddFriendOk(*okOne, version).userID, 2);
    EXPECT_NE(version, oneVersion);
    auto okTwo = two.WaitFor(SUB_S_ADD_FRIEND_OK);
    ASSERT_TRUE(okTwo);
    const FriendEntry newFriend = DecodeAddFriendOk(*okTwo, version);
    EXPECT_EQ(newFriend.userID, 1);
    EXPECT_TRUE(newFriend.online);
    EXPECT_NE(Store().ListVersion(1), oneVersion);
    EXPECT_NE(Store().ListVersion(2), twoVersion);

    // The old version now brings the full list with the new friend in it.
    TestPeer& later = Connect();
    later.LogOn(1, Token(1), oneVersion);
    auto list = later.WaitFor(SUB_S_FRIEND_LIST);
    ASSERT_TRUE(list);
    const FriendListBody decoded = DecodeFriendList(*list);
    ASSERT_EQ(decoded.count, 1);
    EXPECT_EQ(decoded.friends[0].userID, 2);
}

TEST_P(FriendshipTest, ARequestWaitsForAnOfflineTargetAndARefusalChangesNothing) {
    TestPeer& one = LogOn(1);
    AddFriend(one, 3, "later");
    ASSERT_TRUE(one.Sync());
    TestPeer& three = LogOn(3);
    auto request = three.WaitFor(SUB_S_FRIEND_REQUEST);
    ASSERT_TRUE(request);
    const int32_t version = Store().ListVersion(3);
    Reply(three, 1, 0);
    auto reply = one.WaitFor(SUB_S_FRIEND_REPLY);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(ReplyAccepted(*reply));
    ASSERT_TRUE(three.Sync());
    EXPECT_EQ(three.Count(SUB_S_ADD_FRIEND_OK), 0u);
    EXPECT_EQ(Store().ListVersion(3), version);
    EXPECT_EQ(Store().GetRelation(1, 3), Relation::None);

    // A reply to a request that was never made (or was answered already) forces nothing.
    Reply(three, 1, 1);
    Reply(three, 2, 1);
    ASSERT_TRUE(three.Sync());
    EXPECT_EQ(Store().GetRelation(3, 1), Relation::None);
    EXPECT_EQ(Store().GetRelation(3, 2), Relation::None);
}

TEST_P(FriendshipTest, MovingToStrangersEndsTheFriendshipOnBothSides) {
    Befriend(1, 2);
    TestPeer& one = LogOn(1);
    const int32_t oneVersion = Store().ListVersion(1);
    const int32_t twoVersion = Store().ListVersion(2);
    Move(one, 2, MOVE_TO_STRANGERS);
    auto result = one.WaitFor(SUB_S_MOVE_RESULT);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->body.size(), 6u);
    EXPECT_EQ(BodyOf(*result).ReadInt32(), 2);
    EXPECT_EQ(result->body[4], MOVE_TO_STRANGERS);
    EXPECT_EQ(result->body[5], ServerBodies::kMoveDone);
    EXPECT_TRUE(Store().FriendsOf(1).empty());
    EXPECT_TRUE(Store().FriendsOf(2).empty());
    EXPECT_NE(Store().ListVersion(1), oneVersion);
    EXPECT_NE(Store().ListVersion(2), twoVersion);

    // Nothing left to move: the same answer, marked unchanged.
    Move(one, 2, MOVE_TO_STRANGERS);
    result = one.WaitFor(SUB_S_MOVE_RESULT);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body[5], ServerBodies::kMoveUnchanged);
}

TEST_P(FriendshipTest, ABlacklistedUserReachesNothingOfTheOneWhoBlacklistedIt) {
    Befriend(1, 2);
    TestPeer& one = LogOn(1);
    TestPeer& two = LogOn(2);
    Move(two, 1, MOVE_TO_BLACKLIST);
    auto result = two.WaitFor(SUB_S_MOVE_RESULT);
    ASSERT_TRUE(result);
    EXPECT_EQ(BodyOf(*result).ReadInt32(), 1);
    EXPECT_EQ(result->body[4], MOVE_TO_BLACKLIST);
    EXPECT_EQ(Store().GetRelation(2, 1), Relation::Blacklisted);
    EXPECT_EQ(Store().GetRelation(1, 2), Relation::None);

    one.Chat(2, "still there?");
    CCommandStream shake;
    shake.WriteInt32(2);
    one.Send(CMD_FRIEND, SUB_C_SHAKE, shake);
    AddFriend(one, 2, "please");
    auto refused = one.WaitFor(SUB_S_FRIEND_REPLY);
    ASSERT_TRUE(refused);
    EXPECT_FALSE(ReplyAccepted(*refused));
    ASSERT_TRUE(one.Sync());
    ASSERT_TRUE(two.Sync());
    EXPECT_EQ(two.Count(SUB_S_CHAT_MESSAGE), 0u);
    EXPECT_EQ(two.Count(SUB_S_SHAKE), 0u);
    EXPECT_EQ(two.Count(SUB_S_FRIEND_REQUEST), 0u);

    // Nor is anything kept for later.
    two.Socket().disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Server().OnlineCount() == 1; }, kWaitMs));
    one.Chat(2, "are you away?");
    ASSERT_TRUE(one.Sync());
    EXPECT_EQ(Store().QueuedMessageCount(2), 0u);

    // The other way round still works: the blacklisting user may write.
    TestPeer& back = LogOn(2);
    back.Chat(1, "one way");
    EXPECT_TRUE(one.WaitFor(SUB_S_CHAT_MESSAGE));
}
