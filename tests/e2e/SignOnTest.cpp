// Signing on to the reference server: the first and the second log-on, and presence afterwards.

#include "ModuleOnServerFixture.h"
#include "WireTap.h"
#include "records/FriendCommands.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/FriendWindowManager.h"

namespace pellix {

namespace {

struct LogonRequest {
    int32_t userID = 0;
    std::string token;
    int32_t version = 0;
};

LogonRequest DecodeLogon(const FrameCodec::Frame& frame) {
    CCommandStream body = BodyOf(frame);
    LogonRequest request;
    request.userID = body.ReadInt32();
    body.ReadString(request.token);
    request.version = body.ReadInt32();
    EXPECT_FALSE(body.IsTruncated());
    return request;
}

class SignOn : public ModuleOnServerFixture {
protected:
    void SetUp() override {
        StartServer();
        AddStandardAccounts();
        AddAccount(604, "大卫");
        Befriend(kOwnID, 604);
    }
    QString TipText() { return CFriendWindowManager::GetInstance()->Notifier().Text(); }
};

} // namespace

TEST_F(SignOn, FirstLogOnStoresTheListAndTheNextOneGetsOnlyOnlineStates) {
    LogOnPeer(kFriendID);
    {
        WireTap tap(ServerPort());
        StartModule(AddressOf(tap.Port()));
        ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 2; }));
        const auto logons = tap.Sent(SUB_C_LOGON);
        ASSERT_EQ(logons.size(), 1u);
        const LogonRequest first = DecodeLogon(logons[0]);
        EXPECT_EQ(first.userID, kOwnID);
        EXPECT_EQ(first.token, Token(kOwnID));
        EXPECT_EQ(first.version, -1);
        EXPECT_EQ(tap.Received(SUB_S_FRIEND_LIST).size(), 1u);
        EXPECT_EQ(Contacts().GetNickName(kFriendID), Gbk("小明"));
        EXPECT_EQ(Contacts().GetOnlineState(kFriendID), STATE_ONLINE);
        EXPECT_EQ(Contacts().GetOnlineState(604), STATE_OFFLINE);
        DestroyModule();
    }

    WireTap tap(ServerPort());
    StartModule(AddressOf(tap.Port()));
    ASSERT_TRUE(WaitUntil([&] { return !tap.Received(SUB_S_ONLINE_STATES).empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 2; }));
    const auto logons = tap.Sent(SUB_C_LOGON);
    ASSERT_EQ(logons.size(), 1u);
    EXPECT_EQ(DecodeLogon(logons[0]).version, ServerListVersion(kOwnID));
    EXPECT_TRUE(tap.Received(SUB_S_FRIEND_LIST).empty());
    // The stored list came back whole, with the presence the server sent.
    EXPECT_EQ(Contacts().GetContacts().size(), 2u);
    EXPECT_EQ(Contacts().GetNickName(604), Gbk("大卫"));
    EXPECT_EQ(Contacts().GetOnlineState(kFriendID), STATE_ONLINE);
    EXPECT_EQ(Contacts().GetOnlineFriendCount(), 1);
    EXPECT_TRUE(m_Boxes.boxes.empty());
}

TEST_F(SignOn, PresenceChangesReachTheModelAndTheTip) {
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 2; }));
    EXPECT_EQ(Contacts().GetOnlineFriendCount(), 0);

    LogOnPeer(kFriendID);
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineState(kFriendID) == STATE_ONLINE; }));
    EXPECT_EQ(Contacts().GetOnlineFriendCount(), 1);
    EXPECT_EQ(TipText(), QString::fromUtf8("小明 上线了！"));
    EXPECT_EQ(Service().m_nTipFriendID, kFriendID);

    DropPeers();
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineState(kFriendID) == STATE_OFFLINE; }));
    EXPECT_EQ(Contacts().GetOnlineFriendCount(), 0);
    EXPECT_EQ(TipText(), QString::fromUtf8("小明 下线了！"));
    EXPECT_EQ(Service().m_nTipFriendID, 0);

    // With online tips refused the model still follows, the tip does not.
    CFriendOptionManager::GetInstance()->GetFriendOption().bRefuseOnlineTips = true;
    LogOnPeer(604);
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineState(604) == STATE_ONLINE; }));
    EXPECT_EQ(TipText(), QString::fromUtf8("小明 下线了！"));
    EXPECT_EQ(Service().m_nTipFriendID, 0);
}

} // namespace pellix
