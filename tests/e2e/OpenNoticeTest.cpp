// A notice the user leaves open holds nothing up: with a real box on screen that never closes by
// itself, chats both ways, presence changes and the keep-alive go on for well over a minute of the
// connection's time, on one connection, and nothing is lost.

#include "LiveBoxes.h"
#include "ModuleOnServerFixture.h"
#include "WireTap.h"
#include "client/FrameCodec.h"
#include "records/FriendCommands.h"
#include "skin/SkinEdit.h"
#include "skin/SkinMessageBox.h"
#include "storage/ContactManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <string>
#include <vector>

namespace pellix {

using FrameCodec::kLibraryMainCmd;
using FrameCodec::kPingSubCmd;
using FrameCodec::kPongSubCmd;

namespace {

constexpr int32_t kUnknownUserID = 99999;
constexpr int32_t kSecondFriendID = 604;
constexpr int kSeconds = 80;

class OpenNotice : public ModuleOnServerFixture {
protected:
    void SetUp() override {
        StartServer();
        AddStandardAccounts();
        AddAccount(kSecondFriendID, "大卫");
        Befriend(kOwnID, kSecondFriendID);
        // The skin library's own boxes, as a user sees them.
        SetMessageBoxPresenter(nullptr);
    }

    // Every ping the module sent through the tap has had its pong back through it.
    static bool PingsAnswered(const WireTap& tap) {
        return tap.ReceivedCount(kLibraryMainCmd, kPongSubCmd) ==
               tap.SentCount(kLibraryMainCmd, kPingSubCmd);
    }

    static std::string FriendLine(int second) { return Gbk("第") + std::to_string(second); }
};

} // namespace

TEST_F(OpenNotice, ChatsPresenceAndPingsGoOnForEightySecondsOnOneConnection) {
    ModalBoxGuard guard;
    UseManualKeepAliveClock();
    TestPeer& friendPeer = LogOnPeer(kFriendID);
    WireTap tap(ServerPort());
    StartModule(AddressOf(tap.Port()));
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 1; }));

    // The server refuses a request for a user it does not know; the box stays until closed.
    ASSERT_TRUE(Service().SendAddFriendRequest(kOwnID, kUnknownUserID, "hi"));
    ASSERT_TRUE(WaitUntil([] { return VisibleSkinBoxes().size() == 1; }));
    CSkinMessageBoxDlg* notice = VisibleSkinBoxes().front();
    EXPECT_EQ(notice->Text(), QStringLiteral("加入好友[99999]失败！"));
    EXPECT_FALSE(notice->IsAutoClosing());

    TestPeer* secondPeer = nullptr;
    std::vector<std::string> stored;
    int pings = 0;
    for (int second = 1; second <= kSeconds; ++second) {
        KeepAliveClock().Advance(1000);
        if (second % 10 == 0) {
            stored.push_back(FriendLine(second));
            friendPeer.Chat(kOwnID, stored.back());
        }
        if (second == 15) {
            CFriendChatDlg* chat = CFriendWindowManager::GetInstance()->GetChatWindow(kFriendID);
            ASSERT_NE(chat, nullptr);
            chat->InputBox()->setPlainText(QString::fromUtf8("我还在"));
            chat->SendChatMessage();
            stored.push_back(Gbk("我还在"));
            ASSERT_TRUE(friendPeer.WaitFor(SUB_S_CHAT_MESSAGE).has_value());
        }
        if (second == 25) {
            secondPeer = &LogOnPeer(kSecondFriendID);
            ASSERT_TRUE(WaitUntil(
                [&] { return Contacts().GetOnlineState(kSecondFriendID) == STATE_ONLINE; }));
        }
        if (second == 55) {
            secondPeer->Socket().abort();
            ASSERT_TRUE(WaitUntil(
                [&] { return Contacts().GetOnlineState(kSecondFriendID) == STATE_OFFLINE; }));
        }
        // Silent on its side after second 15, the module pings at 45 and 75.
        if (second == 45 || second == 75)
            ++pings;
        ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == stored.size(); }))
            << "second " << second;
        ASSERT_TRUE(WaitUntil([&] {
            return tap.SentCount(kLibraryMainCmd, kPingSubCmd) == pings && PingsAnswered(tap);
        })) << "second "
            << second;
    }

    EXPECT_TRUE(Service().IsConnected());
    EXPECT_EQ(tap.Connections(), 1u);
    EXPECT_EQ(tap.Sent(SUB_C_LOGON).size(), 1u);
    std::vector<std::string> history;
    for (const ChatHistoryRecord& record : History(kFriendID))
        history.push_back(record.strMessage);
    EXPECT_EQ(history, stored);

    // The notice is still there, and nothing ever waited for it.
    EXPECT_EQ(VisibleSkinBoxes(), std::vector<CSkinMessageBoxDlg*>{notice});
    EXPECT_EQ(guard.Closed(), 0);
}

} // namespace pellix
