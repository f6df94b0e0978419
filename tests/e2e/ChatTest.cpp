// Chat through the reference server: both directions, and messages that waited for the log-on.

#include "ModuleOnServerFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinEdit.h"
#include "storage/ContactManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

namespace pellix {

namespace {

class Chat : public ModuleOnServerFixture {
protected:
    void SetUp() override {
        StartServer();
        AddStandardAccounts();
    }
    void ExpectStored(const ChatHistoryRecord& record, const char* from, const char* to,
                      const char* text) {
        EXPECT_EQ(record.strFrom, Gbk(from));
        EXPECT_EQ(record.strTo, Gbk(to));
        EXPECT_EQ(record.strMessage, Gbk(text));
        EXPECT_GT(record.nTime, 0);
    }
};

} // namespace

TEST_F(Chat, MessagesBothWaysLandInTheHistoryWithTheirSenderAndReceiver) {
    TestPeer& peer = LogOnPeer(kFriendID);
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 1; }));

    peer.Chat(kOwnID, Gbk("你好，我是小明"));
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 1; }));
    ExpectStored(History(kFriendID)[0], "小明", "我自己", "你好，我是小明");
    CFriendChatDlg* chat = CFriendWindowManager::GetInstance()->GetChatWindow(kFriendID);
    ASSERT_NE(chat, nullptr);
    EXPECT_TRUE(chat->isVisible());

    chat->InputBox()->setPlainText(QString::fromUtf8("收到了"));
    chat->SendChatMessage();
    const std::optional<RelayedChat> relayed = WaitForChat(peer);
    ASSERT_TRUE(relayed.has_value());
    EXPECT_EQ(relayed->senderID, kOwnID);
    EXPECT_EQ(relayed->text, Gbk("收到了"));
    const std::vector<ChatHistoryRecord> history = History(kFriendID);
    ASSERT_EQ(history.size(), 2u);
    ExpectStored(history[1], "我自己", "小明", "收到了");
    EXPECT_TRUE(m_Boxes.boxes.empty());
}

TEST_F(Chat, MessagesSentWhileAwayArriveAtLogOnInOrderAndOnlyOnce) {
    TestPeer& peer = LogOnPeer(kFriendID);
    peer.Chat(kOwnID, Gbk("第一条"));
    peer.Chat(kOwnID, Gbk("第二条"));
    TestPeer& stranger = LogOnPeer(kStrangerID);
    stranger.Chat(kOwnID, Gbk("陌生人的话"));
    ASSERT_TRUE(peer.Sync());
    ASSERT_TRUE(stranger.Sync());

    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 2; }));
    std::vector<ChatHistoryRecord> history = History(kFriendID);
    ExpectStored(history[0], "小明", "我自己", "第一条");
    ExpectStored(history[1], "小明", "我自己", "第二条");
    ASSERT_TRUE(WaitUntil([&] { return History(kStrangerID).size() == 1; }));
    EXPECT_EQ(History(kStrangerID)[0].strMessage, Gbk("陌生人的话"));
    EXPECT_EQ(History(kStrangerID)[0].strTo, Gbk("我自己"));

    // Signed on again, the module gets what came since and nothing twice.
    DestroyModule();
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return ServerOnlineCount() == 3; }));
    peer.Chat(kOwnID, Gbk("第三条"));
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() >= 3; }));
    history = History(kFriendID);
    ASSERT_EQ(history.size(), 3u);
    ExpectStored(history[2], "小明", "我自己", "第三条");
}

} // namespace pellix
