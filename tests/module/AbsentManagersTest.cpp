// A manager whose allocation failed is absent; every command and every host call must still be
// handled without touching it.

#include "RecordingMessageBox.h"
#include "RecordingSocket.h"
#include "ScopedWorkingDirectory.h"
#include "base/SignedInUser.h"
#include "module/FriendService.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/FriendWindowManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pellix {

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Written(void (*write)(CCommandStream&)) {
    CCommandStream stream;
    write(stream);
    return {stream.SendBuffer(), stream.SendBuffer() + stream.SendSize()};
}

FriendEntry Entry(int userID, bool online) {
    FriendEntry entry;
    entry.userID = userID;
    entry.userName = "user" + std::to_string(userID);
    entry.nickName = "nick" + std::to_string(userID);
    entry.online = online;
    return entry;
}

// One well-formed body for every command the server sends.
std::vector<std::pair<uint16_t, Bytes>> EveryCommand() {
    return {
        {SUB_S_FRIEND_LIST, Written([](CCommandStream& s) {
             s.WriteInt32(3);
             s.WriteInt32(2);
             WriteList(s, std::vector<FriendEntry>{Entry(502, true), Entry(503, false)},
                       WriteFriendEntry);
         })},
        {SUB_S_ONLINE_STATES, Written([](CCommandStream& s) {
             s.WriteInt32(3);
             WriteList(s, std::vector<OnlineStateEntry>{{502, 1}}, WriteOnlineStateEntry);
         })},
        {SUB_S_ONLINE_STATE, Bytes{0xF6, 0x01, 0, 0, 2}},
        {SUB_S_CHAT_MESSAGE, Written([](CCommandStream& s) {
             s.WriteInt32(502);
             s.WriteString("hello");
         })},
        {SUB_S_OFFLINE_MESSAGES, Written([](CCommandStream& s) {
             s.WriteInt32(0);
             WriteList(s, std::vector<OfflineMessageEntry>{{503, {}, "later"}},
                       WriteOfflineMessageEntry);
         })},
        {SUB_S_SHAKE, Bytes{0xF6, 0x01, 0, 0}},
        {SUB_S_FRIEND_REQUEST, Written([](CCommandStream& s) {
             s.WriteInt32(0);
             WriteFriendEntry(s, Entry(504, true));
             s.WriteString("hi");
         })},
        {SUB_S_ADD_FRIEND_OK, Written([](CCommandStream& s) {
             s.WriteInt32(4);
             WriteFriendEntry(s, Entry(504, true));
         })},
        {SUB_S_ADD_FRIEND_FAIL, Bytes{0xF8, 0x01, 0, 0, 1}},
        {SUB_S_FRIEND_REPLY, Bytes{0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {SUB_S_MOVE_RESULT, Bytes{0xF6, 0x01, 0, 0, 0, 0}},
        {SUB_S_MOVE_RESULT, Bytes{0xF7, 0x01, 0, 0, 1, 0}},
        {SUB_S_CLEAR_HISTORY, Bytes{}},
        {SUB_S_CLEAR_FLAG, Bytes{7}},
        {SUB_S_LOGON_FAILED, Bytes{0, 0, 0, 0, 1}},
    };
}

struct AbsentCase {
    const char* name;
    AbsentManagers absent;
};

class AbsentManager : public ::testing::TestWithParam<AbsentCase> {
protected:
    AbsentManager() : service(GetParam().absent) {
        service.AttachSocket(&socket);
        tagUserInfo info{};
        info.userID = 501;
        service.SetUserInfo(info, "token");
        tagProxyInfo proxy;
        service.StartFriendService("127.0.0.1:1", 0, proxy);
        service.StopService();
    }

    ScopedWorkingDirectory workDir;
    RecordingMessageBox boxes;
    RecordingSocket socket;
    CFriendService service;
};

} // namespace

TEST_P(AbsentManager, EveryCommandAndHostCallRunsWithoutIt) {
    const AbsentManagers absent = GetParam().absent;
    EXPECT_EQ(CContactManager::GetInstance() == nullptr, absent.contacts);
    EXPECT_EQ(CChatHistoryManager::GetInstance() == nullptr, absent.history);
    EXPECT_EQ(CFriendWindowManager::GetInstance() == nullptr, absent.windows);
    EXPECT_EQ(CFriendOptionManager::GetInstance() == nullptr, absent.options);

    EXPECT_TRUE(service.OnServerConnected());
    ASSERT_FALSE(socket.sent.empty());
    EXPECT_EQ(socket.sent.back().subCmd, SUB_C_LOGON);

    service.ShowFriendWindow(false);
    for (const auto& [sub, body] : EveryCommand()) {
        EXPECT_TRUE(service.OnServiceCommand({CMD_FRIEND, sub}, body.data(),
                                             static_cast<unsigned short>(body.size())))
            << "sub-command " << sub;
        // What the present managers do is still done: a message is stored while the windows
        // and the history are there.
        if (sub == SUB_S_CHAT_MESSAGE && !absent.windows && !absent.history) {
            EXPECT_EQ(CChatHistoryManager::GetInstance()->GetMessageCount(502), 1);
        }
    }
    service.ShowFriendWindow(true);
    service.AddFriend(502, "nick502");
    service.AddToBlacklist(503, 0, 1, 0, "user503", "nick503");
    service.AddToBlacklist(999, 0, 1, 0, "user999", "nick999");
    service.HideFriendWindow();
    service.CloseFriendWindows();

    if (!absent.contacts) {
        const ContactInfo* blacklisted = CContactManager::GetInstance()->FindContact(503);
        ASSERT_NE(blacklisted, nullptr);
        EXPECT_EQ(blacklisted->groupID, GROUP_BLACKLIST);
    }
}

INSTANTIATE_TEST_SUITE_P(EachManager, AbsentManager,
                         ::testing::Values(AbsentCase{"ContactList", {true, false, false, false}},
                                           AbsentCase{"ChatHistory", {false, true, false, false}},
                                           AbsentCase{"Windows", {false, false, true, false}},
                                           AbsentCase{"Options", {false, false, false, true}},
                                           AbsentCase{"All", {true, true, true, true}}),
                         [](const ::testing::TestParamInfo<AbsentCase>& info) {
                             return info.param.name;
                         });

} // namespace pellix
