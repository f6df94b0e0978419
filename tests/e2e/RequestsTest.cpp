// Friend requests, contact moves and the server's history wipe, with the module on the wire.

#include "FriendRelations.h"
#include "ModuleOnServerFixture.h"
#include "ScriptedPeer.h"
#include "WireTap.h"
#include "records/FriendCommands.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/addfriend/FriendAddConfirmDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QDir>
#include <QRadioButton>

namespace pellix {

namespace {

class Requests : public ModuleOnServerFixture {
protected:
    void SetUp() override {
        StartServer();
        AddStandardAccounts();
    }
    void SignOnThrough(WireTap& tap) {
        StartModule(AddressOf(tap.Port()));
        ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 1; }));
    }
    static void AskToBeFriends(TestPeer& asker, int32_t targetID, const char* utf8Text) {
        CCommandStream body;
        body.WriteInt32(0);
        body.WriteInt32(targetID);
        body.WriteString(Gbk(utf8Text));
        asker.Send(CMD_FRIEND, SUB_C_ADD_FRIEND, body);
    }
    // The answer the asker got: true when accepted.
    static bool AnswerTo(TestPeer& asker) {
        const std::optional<FrameCodec::Frame> reply = asker.WaitFor(SUB_S_FRIEND_REPLY);
        EXPECT_TRUE(reply.has_value());
        return reply && reply->body.size() == 9 && reply->body[8] != 0;
    }
    // The module's own refusals on the wire, as (own id, asker id, accepted) triples.
    static std::vector<std::vector<int32_t>> RepliesSent(const WireTap& tap) {
        std::vector<std::vector<int32_t>> replies;
        for (const FrameCodec::Frame& frame : tap.Sent(SUB_C_FRIEND_REPLY)) {
            CCommandStream body = BodyOf(frame);
            const int32_t ownID = body.ReadInt32();
            const int32_t askerID = body.ReadInt32();
            replies.push_back({ownID, askerID, body.ReadByte()});
            EXPECT_EQ(body.BytesLeft(), 0u);
        }
        return replies;
    }
    static CFriendAddConfirmDlg* VisibleConfirmWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<CFriendAddConfirmDlg*>(widget);
            if (window != nullptr && window->isVisible())
                return window;
        }
        return nullptr;
    }
    void ExpectNothingShown() {
        EXPECT_EQ(VisibleConfirmWindow(), nullptr);
        EXPECT_TRUE(m_Boxes.boxes.empty());
        EXPECT_TRUE(CFriendWindowManager::GetInstance()->Notifier().Text().isEmpty());
    }
};

} // namespace

TEST_F(Requests, ARequestFromAUserBlacklistedHereIsRefusedOnTheWireAndShowsNothing) {
    Befriend(kOwnID, kStrangerID);
    WireTap tap(ServerPort());
    StartModule(AddressOf(tap.Port()));
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 2; }));
    Service().SendMoveRequest(kOwnID, kStrangerID, MOVE_TO_BLACKLIST);
    ASSERT_TRUE(WaitUntil([&] { return HasContact(kStrangerID, GROUP_BLACKLIST); }));
    m_Boxes.boxes.clear();
    // Lifted on the server from elsewhere: the server passes requests on again, this module's
    // blacklist still holds the user.
    ASSERT_TRUE(
        pellix::server::FriendRelations(ServerStore()).MoveToStrangers(kOwnID, kStrangerID));

    TestPeer& asker = LogOnPeer(kStrangerID);
    AskToBeFriends(asker, kOwnID, "加我吧");
    EXPECT_FALSE(AnswerTo(asker));
    EXPECT_EQ(RepliesSent(tap), (std::vector<std::vector<int32_t>>{{kOwnID, kStrangerID, 0}}));
    ExpectNothingShown();
}

TEST_F(Requests, RefusingAllRequestsAnswersEveryoneAndAskingAgainLaterShowsTheRequest) {
    WireTap tap(ServerPort());
    SignOnThrough(tap);
    CFriendOptionManager::GetInstance()->GetFriendOption().bRefuseAddFriend = true;

    TestPeer& asker = LogOnPeer(kStrangerID);
    AskToBeFriends(asker, kOwnID, "加我吧");
    EXPECT_FALSE(AnswerTo(asker));
    EXPECT_EQ(RepliesSent(tap), (std::vector<std::vector<int32_t>>{{kOwnID, kStrangerID, 0}}));
    ExpectNothingShown();

    CFriendOptionManager::GetInstance()->GetFriendOption().bRefuseAddFriend = false;
    AskToBeFriends(asker, kOwnID, "再加一次");
    ASSERT_TRUE(WaitUntil([] { return VisibleConfirmWindow() != nullptr; }));
    CFriendAddConfirmDlg* window = VisibleConfirmWindow();
    EXPECT_EQ(window->GetAsker().userID, kStrangerID);
    EXPECT_EQ(window->GetAsker().nickName, Gbk("小红"));
    window->AgreeChoice()->setChecked(true);
    window->ApplyChoice();
    EXPECT_TRUE(AnswerTo(asker));
    ASSERT_TRUE(WaitUntil([&] { return HasContact(kStrangerID, GROUP_FRIEND); }));
    EXPECT_EQ(Contacts().GetFriendCount(), 2);
    EXPECT_EQ(CFriendWindowManager::GetInstance()->Notifier().Text(),
              QString::fromUtf8("成功加好友: ID[603] 昵称[小红]"));
}

TEST_F(Requests, MoveResultsMoveTheContactShowTheirNoticeAndSurviveTheNextSignOn) {
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 1; }));

    Service().SendMoveRequest(kOwnID, kFriendID, MOVE_TO_STRANGERS);
    ASSERT_TRUE(WaitUntil([&] { return HasContact(kFriendID, GROUP_STRANGER); }));
    ASSERT_EQ(m_Boxes.boxes.size(), 1u);
    EXPECT_EQ(m_Boxes.boxes[0].text, QString::fromUtf8("拖入陌生人成功！"));
    EXPECT_EQ(m_Boxes.boxes[0].caption, QString::fromUtf8("好友服务"));
    EXPECT_EQ(m_Boxes.boxes[0].style, 0u);
    EXPECT_EQ(m_Boxes.boxes[0].autoCloseSeconds, 5u);
    EXPECT_EQ(Contacts().GetFriendCount(), 0);

    Service().SendMoveRequest(kOwnID, kFriendID, MOVE_TO_BLACKLIST);
    ASSERT_TRUE(WaitUntil([&] { return HasContact(kFriendID, GROUP_BLACKLIST); }));
    ASSERT_EQ(m_Boxes.boxes.size(), 2u);
    EXPECT_EQ(m_Boxes.boxes[1].text, QString::fromUtf8("拉黑成功！"));

    // The server's list no longer holds the friend; the stored blacklist keeps the contact once.
    DestroyModule();
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return HasContact(kFriendID, GROUP_BLACKLIST); }));
    EXPECT_EQ(ContactsWithID(kFriendID), 1);
    EXPECT_EQ(Contacts().GetFriendCount(), 0);
}

TEST_F(Requests, ClearHistoryFromTheServerEmptiesTheHistoryDirectory) {
    TestPeer& peer = LogOnPeer(kFriendID);
    TestPeer& stranger = LogOnPeer(kStrangerID);
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 1; }));
    peer.Chat(kOwnID, Gbk("留个记录"));
    stranger.Chat(kOwnID, Gbk("我也留一条"));
    ASSERT_TRUE(WaitUntil([&] { return History(kStrangerID).size() == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 1; }));
    ASSERT_GE(HistoryFiles().size(), 2);

    // The reference server never wipes histories; a scripted server does after the log-on.
    ScriptedPeer wiping;
    StartModule(AddressOf(wiping.Port()));
    ASSERT_TRUE(WaitUntil([&] { return wiping.FramesWith(CMD_FRIEND, SUB_C_LOGON) == 1; }));
    wiping.Send(CMD_FRIEND, SUB_S_CLEAR_HISTORY);
    ASSERT_TRUE(WaitUntil([&] { return Service().m_bServerFlag == 1; }));
    EXPECT_TRUE(HistoryFiles().isEmpty()) << HistoryFiles().join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(QDir(HistoryDirectory()).exists());
    EXPECT_TRUE(History(kFriendID).empty());
    EXPECT_TRUE(m_Boxes.boxes.empty());
}

} // namespace pellix
