// Two server processes on one PostgreSQL database, joined through one nats-server: users logged
// on at different nodes see each other's presence, chat, shake and befriend each other as on one
// server, and the shared offline queue, one connection per user, node death and a restart of
// every node behave as the cluster promises.

#include "NatsServer.h"
#include "PostgresCluster.h"
#include "ServerFixture.h"
#include "ServerProcess.h"

#include "records/FriendRecords.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

#include <memory>

namespace pellix {

namespace {

constexpr int32_t kAlice = 10001;
constexpr int32_t kBob = 10002;
constexpr int32_t kCarol = 10003;
constexpr int32_t kDave = 10004;
constexpr uint8_t kOnline = 2;
constexpr uint8_t kOffline = 1;
// Generous beside the three-second lease the nodes get here, for a loaded machine.
constexpr int kNodeDeathWaitMs = 30000;

// One node: the server binary with its friend port and profile pages.
struct Node {
    std::unique_ptr<ServerProcess> process;
    quint16 port = 0;
    quint16 pages = 0;
};

// The presence a node shows on a user's profile page: "在线" while logged on anywhere.
bool PageSaysOnline(quint16 pagesPort, int32_t userID) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), pagesPort);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(QStringLiteral("GET /user/%1 HTTP/1.0\r\n\r\n").arg(userID).toUtf8());
    QByteArray page;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(kWaitMs))
        page += socket.readAll();
    page += socket.readAll();
    return QString::fromUtf8(page).contains(QStringLiteral("在线"));
}

OnlineStateEntry DecodeState(const FrameCodec::Frame& frame) {
    CCommandStream body = BodyOf(frame);
    OnlineStateEntry entry;
    ReadOnlineStateEntry(body, entry);
    EXPECT_FALSE(body.IsTruncated());
    return entry;
}

std::vector<std::string> OfflineTexts(const FrameCodec::Frame& frame) {
    std::vector<std::string> texts;
    for (const OfflineMessageEntry& entry : server::DecodeOffline(frame))
        texts.push_back(entry.message);
    return texts;
}

class ClusterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_Nats.Url().isEmpty()) << m_Nats.ErrorOutput().toStdString();
        m_Database = QString::fromStdString(PostgresCluster::Shared().CreateDatabase());
        StartNode(m_A, {QStringLiteral("--seed-demo"), QStringLiteral("--befriend"),
                        QStringLiteral("10001,10002")});
        StartNode(m_B, {QStringLiteral("--seed-demo"), QStringLiteral("--befriend"),
                        QStringLiteral("10001,10002")});
    }

    void StartNode(Node& node, QStringList arguments) {
        arguments << QStringLiteral("--listen") << QStringLiteral("127.0.0.1:0")
                  << QStringLiteral("--http") << QStringLiteral("127.0.0.1:0")
                  << QStringLiteral("--db") << m_Database << QStringLiteral("--nats")
                  << m_Nats.Url() << QStringLiteral("--node-lease") << QStringLiteral("3");
        node.process = std::make_unique<ServerProcess>(arguments);
        node.port = node.process->WaitListening();
        ASSERT_NE(node.port, 0) << node.process->ErrorOutput().toStdString();
        node.pages = node.process->WaitProfilePages();
        ASSERT_NE(node.pages, 0);
    }

    // Logs the user on at the node and takes its list.
    std::unique_ptr<TestPeer> LogOn(const Node& node, int32_t userID, bool ackedChats = false) {
        auto peer = std::make_unique<TestPeer>(node.port);
        peer->LogOn(userID, "demo", -1);
        EXPECT_TRUE(peer->WaitFor(SUB_S_FRIEND_LIST));
        if (ackedChats)
            peer->AnswerExtensions(EXT_ACKED_CHAT);
        return peer;
    }

    // Waits until the node sees the user as logged on (or not) somewhere in the cluster.
    static bool WaitSeen(const Node& node, int32_t userID, bool online) {
        return QTest::qWaitFor([&] { return PageSaysOnline(node.pages, userID) == online; },
                               kWaitMs);
    }

    NatsServer m_Nats;
    QString m_Database;
    Node m_A;
    Node m_B;
};

} // namespace

TEST_F(ClusterTest, PresenceChatAndShakeCrossNodes) {
    auto bob = LogOn(m_B, kBob, true);
    ASSERT_TRUE(WaitSeen(m_A, kBob, true));

    auto alice = LogOn(m_A, kAlice);
    const auto online = bob->WaitFor(SUB_S_ONLINE_STATE);
    ASSERT_TRUE(online);
    EXPECT_EQ(DecodeState(*online).userID, kAlice);
    EXPECT_EQ(DecodeState(*online).state, kOnline);

    alice->Chat(kBob, "hello across");
    const auto chat = bob->WaitFor(SUB_S_CHAT_MESSAGE);
    ASSERT_TRUE(chat);
    CCommandStream chatBody = BodyOf(*chat);
    EXPECT_EQ(chatBody.ReadInt32(), kAlice);
    std::string text;
    chatBody.ReadString(text);
    EXPECT_EQ(text, "hello across");

    alice->AnswerExtensions(EXT_ACKED_CHAT);
    alice->AckedChat(kBob, 77, "acknowledged across");
    ASSERT_TRUE(alice->WaitFor(SUB_S_CHAT_ACK));
    const auto acked = bob->WaitFor(SUB_S_CHAT_MESSAGE_EX);
    ASSERT_TRUE(acked);
    CCommandStream ackedBody = BodyOf(*acked);
    AckedChatEntry entry;
    ReadAckedChatEntry(ackedBody, entry);
    EXPECT_EQ(entry.userID, kAlice);
    EXPECT_EQ(entry.messageID, 77u);
    EXPECT_EQ(entry.message, "acknowledged across");

    CCommandStream shake;
    shake.WriteInt32(kAlice);
    bob->Send(CMD_FRIEND, SUB_C_SHAKE, shake);
    const auto shaken = alice->WaitFor(SUB_S_SHAKE);
    ASSERT_TRUE(shaken);
    EXPECT_EQ(BodyOf(*shaken).ReadInt32(), kBob);

    alice.reset();
    const auto offline = bob->WaitFor(SUB_S_ONLINE_STATE);
    ASSERT_TRUE(offline);
    EXPECT_EQ(DecodeState(*offline).userID, kAlice);
    EXPECT_EQ(DecodeState(*offline).state, kOffline);
}

TEST_F(ClusterTest, ChatsForAUserOnlineNowhereWaitForTheLogOnAtAnyNode) {
    {
        auto alice = LogOn(m_A, kAlice);
        for (const char* text : {"first", "second", "third"})
            alice->Chat(kBob, text);
        ASSERT_TRUE(alice->Sync());
    }
    auto bob = LogOn(m_B, kBob);
    const auto batch = bob->WaitFor(SUB_S_OFFLINE_MESSAGES);
    ASSERT_TRUE(batch);
    EXPECT_EQ(OfflineTexts(*batch), (std::vector<std::string>{"first", "second", "third"}));

    // Handed over once: a log-on at the other node finds nothing waiting. Its answer to the
    // announcement starts the hand-over before the ping is answered.
    bob.reset();
    auto again = LogOn(m_A, kBob, true);
    ASSERT_TRUE(again->Sync());
    EXPECT_EQ(again->Count(SUB_S_OFFLINE_MESSAGES), 0u);
    EXPECT_EQ(again->Count(SUB_S_OFFLINE_MESSAGES_EX), 0u);
}

TEST_F(ClusterTest, ALogOnAtAnotherNodeEndsTheFirstConnection) {
    auto first = LogOn(m_A, kAlice);
    ASSERT_TRUE(WaitSeen(m_B, kAlice, true));
    auto second = LogOn(m_B, kAlice);
    EXPECT_TRUE(first->WaitDisconnected());
    EXPECT_TRUE(second->Sync());
    EXPECT_TRUE(second->IsConnected());
    // The user is still online, now at the second node.
    EXPECT_TRUE(WaitSeen(m_A, kAlice, true));
}

TEST_F(ClusterTest, TheUsersOfANodeThatDiedGoOfflineAndLogOnElsewhere) {
    auto bob = LogOn(m_B, kBob);
    ASSERT_TRUE(WaitSeen(m_A, kBob, true));
    auto alice = LogOn(m_A, kAlice);
    ASSERT_TRUE(bob->WaitFor(SUB_S_ONLINE_STATE));

    m_A.process->Kill();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return bob->Count(SUB_S_ONLINE_STATE) > 0; }, kNodeDeathWaitMs));
    const auto offline = bob->WaitFor(SUB_S_ONLINE_STATE);
    EXPECT_EQ(DecodeState(*offline).userID, kAlice);
    EXPECT_EQ(DecodeState(*offline).state, kOffline);

    auto back = LogOn(m_B, kAlice);
    const auto online = bob->WaitFor(SUB_S_ONLINE_STATE);
    ASSERT_TRUE(online);
    EXPECT_EQ(DecodeState(*online).state, kOnline);
}

TEST_F(ClusterTest, AUserWhoMovedBeforeItsNodeWasTakenForDeadStaysOnline) {
    auto bob = LogOn(m_B, kBob);
    ASSERT_TRUE(WaitSeen(m_A, kBob, true));
    auto alice = LogOn(m_A, kAlice);
    ASSERT_TRUE(bob->WaitFor(SUB_S_ONLINE_STATE));

    // A client that knows both nodes signs on to the other at once.
    m_A.process->Kill();
    auto moved = LogOn(m_B, kAlice);
    QString log;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            log += m_B.process->ErrorOutput();
            return log.contains(QStringLiteral("not heard"));
        },
        kNodeDeathWaitMs));
    ASSERT_TRUE(bob->Sync());
    for (const FrameCodec::Frame& frame : bob->Frames()) {
        if (frame.header.subCmd == SUB_S_ONLINE_STATE) {
            EXPECT_EQ(DecodeState(frame).state, kOnline);
        }
    }
    EXPECT_TRUE(PageSaysOnline(m_B.pages, kAlice));
}

TEST_F(ClusterTest, FriendsMadeAcrossNodesSurviveARestartOfEveryNode) {
    auto carol = LogOn(m_A, kCarol);
    auto dave = LogOn(m_B, kDave);
    ASSERT_TRUE(WaitSeen(m_A, kDave, true));
    CCommandStream request;
    request.WriteInt32(0);
    request.WriteInt32(kDave);
    request.WriteString("be my friend");
    carol->Send(CMD_FRIEND, SUB_C_ADD_FRIEND, request);
    ASSERT_TRUE(dave->WaitFor(SUB_S_FRIEND_REQUEST));
    CCommandStream reply;
    reply.WriteInt32(0);
    reply.WriteInt32(kCarol);
    reply.WriteByte(1);
    dave->Send(CMD_FRIEND, SUB_C_FRIEND_REPLY, reply);
    ASSERT_TRUE(carol->WaitFor(SUB_S_FRIEND_REPLY));
    ASSERT_TRUE(carol->WaitFor(SUB_S_ADD_FRIEND_OK));
    ASSERT_TRUE(dave->WaitFor(SUB_S_ADD_FRIEND_OK));
    carol.reset();
    dave.reset();

    m_A.process->Kill();
    m_B.process->Kill();
    StartNode(m_A, {});
    StartNode(m_B, {});
    for (const int32_t userID : {kCarol, kDave}) {
        TestPeer peer(m_B.port);
        peer.LogOn(userID, "demo", -1);
        const auto list = peer.WaitFor(SUB_S_FRIEND_LIST);
        ASSERT_TRUE(list);
        const server::FriendListBody friends = server::DecodeFriendList(*list);
        EXPECT_EQ(friends.count, 1);
        ASSERT_EQ(friends.friends.size(), 1u);
        EXPECT_EQ(friends.friends[0].userID, userID == kCarol ? kDave : kCarol);
    }
}

} // namespace pellix
