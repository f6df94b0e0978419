// The module against servers that go away or misbehave: it reconnects by itself, signs on again
// with what it stored, and never takes in half a frame.

#include "ModuleOnServerFixture.h"
#include "ScriptedPeer.h"
#include "client/FrameCodec.h"
#include "records/FriendCommands.h"
#include "storage/ContactManager.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

namespace pellix {

namespace {

constexpr int32_t kUnknownSenderID = 777;
// Short enough for a test to see several drops, long enough for a loaded machine's pongs.
constexpr int kReceiveIdleMs = 600;

QByteArray ChatBody(int32_t senderID, const char* utf8Text) {
    CCommandStream body;
    body.WriteInt32(senderID);
    body.WriteString(Gbk(utf8Text));
    return QByteArray(reinterpret_cast<const char*>(body.SendBuffer()),
                      static_cast<qsizetype>(body.SendSize()));
}

class Recovery : public ModuleOnServerFixture {
protected:
    // The bad server goes away and the reference server takes its port: the module, still
    // retrying, must sign on there by itself.
    void ExpectSignOnAfterReplacing(std::unique_ptr<ScriptedPeer>& bad) {
        const quint16 port = bad->Port();
        bad.reset();
        StartServer(port);
        AddStandardAccounts();
        ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 1; }));
        EXPECT_EQ(ContactsWithID(kFriendID), 1);
        EXPECT_TRUE(m_Boxes.boxes.empty());
    }
};

} // namespace

TEST_F(Recovery, AServerRestartedOnItsPortIsSignedOnToAgainWithNothingDuplicatedOrLost) {
    StartServer();
    AddStandardAccounts();
    TestPeer& peer = LogOnPeer(kFriendID);
    StartModule(ServerAddress(), kReceiveIdleMs);
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 1; }));
    peer.Chat(kOwnID, Gbk("重启之前"));
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 1; }));
    const int32_t storedVersion = Contacts().GetVersion();

    // Killed while the module runs; the list changes before it comes back.
    DropPeers();
    StopServer();
    ASSERT_TRUE(WaitUntil([&] { return !Service().IsConnected(); }));
    StartServer();
    AddAccount(604, "大卫");
    Befriend(kOwnID, 604);
    ASSERT_NE(ServerListVersion(kOwnID), storedVersion);
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 2; }));
    EXPECT_EQ(Contacts().GetContacts().size(), 2u);
    EXPECT_EQ(ContactsWithID(kFriendID), 1);
    EXPECT_EQ(Contacts().GetVersion(), ServerListVersion(kOwnID));

    // Killed again with the list unchanged: the stored version is current, states come back.
    StopServer();
    ASSERT_TRUE(WaitUntil([&] { return !Service().IsConnected(); }));
    StartServer();
    ASSERT_TRUE(WaitUntil([&] { return ServerOnlineCount() == 1; }));
    TestPeer& back = LogOnPeer(kFriendID);
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineState(kFriendID) == STATE_ONLINE; }));
    EXPECT_EQ(Contacts().GetContacts().size(), 2u);
    EXPECT_EQ(ContactsWithID(kFriendID), 1);
    EXPECT_EQ(ContactsWithID(604), 1);

    back.Chat(kOwnID, Gbk("重启之后"));
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 2; }));
    const std::vector<ChatHistoryRecord> history = History(kFriendID);
    EXPECT_EQ(history[0].strMessage, Gbk("重启之前"));
    EXPECT_EQ(history[1].strMessage, Gbk("重启之后"));
    EXPECT_TRUE(m_Boxes.boxes.empty());
}

TEST_F(Recovery, AServerThatAcceptsAndNeverAnswersIsLeftAndTheModuleStaysResponsive) {
    auto silent = std::make_unique<ScriptedPeer>();
    silent->answerPings = false;
    StartModule(AddressOf(silent->Port()), kReceiveIdleMs);
    ASSERT_TRUE(WaitUntil([&] { return silent->accepted >= 3; }));
    // Every connection was made anew and logged on once.
    EXPECT_GE(silent->FramesWith(CMD_FRIEND, SUB_C_LOGON), 2);
    Service().ShowFriendWindow(false);
    EXPECT_TRUE(CFriendWindowManager::GetInstance()->GetMainWindow()->isVisible());
    ExpectSignOnAfterReplacing(silent);
}

TEST_F(Recovery, AServerClosingMidFrameHasOnlyItsWholeFramesTakenIn) {
    auto cutting = std::make_unique<ScriptedPeer>();
    StartModule(AddressOf(cutting->Port()), kReceiveIdleMs);
    ASSERT_TRUE(WaitUntil([&] { return cutting->FramesWith(CMD_FRIEND, SUB_C_LOGON) == 1; }));
    cutting->Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE, ChatBody(kUnknownSenderID, "完整的一条"));
    const QByteArray cut = ChatBody(kUnknownSenderID, "被截断的一条");
    QByteArray frame = FrameCodec::EncodeFrame(CMD_FRIEND, SUB_S_CHAT_MESSAGE, cut.constData(),
                                               static_cast<std::size_t>(cut.size()));
    frame.chop(4);
    cutting->SendRaw(frame);
    cutting->CloseClient();
    ASSERT_TRUE(WaitUntil([&] { return cutting->accepted >= 2; }));
    const std::vector<ChatHistoryRecord> history = History(kUnknownSenderID);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].strMessage, Gbk("完整的一条"));
    ExpectSignOnAfterReplacing(cutting);
    EXPECT_EQ(History(kUnknownSenderID).size(), 1u);
}

TEST_F(Recovery, AServerSendingALengthThatNeverArrivesIsDroppedAfterTheSilenceLimit) {
    auto lying = std::make_unique<ScriptedPeer>();
    StartModule(AddressOf(lying->Port()), kReceiveIdleMs);
    ASSERT_TRUE(WaitUntil([&] { return lying->FramesWith(CMD_FRIEND, SUB_C_LOGON) == 1; }));
    // A whole body of the largest size whose list count claims far more than it holds.
    QByteArray huge(static_cast<qsizetype>(FrameCodec::kMaxBodySize), '\x7f');
    lying->Send(CMD_FRIEND, SUB_S_FRIEND_LIST, huge);
    // Then a header announcing the largest body, of which only a little ever comes; the pongs
    // that follow only extend that body.
    QByteArray header(static_cast<qsizetype>(FrameCodec::kHeaderSize), '\0');
    FrameCodec::EncodeHeader({CMD_FRIEND, SUB_S_CHAT_MESSAGE, 0xFFFF},
                             reinterpret_cast<uint8_t*>(header.data()));
    lying->SendRaw(header + ChatBody(kUnknownSenderID, "永远不完整"));
    ASSERT_TRUE(WaitUntil([&] { return lying->accepted >= 2; }));
    EXPECT_TRUE(Contacts().GetContacts().empty());
    EXPECT_TRUE(History(kUnknownSenderID).empty());
    ExpectSignOnAfterReplacing(lying);
}

} // namespace pellix
