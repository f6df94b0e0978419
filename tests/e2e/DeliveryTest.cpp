// Nothing typed is lost, against both kinds of server: one that knows no extension and hears
// only the commands it knows, and the reference server, which confirms every chat.

#include "FriendTestData.h"
#include "ModuleOnServerFixture.h"
#include "ScriptedPeer.h"
#include "records/FriendCommands.h"

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

} // namespace pellix
