// The acknowledged-chat extension on the server: announced after an accepted log-on only,
// chats confirmed once stored and held once per sender id, handed to the recipient until its
// receipt (across reconnects and restarts), plain to a client that takes no extension, and
// refused with a reason when they can never be delivered.

#include "ServerFixture.h"
#include "SqliteAccountStore.h"

#include <sqlite3.h>

#include <set>

namespace pellix::server {

namespace {

constexpr int32_t kAlice = 1;
constexpr int32_t kBob = 2;

struct AckedFrame {
    int32_t userID = 0;
    uint64_t messageID = 0;
    uint32_t reason = 0;
};

AckedFrame DecodeAck(const FrameCodec::Frame& frame) {
    CCommandStream body = BodyOf(frame);
    AckedFrame decoded;
    decoded.userID = body.ReadInt32();
    decoded.messageID = ReadMessageID(body);
    if (frame.header.subCmd == SUB_S_CHAT_REFUSED)
        decoded.reason = body.ReadUInt32();
    EXPECT_FALSE(body.IsTruncated());
    return decoded;
}

std::vector<AckedChatEntry> DecodeAckedOffline(const FrameCodec::Frame& frame) {
    CCommandStream body = BodyOf(frame);
    std::vector<AckedChatEntry> chats;
    body.ReadList(chats, ReadAckedChatEntry);
    EXPECT_FALSE(body.IsTruncated());
    return chats;
}

class AckedChatTest : public ServerOnEachStore {
protected:
    void SetUp() override {
        StartServer();
        AddAccount(kAlice);
        AddAccount(kBob);
        Befriend(kAlice, kBob);
    }
    // Logged on and answered the announcement taking acknowledged chats.
    TestPeer& LogOnAcked(int32_t userID) {
        TestPeer& peer = LogOn(userID);
        peer.AnswerExtensions(EXT_ACKED_CHAT);
        return peer;
    }
    // Everything the server wrote to the peer so far has arrived.
    static void Settle(TestPeer& peer) { ASSERT_TRUE(peer.Sync()); }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Stores, AckedChatTest, EachStore(), StoreKindName);

TEST_P(AckedChatTest, TheAnnouncementComesFirstAndOnlyAfterAnAcceptedLogOn) {
    TestPeer& refused = Connect();
    refused.LogOn(kAlice, "wrong", -1);
    ASSERT_TRUE(refused.WaitFor(SUB_S_LOGON_FAILED).has_value());
    Settle(refused);
    EXPECT_EQ(refused.Count(SUB_S_EXTENSIONS), 0u);

    TestPeer& peer = Connect();
    peer.LogOn(kAlice, Token(kAlice), -1);
    ASSERT_TRUE(peer.WaitFor(SUB_S_FRIEND_LIST).has_value());
    Settle(peer);
    TestPeer& again = Connect();
    again.LogOn(kBob, Token(kBob), -1);
    const std::optional<FrameCodec::Frame> first = again.WaitFor(SUB_S_EXTENSIONS);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->body, (std::vector<uint8_t>{1, 0, 0, 0}));
    ASSERT_FALSE(again.Frames().empty());
    EXPECT_EQ(again.Frames().front().header.subCmd, SUB_S_FRIEND_LIST) << "the list follows it";
}

TEST_P(AckedChatTest, AChatIsConfirmedOnceStoredAndDeliveredOnceHoweverOftenItIsResent) {
    TestPeer& alice = LogOnAcked(kAlice);
    TestPeer& bob = LogOnAcked(kBob);
    Settle(bob);
    alice.AckedChat(kBob, 5, "hello");
    std::optional<FrameCodec::Frame> ack = alice.WaitFor(SUB_S_CHAT_ACK);
    ASSERT_TRUE(ack.has_value());
    EXPECT_EQ(DecodeAck(*ack).userID, kBob);
    EXPECT_EQ(DecodeAck(*ack).messageID, 5u);
    const std::optional<FrameCodec::Frame> chat = bob.WaitFor(SUB_S_CHAT_MESSAGE_EX);
    ASSERT_TRUE(chat.has_value());
    AckedChatEntry entry;
    CCommandStream body = BodyOf(*chat);
    ReadAckedChatEntry(body, entry);
    EXPECT_EQ(entry.userID, kAlice);
    EXPECT_EQ(entry.messageID, 5u);
    EXPECT_EQ(entry.message, "hello");

    // Resent before and after Bob's receipt: confirmed each time, stored and delivered once.
    alice.AckedChat(kBob, 5, "hello");
    ASSERT_TRUE(alice.WaitFor(SUB_S_CHAT_ACK).has_value());
    EXPECT_EQ(Store().QueuedMessageCount(kBob), 1u);
    bob.Receipt(kAlice, 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Store().QueuedMessageCount(kBob) == 0; }, kWaitMs));
    alice.AckedChat(kBob, 5, "hello");
    ASSERT_TRUE(alice.WaitFor(SUB_S_CHAT_ACK).has_value());
    Settle(bob);
    EXPECT_EQ(bob.Count(SUB_S_CHAT_MESSAGE_EX), 0u);
    EXPECT_EQ(Store().QueuedMessageCount(kBob), 0u);
}

TEST_P(AckedChatTest, AChatWithoutReceiptComesAgainWithItsIdAfterAReconnectAndARestart) {
    TestPeer& alice = LogOnAcked(kAlice);
    alice.AckedChat(kBob, 9, "while away");
    ASSERT_TRUE(alice.WaitFor(SUB_S_CHAT_ACK).has_value());

    StartServer();
    for (int logOn = 0; logOn < 2; ++logOn) {
        TestPeer& bob = LogOnAcked(kBob);
        const std::optional<FrameCodec::Frame> batch = bob.WaitFor(SUB_S_OFFLINE_MESSAGES_EX);
        ASSERT_TRUE(batch.has_value()) << "log-on " << logOn;
        const std::vector<AckedChatEntry> chats = DecodeAckedOffline(*batch);
        ASSERT_EQ(chats.size(), 1u);
        EXPECT_EQ(chats[0].userID, kAlice);
        EXPECT_EQ(chats[0].messageID, 9u);
        EXPECT_EQ(chats[0].message, "while away");
        bob.Socket().abort();
    }
    TestPeer& bob = LogOnAcked(kBob);
    ASSERT_TRUE(bob.WaitFor(SUB_S_OFFLINE_MESSAGES_EX).has_value());
    bob.Receipt(kAlice, 9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Store().QueuedMessageCount(kBob) == 0; }, kWaitMs));
}

TEST_P(AckedChatTest, APeerThatTakesNoExtensionGetsAckedChatsAsPlainOnesAndNothingItDoesNotKnow) {
    TestPeer& alice = LogOnAcked(kAlice);
    alice.AckedChat(kBob, 1, "queued");
    ASSERT_TRUE(alice.WaitFor(SUB_S_CHAT_ACK).has_value());
    // Bob never answers the announcement: his messages wait a second for that, then come plain.
    TestPeer& bob = LogOn(kBob);
    const std::optional<FrameCodec::Frame> offline = bob.WaitFor(SUB_S_OFFLINE_MESSAGES);
    ASSERT_TRUE(offline.has_value());
    ASSERT_EQ(DecodeOffline(*offline).size(), 1u);
    EXPECT_EQ(DecodeOffline(*offline)[0].message, "queued");
    alice.AckedChat(kBob, 2, "live");
    const std::optional<FrameCodec::Frame> live = bob.WaitFor(SUB_S_CHAT_MESSAGE);
    ASSERT_TRUE(live.has_value());
    EXPECT_EQ(BodyOf(*live).ReadInt32(), kAlice);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Store().QueuedMessageCount(kBob) == 0; }, kWaitMs));
    Settle(bob);
    for (const FrameCodec::Frame& frame : bob.Frames())
        EXPECT_LE(frame.header.subCmd, SUB_S_EXTENSIONS) << frame.header.subCmd;
}

TEST_P(AckedChatTest, AChatThatCanNeverBeDeliveredIsRefusedWithItsReason) {
    ASSERT_TRUE(FriendRelations(Store()).Blacklist(kBob, kAlice));
    TestPeer& alice = LogOnAcked(kAlice);
    const struct {
        int32_t recipientID;
        uint32_t reason;
    } cases[] = {{kBob, CHAT_REFUSED_BY_RECIPIENT}, {4242, CHAT_REFUSED_NO_ACCOUNT}};
    uint64_t messageID = 100;
    for (const auto& refusal : cases) {
        alice.AckedChat(refusal.recipientID, ++messageID, "no");
        const std::optional<FrameCodec::Frame> frame = alice.WaitFor(SUB_S_CHAT_REFUSED);
        ASSERT_TRUE(frame.has_value()) << refusal.recipientID;
        EXPECT_EQ(DecodeAck(*frame).userID, refusal.recipientID);
        EXPECT_EQ(DecodeAck(*frame).messageID, messageID);
        EXPECT_EQ(DecodeAck(*frame).reason, refusal.reason);
    }
    EXPECT_EQ(alice.Count(SUB_S_CHAT_ACK), 0u);
    EXPECT_EQ(Store().QueuedMessageCount(kBob), 0u);
}

TEST(SqliteAckedChatStoreTest, AFileFromBeforeTheExtensionOpensWithItsQueuedMessagesKept) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("old.db")).toStdString();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE offline_messages (queue_id INTEGER PRIMARY KEY "
                           "AUTOINCREMENT, recipient_id INTEGER NOT NULL, sender_id INTEGER NOT "
                           "NULL, sent_at INTEGER NOT NULL, text TEXT NOT NULL);"
                           "INSERT INTO offline_messages (recipient_id, sender_id, sent_at, text) "
                           "VALUES (2, 1, 0, 'kept')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    SqliteAccountStore store(path);
    const std::optional<QueuedMessage> kept = store.NextQueuedMessage(2, 0);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->text, "kept");
    EXPECT_EQ(kept->messageID, 0u);
    QueuedMessage acked = *kept;
    acked.messageID = 77;
    EXPECT_TRUE(store.QueueAckedMessage(acked));
    EXPECT_FALSE(store.QueueAckedMessage(acked));
    SqliteAccountStore reopened(path);
    EXPECT_EQ(reopened.QueuedMessageCount(2), 2u);
}

} // namespace pellix::server
