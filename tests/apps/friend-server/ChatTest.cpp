// Chat and shakes: relayed to online users, queued for offline ones, never lost on the way.

#include "ServerFixture.h"

#include "ServerBodies.h"
#include "text/StringUtility.h"

using namespace pellix;
using namespace pellix::server;

namespace {

class ChatTest : public ServerOnEachStore {
protected:
    void SetUpUsers() {
        AddAccount(1);
        AddAccount(2);
        AddAccount(3);
        Befriend(1, 2);
    }
};

// The texts of chat messages and queued messages, in the order they arrived.
std::vector<std::string> ReceivedTexts(const TestPeer& peer) {
    std::vector<std::string> texts;
    for (const FrameCodec::Frame& frame : peer.Frames()) {
        if (frame.header.subCmd == SUB_S_OFFLINE_MESSAGES) {
            for (const OfflineMessageEntry& entry : DecodeOffline(frame))
                texts.push_back(entry.message);
        } else if (frame.header.subCmd == SUB_S_CHAT_MESSAGE) {
            CCommandStream body = BodyOf(frame);
            body.ReadInt32();
            texts.emplace_back();
            body.ReadString(texts.back());
        }
    }
    return texts;
}

void SendShake(TestPeer& peer, int32_t friendID) {
    CCommandStream body;
    body.WriteInt32(friendID);
    peer.Send(CMD_FRIEND, SUB_C_SHAKE, body);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Stores, ChatTest, EachStore(), StoreKindName);

TEST_P(ChatTest, ChatAndShakeAreRelayedToAnOnlineUser) {
    StartServer();
    SetUpUsers();
    TestPeer& one = LogOn(1);
    TestPeer& two = LogOn(2);
    const std::string text = StringUtility::QStringToAnsi(QStringLiteral("你好"));
    one.Chat(2, text);
    auto chat = two.WaitFor(SUB_S_CHAT_MESSAGE);
    ASSERT_TRUE(chat);
    ASSERT_EQ(chat->body.size(), 4u + text.size() + 1u);
    CCommandStream body = BodyOf(*chat);
    EXPECT_EQ(body.ReadInt32(), 1);
    std::string received;
    body.ReadString(received);
    EXPECT_EQ(received, text);

    SendShake(two, 1);
    auto shake = one.WaitFor(SUB_S_SHAKE);
    ASSERT_TRUE(shake);
    ASSERT_EQ(shake->body.size(), 4u);
    EXPECT_EQ(BodyOf(*shake).ReadInt32(), 2);
    EXPECT_EQ(Store().QueuedMessageCount(2), 0u);
}

TEST_P(ChatTest, MessagesToAnOfflineUserSurviveARestartAndComeOnceAtTheNextLogOn) {
    StartServer();
    SetUpUsers();
    TestPeer& one = LogOn(1);
    const std::string chinese = StringUtility::QStringToAnsi(QStringLiteral("晚上好"));
    one.Chat(2, "first");
    one.Chat(3, "for three");
    one.Chat(2, chinese);
    ASSERT_TRUE(one.Sync());
    ASSERT_EQ(Store().QueuedMessageCount(2), 2u);

    StartServer();
    TestPeer& two = LogOn(2);
    auto offline = two.WaitFor(SUB_S_OFFLINE_MESSAGES);
    ASSERT_TRUE(offline);
    const auto messages = DecodeOffline(*offline);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].userID, 1);
    EXPECT_EQ(messages[0].message, "first");
    EXPECT_EQ(messages[1].userID, 1);
    EXPECT_EQ(messages[1].message, chinese);
    EXPECT_GT(messages[0].reserved[0], 0) << "the time it was sent";

    // Once written the queue is empty, and the next log-on brings nothing again.
    ASSERT_TRUE(QTest::qWaitFor([this] { return Store().QueuedMessageCount(2) == 0; }, kWaitMs));
    EXPECT_EQ(Store().QueuedMessageCount(3), 1u);
    TestPeer& again = LogOn(2);
    ASSERT_TRUE(again.Sync());
    EXPECT_EQ(again.Count(SUB_S_OFFLINE_MESSAGES), 0u);
}

TEST_P(ChatTest, ALongQueueComesInBodiesThatFitAndInOrder) {
    StartServer();
    SetUpUsers();
    TestPeer& one = LogOn(1);
    std::vector<std::string> sent;
    for (char letter = 'a'; letter < 'f'; ++letter) {
        sent.push_back(std::string(30000, letter));
        one.Chat(2, sent.back());
    }
    ASSERT_TRUE(one.Sync());

    TestPeer& two = LogOn(2);
    // Sent while the queue may still be handed over: it must come after everything queued.
    sent.push_back("latest");
    one.Chat(2, sent.back());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReceivedTexts(two).size() == sent.size(); }, kWaitMs));
    EXPECT_EQ(ReceivedTexts(two), sent);
    EXPECT_GE(two.Count(SUB_S_OFFLINE_MESSAGES), 3u);
    for (const FrameCodec::Frame& frame : two.Frames())
        EXPECT_LE(frame.body.size(), ServerBodies::kMaxBody);
}

TEST_P(ChatTest, AMessageTooLongForTheQueueIsCutToFit) {
    StartServer();
    SetUpUsers();
    TestPeer& one = LogOn(1);
    // The longest text a chat request can carry, ending in a double-byte character that the
    // cut must not split.
    std::string text(FrameCodec::kMaxBodySize - 9 - 2, 'x');
    text += StringUtility::QStringToAnsi(QStringLiteral("好"));
    one.Chat(2, text);
    ASSERT_TRUE(one.Sync());
    TestPeer& two = LogOn(2);
    auto offline = two.WaitFor(SUB_S_OFFLINE_MESSAGES);
    ASSERT_TRUE(offline);
    const auto messages = DecodeOffline(*offline);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message.size(), ServerBodies::kMaxOfflineText);
    EXPECT_EQ(messages[0].message, text.substr(0, ServerBodies::kMaxOfflineText));
}

TEST_P(ChatTest, AUserThatStopsReadingIsDroppedAndWhatItMissedIsQueued) {
    SessionLimits limits;
    limits.maxPendingBytes = 256 * 1024;
    StartServer(limits);
    SetUpUsers();
    TestPeer& one = LogOn(1);
    // A client that logs on and then reads nothing: its socket buffers a single byte.
    QTcpSocket stalled;
    stalled.setReadBufferSize(1);
    stalled.connectToHost(QHostAddress::LocalHost, Server().Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stalled.state() == QAbstractSocket::ConnectedState; },
                                kWaitMs));
    CCommandStream logon;
    logon.WriteInt32(2);
    logon.WriteString(Token(2));
    logon.WriteInt32(-1);
    stalled.write(
        FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, logon.SendBuffer(), logon.SendSize()));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Server().OnlineCount() == 2; }, kWaitMs));

    // One message at a time, so that none is sent after the drop: whatever is queued then is
    // what the server still held for the dropped user.
    const std::string text(60000, 'z');
    int sent = 0;
    while (Server().OnlineCount() == 2 && sent < 2000) {
        one.Chat(2, text);
        ++sent;
        ASSERT_TRUE(one.Sync());
    }
    ASSERT_EQ(Server().OnlineCount(), 1u) << "still online after " << sent << " messages";
    const std::size_t queued = Store().QueuedMessageCount(2);
    EXPECT_GE(queued, static_cast<std::size_t>(limits.maxPendingBytes) / text.size());
    EXPECT_LE(queued, static_cast<std::size_t>(sent));

    // The sender goes on working, and the dropped user finds the rest waiting.
    one.Chat(2, "after");
    ASSERT_TRUE(one.Sync());
    TestPeer& two = LogOn(2);
    EXPECT_TRUE(two.WaitFor(SUB_S_OFFLINE_MESSAGES));
}
