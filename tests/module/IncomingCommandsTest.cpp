#include "ServiceFixture.h"
#include "base/SignedInUser.h"
#include "records/FriendCommands.h"
#include "skin/SkinTaskbarNotifier.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/addfriend/FriendAddConfirmDlg.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QDir>
#include <QFileInfo>

namespace pellix {

namespace {

class IncomingCommands : public ServiceFixture {
protected:
    CContactManager& Contacts() { return *CContactManager::GetInstance(); }
    CFriendWindowManager& Windows() { return *CFriendWindowManager::GetInstance(); }
    FriendOption& Options() { return CFriendOptionManager::GetInstance()->GetFriendOption(); }
    QString TipText() { return Windows().Notifier().Text(); }
    const ShownBox& LastBox() {
        EXPECT_FALSE(m_boxes.boxes.empty());
        static const ShownBox none;
        return m_boxes.boxes.empty() ? none : m_boxes.boxes.back();
    }
    bool SendFriendList(int version, int count, const std::vector<FriendEntry>& friends) {
        return ReceiveWritten(SUB_S_FRIEND_LIST, [&](CCommandStream& stream) {
            stream.WriteInt32(version);
            stream.WriteInt32(count);
            WriteList(stream, friends, WriteFriendEntry);
        });
    }
    bool SendFriendRequest(const FriendEntry& asker, const std::string& text) {
        return ReceiveWritten(SUB_S_FRIEND_REQUEST, [&](CCommandStream& stream) {
            stream.WriteInt32(0);
            WriteFriendEntry(stream, asker);
            stream.WriteString(text);
        });
    }
    // The version the next log-on sends.
    int32_t LogonVersion() {
        m_socket.sent.clear();
        m_pService->OnServerConnected();
        EXPECT_EQ(m_socket.sent.size(), 1u);
        CCommandStream stream;
        stream.Append(m_socket.sent[0].body.data(), m_socket.sent[0].body.size());
        std::string token;
        EXPECT_EQ(stream.ReadInt32(), kOwnID);
        stream.ReadString(token);
        EXPECT_EQ(token, "token-501");
        return stream.ReadInt32();
    }
};

} // namespace

TEST_F(IncomingCommands, FirstLogonSendsNoVersionThenTheStoredOne) {
    EXPECT_EQ(LogonVersion(), -1);
    ASSERT_TRUE(SendFriendList(7, 2, {Friend(502, "小明", true), Friend(503, "小红", false)}));
    EXPECT_EQ(Contacts().GetFriendCount(), 2);
    EXPECT_EQ(Contacts().GetOnlineFriendCount(), 1);
    EXPECT_EQ(LogonVersion(), 7);
}

TEST_F(IncomingCommands, AFriendListWhoseCountDiffersIsMergedButNotStored) {
    ASSERT_TRUE(SendFriendList(7, 3, {Friend(502, "小明", true), Friend(503, "小红", false)}));
    EXPECT_EQ(Contacts().GetFriendCount(), 2);
    EXPECT_EQ(LogonVersion(), -1);
}

TEST_F(IncomingCommands, OnlineStatesReloadTheStoredListAndApplyPresence) {
    SendFriendList(7, 2, {Friend(502, "小明", true), Friend(503, "小红", false)});
    Contacts().Clear();
    ASSERT_TRUE(ReceiveWritten(SUB_S_ONLINE_STATES, [](CCommandStream& stream) {
        stream.WriteInt32(0);
        WriteList(stream, std::vector<OnlineStateEntry>{{503, STATE_ONLINE}, {999, STATE_ONLINE}},
                  WriteOnlineStateEntry);
    }));
    ASSERT_EQ(Contacts().GetFriendCount(), 2);
    EXPECT_EQ(Contacts().GetOnlineState(502), STATE_OFFLINE) << "stored contacts start offline";
    EXPECT_EQ(Contacts().GetOnlineState(503), STATE_ONLINE);
    EXPECT_EQ(Contacts().FindContact(999), nullptr);
}

TEST_F(IncomingCommands, ReconnectingWithoutRestartKeepsOneEntryPerContact) {
    SendFriendList(7, 1, {Friend(502, "小明", true)});
    Contacts().AddOrUpdateContact(600, 1, 0, 0, "s600", Gbk("路人"), GROUP_STRANGER);
    Contacts().SaveContact(Contacts().FindContact(600));
    // The library reconnects on its own: a new log-on and a new full list, no Clear().
    SendFriendList(8, 1, {Friend(502, "小明", true)});
    int entries = 0;
    for (const auto& contact : Contacts().GetContacts())
        entries += contact->userID == 600 ? 1 : 0;
    EXPECT_EQ(entries, 1);
}

TEST_F(IncomingCommands, AddFriendOkMakesAFriendAndShowsATip) {
    ASSERT_TRUE(ReceiveWritten(SUB_S_ADD_FRIEND_OK, [](CCommandStream& stream) {
        stream.WriteInt32(0);
        WriteFriendEntry(stream, Friend(510, "阿强", true));
    }));
    ASSERT_NE(Contacts().FindContact(510), nullptr);
    EXPECT_EQ(Contacts().FindContact(510)->groupID, GROUP_FRIEND);
    EXPECT_EQ(TipText(), QStringLiteral("成功加好友: ID[510] 昵称[阿强]"));
}

TEST_F(IncomingCommands, FixedBodiesOfTheWrongLengthChangeNothing) {
    EXPECT_FALSE(Receive(SUB_S_ADD_FRIEND_FAIL, IdBody(77)));
    EXPECT_FALSE(Receive(SUB_S_ADD_FRIEND_FAIL, IdBody(77, {0, 0})));
    EXPECT_FALSE(Receive(SUB_S_CLEAR_FLAG, {}));
    EXPECT_FALSE(Receive(SUB_S_LOGON_FAILED, IdBody(1)));
    EXPECT_FALSE(Receive(SUB_S_SHAKE, IdBody(502, {0})));
    EXPECT_TRUE(m_boxes.boxes.empty());
    EXPECT_EQ(Windows().Placement().Slots().size(), 0u);

    ASSERT_TRUE(Receive(SUB_S_ADD_FRIEND_FAIL, IdBody(77, {9})));
    EXPECT_EQ(LastBox().text, QStringLiteral("加入好友[77]失败！"));
    EXPECT_EQ(LastBox().style, 16u);
    EXPECT_EQ(LastBox().autoCloseSeconds, 0u);

    ASSERT_TRUE(Receive(SUB_S_LOGON_FAILED, IdBody(0, {0})));
    EXPECT_EQ(LastBox().text, QStringLiteral("好友登陆失败！"));
    EXPECT_EQ(LastBox().caption, QStringLiteral("好友服务"));
    EXPECT_EQ(LastBox().style, 16u);
    EXPECT_EQ(LastBox().autoCloseSeconds, 5u);
}

TEST_F(IncomingCommands, RequestsFromTheBlacklistOrWhenRefusingAreAnsweredNo) {
    Contacts().AddOrUpdateContact(700, 1, 0, 0, "b700", Gbk("坏人"), GROUP_BLACKLIST);
    ASSERT_TRUE(SendFriendRequest(Friend(700, "坏人", true), "hi"));
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].subCmd, SUB_C_FRIEND_REPLY);
    EXPECT_EQ(m_socket.sent[0].body, IdBody(kOwnID, IdBody(700, {0})));
    EXPECT_EQ(Windows().GetAddConfirmWindow(700)->isVisible(), false);

    Options().bRefuseAddFriend = true;
    ASSERT_TRUE(SendFriendRequest(Friend(701, "路人", true), "hi"));
    ASSERT_EQ(m_socket.sent.size(), 2u);
    EXPECT_EQ(m_socket.sent[1].body, IdBody(kOwnID, IdBody(701, {0})));
    EXPECT_TRUE(m_boxes.boxes.empty());
}

TEST_F(IncomingCommands, ARequestOpensTheConfirmationWindow) {
    ASSERT_TRUE(SendFriendRequest(Friend(702, "新朋友", true), Gbk("我是你同学")));
    EXPECT_TRUE(m_socket.sent.empty());
    CFriendAddConfirmDlg* window = Windows().GetAddConfirmWindow(702);
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("新朋友 请求加您为好友！"));
    EXPECT_EQ(window->ReplyID(), 702);
    window->ApplyChoice();
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].body, IdBody(kOwnID, IdBody(702, {1})));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(IncomingCommands, RepliesShowWhetherTheOtherSideAgreed) {
    ASSERT_TRUE(Receive(SUB_S_FRIEND_REPLY, IdBody(1, IdBody(2, {1}))));
    EXPECT_EQ(TipText(), QStringLiteral("对方同意加为好友请求！"));
    ASSERT_TRUE(Receive(SUB_S_FRIEND_REPLY, IdBody(1, IdBody(2, {0}))));
    EXPECT_EQ(TipText(), QStringLiteral("对方拒绝加为好友！"));
    EXPECT_EQ(Contacts().GetContacts().size(), 0u) << "the model waits for ADD_FRIEND_OK";
}

TEST_F(IncomingCommands, MoveResultsMoveTheContactAndSayWhere) {
    SendFriendList(7, 2, {Friend(502, "小明", true), Friend(503, "小红", true)});
    ASSERT_TRUE(Receive(SUB_S_MOVE_RESULT, IdBody(502, {MOVE_TO_STRANGERS, 0})));
    EXPECT_EQ(Contacts().FindContact(502)->groupID, GROUP_STRANGER);
    EXPECT_EQ(LastBox().text, QStringLiteral("拖入陌生人成功！"));
    EXPECT_EQ(LastBox().style, 0u);
    EXPECT_EQ(LastBox().autoCloseSeconds, 5u);

    ASSERT_TRUE(Receive(SUB_S_MOVE_RESULT, IdBody(503, {MOVE_TO_BLACKLIST, 0})));
    EXPECT_TRUE(Contacts().IsInBlacklist(503));
    EXPECT_EQ(LastBox().text, QStringLiteral("拉黑成功！"));

    const std::size_t boxes = m_boxes.boxes.size();
    ASSERT_TRUE(Receive(SUB_S_MOVE_RESULT, IdBody(503, {2, 0})));
    EXPECT_EQ(m_boxes.boxes.size(), boxes);
    EXPECT_TRUE(Contacts().IsInBlacklist(503));

    ASSERT_TRUE(Receive(SUB_S_MOVE_RESULT, IdBody(999, {MOVE_TO_STRANGERS, 0})));
    EXPECT_EQ(LastBox().text, QStringLiteral("列表中没有这个用户..."));
    EXPECT_EQ(LastBox().style, 16u);
}

TEST_F(IncomingCommands, TheServersConfirmationOfTheHostsBlacklistIsNoRefusal) {
    SendFriendList(7, 1, {Friend(502, "小明", true)});
    ASSERT_TRUE(m_pService->AddToBlacklist(502, 0, 0, 0, "user502", Gbk("小明")));
    ASSERT_TRUE(Contacts().IsInBlacklist(502));
    const std::size_t boxes = m_boxes.boxes.size();
    ASSERT_TRUE(Receive(SUB_S_MOVE_RESULT, IdBody(502, {MOVE_TO_BLACKLIST, 0})));
    ASSERT_EQ(m_boxes.boxes.size(), boxes + 1);
    EXPECT_EQ(LastBox().text, QStringLiteral("拉黑成功！"));
    EXPECT_EQ(LastBox().style, 0u);
    EXPECT_TRUE(Contacts().IsInBlacklist(502));
}

TEST_F(IncomingCommands, ClearHistoryEmptiesTheHistoryDirectoryAndSetsTheFlag) {
    auto& history = *CChatHistoryManager::GetInstance();
    history.AddMessage(502, "a", "b", 1, "one");
    history.AddMessage(503, "a", "b", 2, "two");
    history.CommitPending();
    const QString dir = QFileInfo(QString::fromStdString(HistoryPath(502))).path();
    ASSERT_EQ(QDir(dir).entryList({QStringLiteral("*.data")}, QDir::Files).size(), 2);
    ASSERT_TRUE(Receive(SUB_S_CLEAR_HISTORY, {}));
    EXPECT_EQ(m_pService->m_bServerFlag, 1);
    EXPECT_TRUE(QDir(dir).exists());
    EXPECT_TRUE(QDir(dir).entryList(QDir::Files).isEmpty());
    ASSERT_TRUE(Receive(SUB_S_CLEAR_FLAG, {0xFF}));
    EXPECT_EQ(m_pService->m_bServerFlag, 0);
}

TEST_F(IncomingCommands, BlacklistedChatIsDroppedButItsShakeStillShakes) {
    Contacts().AddOrUpdateContact(700, 1, 0, 0, "b700", Gbk("坏人"), GROUP_BLACKLIST);
    ASSERT_TRUE(Receive(SUB_S_CHAT_MESSAGE, IdBody(700, {'x', 0})));
    EXPECT_EQ(Windows().Placement().Slots().size(), 0u);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(HistoryPath(700))));
    ASSERT_TRUE(Receive(SUB_S_SHAKE, IdBody(700)));
    EXPECT_TRUE(Windows().GetChatWindow(700)->isVisible());
}

TEST_F(IncomingCommands, ChatMarksTheSenderOnline) {
    SendFriendList(7, 1, {Friend(502, "小明", false)});
    ASSERT_TRUE(Receive(SUB_S_CHAT_MESSAGE, IdBody(502, {'y', 'o', 0})));
    EXPECT_EQ(Contacts().GetOnlineState(502), STATE_ONLINE);
    EXPECT_EQ(CChatHistoryManager::GetInstance()->GetMessageCount(502), 1);
}

TEST_F(IncomingCommands, RefusedOnlineTipsStillUpdateTheList) {
    SendFriendList(7, 1, {Friend(502, "小明", false)});
    Options().bRefuseOnlineTips = true;
    m_pService->m_nTipFriendID = 42;
    ASSERT_TRUE(Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_ONLINE})));
    EXPECT_EQ(Contacts().GetOnlineState(502), STATE_ONLINE);
    EXPECT_TRUE(TipText().isEmpty());
    EXPECT_EQ(m_pService->m_nTipFriendID, 42);
}

TEST_F(IncomingCommands, ForeignAndUnknownCommandsAreNotHandled) {
    EXPECT_FALSE(m_pService->OnServiceCommand({13, SUB_S_CHAT_MESSAGE}, "\1\0\0\0", 4));
    for (uint16_t sub : {0, 1, 3, 5, 7, 11, 13, 15, 18, 20, 21, 23, 26, 27, 28, 30, 999})
        EXPECT_FALSE(Receive(sub, IdBody(1, {1, 1, 1}))) << sub;
    EXPECT_TRUE(Receive(SUB_S_IGNORED, {}));
}

TEST_F(IncomingCommands, ShortVariableBodiesAreDroppedWhole) {
    // Announces three friends but carries one.
    CCommandStream stream;
    stream.WriteInt32(7);
    stream.WriteInt32(3);
    stream.WriteUInt32(3);
    WriteFriendEntry(stream, Friend(502, "小明", true));
    std::vector<uint8_t> body(stream.SendBuffer(), stream.SendBuffer() + stream.SendSize());
    EXPECT_FALSE(Receive(SUB_S_FRIEND_LIST, body));
    EXPECT_TRUE(Contacts().GetContacts().empty());
    EXPECT_FALSE(Receive(SUB_S_CHAT_MESSAGE, {1, 2}));
    EXPECT_FALSE(Receive(SUB_S_ADD_FRIEND_OK, IdBody(0, {1, 0, 0})));
    EXPECT_TRUE(Contacts().GetContacts().empty());
    EXPECT_EQ(Windows().Placement().Slots().size(), 0u);
}

TEST_F(IncomingCommands, AnyBodyOfAnyLengthIsSafe) {
    SendFriendList(7, 2, {Friend(502, "小明", true), Friend(503, "小红", false)});
    uint32_t seed = 12345;
    std::vector<uint8_t> body;
    for (uint16_t sub = 0; sub <= 32; ++sub) {
        for (std::size_t length = 0; length <= 64; ++length) {
            body.resize(length);
            for (uint8_t& byte : body) {
                seed = seed * 1103515245u + 12345u;
                byte = static_cast<uint8_t>(seed >> 16);
            }
            // Ids of known contacts now and then, so that handlers reach the model.
            if (length >= 4 && (length % 3) == 0) {
                const std::vector<uint8_t> known = IdBody(502);
                std::copy(known.begin(), known.end(), body.begin());
            }
            Receive(sub, body);
        }
    }
    // The service still works after all of it.
    m_socket.sent.clear();
    m_pService->SendShake(502);
    EXPECT_EQ(m_socket.sent.size(), 1u);
}

} // namespace pellix
