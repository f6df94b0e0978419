// Nothing typed is lost, against both kinds of server: one that knows no extension and hears
// only the commands it knows, and the reference server, which confirms every chat.

#include "FriendTestData.h"
#include "ModuleOnServerFixture.h"
#include "ScriptedPeer.h"
#include "ServerFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinEdit.h"
#include "skin/SkinRichEdit.h"
#include "storage/ContactManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <set>

namespace pellix {

namespace {

class Delivery : public ModuleOnServerFixture {
protected:
    static QByteArray Bytes(const std::vector<uint8_t>& body) {
        return QByteArray(reinterpret_cast<const char*>(body.data()),
                          static_cast<qsizetype>(body.size()));
    }
    bool OutboxEmpty() { return Service().Delivery().Outbox().IsEmpty(); }
};

} // namespace

TEST_F(Delivery, AServerThatAnnouncesNothingHearsOnlyCommandsItKnowsAndGetsEveryChatOnce) {
    ScriptedPeer server;
    StartModule(AddressOf(server.Port()));
    const QByteArray signOn = Bytes(SignOnListBody({MakeFriend(kFriendID, "小明", true)}));
    auto chats = [&] { return server.FramesWith(CMD_FRIEND, SUB_C_CHAT_MESSAGE); };

    ASSERT_TRUE(WaitUntil([&] { return server.FramesWith(CMD_FRIEND, SUB_C_LOGON) == 1; }));
    Service().SendChatMessage(kFriendID, Gbk("登录之前"));
    server.Send(CMD_FRIEND, SUB_S_FRIEND_LIST, signOn);
    ASSERT_TRUE(WaitUntil([&] { return chats() == 1; }));
    Service().SendChatMessage(kFriendID, Gbk("登录之后"));
    server.Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE, Bytes(WrittenBody([](CCommandStream& body) {
                    body.WriteInt32(kFriendID);
                    body.WriteString(Gbk("你好"));
                })));
    ASSERT_TRUE(WaitUntil([&] { return chats() == 2 && History(kFriendID).size() == 1; }));

    server.CloseClient();
    ASSERT_TRUE(WaitUntil([&] { return !Service().IsConnected(); }));
    Service().SendChatMessage(kFriendID, Gbk("断线之时"));
    ASSERT_TRUE(WaitUntil([&] { return server.FramesWith(CMD_FRIEND, SUB_C_LOGON) == 2; }));
    EXPECT_EQ(chats(), 2) << "nothing goes out before the sign-on";
    server.Send(CMD_FRIEND, SUB_S_FRIEND_LIST, signOn);
    ASSERT_TRUE(WaitUntil([&] { return chats() == 3; }));
    EXPECT_TRUE(OutboxEmpty());

    const std::set<uint16_t> known{SUB_C_ADD_FRIEND, SUB_C_FRIEND_REPLY, SUB_C_MOVE_CONTACT,
                                   SUB_C_LOGON,      SUB_C_CHAT_MESSAGE, SUB_C_SHAKE};
    std::vector<std::string> texts;
    for (const FrameCodec::Frame& frame : server.frames) {
        if (frame.header.mainCmd == FrameCodec::kLibraryMainCmd)
            continue;
        EXPECT_EQ(frame.header.mainCmd, CMD_FRIEND);
        EXPECT_TRUE(known.contains(frame.header.subCmd)) << frame.header.subCmd;
        if (frame.header.subCmd != SUB_C_CHAT_MESSAGE)
            continue;
        CCommandStream body = BodyOf(frame);
        body.ReadInt32();
        body.ReadInt32();
        body.ReadString(texts.emplace_back());
        EXPECT_EQ(body.BytesLeft(), 0u);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{Gbk("登录之前"), Gbk("登录之后"), Gbk("断线之时")}));
}

TEST_F(Delivery, AChatTypedWhileTheServerIsDownReachesTheFriendOnceAfterBothComeBack) {
    StartServer();
    AddStandardAccounts();
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetFriendCount() == 1; }));
    StopServer();
    ASSERT_TRUE(WaitUntil([&] { return !Service().IsConnected(); }));
    CFriendChatDlg* chat = CFriendWindowManager::GetInstance()->OpenChatWindow(kFriendID);
    chat->InputBox()->setPlainText(QStringLiteral("服务器不在时"));
    chat->SendChatMessage();
    EXPECT_TRUE(chat->DisplayView()->toPlainText().contains(QStringLiteral("发送中…")));

    // The sender closes its client before the server is back.
    DestroyModule();
    StartServer();
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return Service().Delivery().IsSignedOn() && OutboxEmpty(); }));
    TestPeer& peer = LogOnPeer(kFriendID);
    const std::optional<FrameCodec::Frame> offline = peer.WaitFor(SUB_S_OFFLINE_MESSAGES);
    ASSERT_TRUE(offline.has_value());
    const std::vector<OfflineMessageEntry> messages = server::DecodeOffline(*offline);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, Gbk("服务器不在时"));
    ASSERT_TRUE(peer.Sync());
    EXPECT_EQ(peer.Count(SUB_S_OFFLINE_MESSAGES) + peer.Count(SUB_S_CHAT_MESSAGE), 0u);
    ASSERT_EQ(History(kFriendID).size(), 1u);
    chat = CFriendWindowManager::GetInstance()->OpenChatWindow(kFriendID);
    EXPECT_FALSE(chat->DisplayView()->toPlainText().contains(QStringLiteral("发送中…")));
}

} // namespace pellix
