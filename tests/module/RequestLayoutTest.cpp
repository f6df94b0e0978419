#include "RecordingSocket.h"
#include "ScopedWorkingDirectory.h"
#include "base/SignedInUser.h"
#include "module/FriendService.h"
#include "records/FriendCommands.h"

#include <gtest/gtest.h>

#include <vector>

namespace pellix {

namespace {

using Bytes = std::vector<uint8_t>;

class RequestLayout : public ::testing::Test {
protected:
    RequestLayout() { service.AttachSocket(&socket); }

    const SentCommand& Only() {
        EXPECT_EQ(socket.sent.size(), 1u);
        return socket.sent.back();
    }

    ScopedWorkingDirectory workDir;
    CFriendService service;
    RecordingSocket socket;
};

} // namespace

TEST_F(RequestLayout, ChatMessageCarriesIdsAndGbkText) {
    service.SendChatMessage(501, 502, "\xBA\xC3\xD3\xD1");
    const SentCommand& sent = Only();
    EXPECT_EQ(sent.mainCmd, CMD_FRIEND);
    EXPECT_EQ(sent.subCmd, SUB_C_CHAT_MESSAGE);
    EXPECT_EQ(sent.body, (Bytes{0xF5, 0x01, 0, 0, 0xF6, 0x01, 0, 0, 0xBA, 0xC3, 0xD3, 0xD1, 0}));
}

TEST_F(RequestLayout, FixedBodiesHaveTheirExactSizes) {
    service.SendFriendReply(1, 2, 5);
    service.SendFriendReply(1, 2, false);
    service.SendMoveRequest(3, 4, MOVE_TO_BLACKLIST);
    service.SendMoveRequest(3, 4, 7);
    service.SendShake(0x01020304);
    ASSERT_EQ(socket.sent.size(), 5u);
    EXPECT_EQ(socket.sent[0].subCmd, SUB_C_FRIEND_REPLY);
    EXPECT_EQ(socket.sent[0].body, (Bytes{1, 0, 0, 0, 2, 0, 0, 0, 1}));
    EXPECT_EQ(socket.sent[1].body, (Bytes{1, 0, 0, 0, 2, 0, 0, 0, 0}));
    EXPECT_EQ(socket.sent[2].subCmd, SUB_C_MOVE_CONTACT);
    EXPECT_EQ(socket.sent[2].body, (Bytes{3, 0, 0, 0, 4, 0, 0, 0, 1}));
    EXPECT_EQ(socket.sent[3].body[8], 7) << "the operation byte goes out unchanged";
    EXPECT_EQ(socket.sent[4].subCmd, SUB_C_SHAKE);
    EXPECT_EQ(socket.sent[4].body, (Bytes{4, 3, 2, 1}));
}

TEST_F(RequestLayout, LogonAndAddFriendUseTheSendStream) {
    EXPECT_TRUE(service.SendLogonRequest(7, "tk", -1));
    service.SendAddFriendRequest(7, 8, "");
    ASSERT_EQ(socket.sent.size(), 2u);
    EXPECT_EQ(socket.sent[0].subCmd, SUB_C_LOGON);
    EXPECT_EQ(socket.sent[0].body, (Bytes{7, 0, 0, 0, 't', 'k', 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(socket.sent[1].subCmd, SUB_C_ADD_FRIEND);
    EXPECT_EQ(socket.sent[1].body, (Bytes{7, 0, 0, 0, 8, 0, 0, 0, 0}));
}

TEST_F(RequestLayout, LogonReportsTheSocketsResult) {
    socket.sendResult = false;
    EXPECT_FALSE(service.SendLogonRequest(7, "tk", 3));
}

TEST_F(RequestLayout, BodiesTooLongToFrameAreNotSent) {
    service.SendChatMessage(1, 2, std::string(70000, 'x'));
    EXPECT_TRUE(socket.sent.empty());
    service.SendChatMessage(1, 2, std::string(65535 - 9, 'x'));
    EXPECT_EQ(socket.sent.size(), 1u);
}

TEST(RequestWithoutSocket, SendsNothingAndReportsFailure) {
    ScopedWorkingDirectory workDir;
    CFriendService service;
    EXPECT_FALSE(service.SendLogonRequest(1, "", -1));
}

} // namespace pellix
