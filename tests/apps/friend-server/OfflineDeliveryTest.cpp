// Handing over the offline queue: what the server reads for it, a connection that changes user
// while it runs, and how turned-away messages are logged.

#include "ServerFixture.h"

#include "MemoryAccountStore.h"
#include "OfflineQueue.h"
#include "SqliteAccountStore.h"

#include <QtGlobal>

#include <chrono>
#include <map>

using namespace pellix;
using namespace pellix::server;

namespace {

// Counts how often each queued message is read.
class ReadCountingStore final : public SqliteAccountStore {
public:
    using SqliteAccountStore::SqliteAccountStore;

    std::optional<QueuedMessage> NextQueuedMessage(int32_t recipientID,
                                                   int64_t afterQueueID) override {
        std::optional<QueuedMessage> message =
            SqliteAccountStore::NextQueuedMessage(recipientID, afterQueueID);
        if (message)
            ++reads[message->queueID];
        return message;
    }

    std::map<int64_t, int> reads;
};

class OfflineDeliveryTest : public ServerFixture {
protected:
    std::unique_ptr<AccountStore> OpenStore(const StorePlace& place) override {
        auto store = std::make_unique<ReadCountingStore>(place.Location());
        m_pCounting = store.get();
        return store;
    }

    void SetUp() override {
        StartServer();
        for (const int32_t userID : {1, 2, 3})
            AddAccount(userID);
    }

    // Puts texts into the queue of an offline user through a chat from user 1.
    void QueueFor(int32_t recipientID, const std::vector<std::string>& texts) {
        TestPeer& sender = LogOn(1);
        for (const std::string& text : texts)
            sender.Chat(recipientID, text);
        ASSERT_TRUE(sender.Sync());
        ASSERT_EQ(Store().QueuedMessageCount(recipientID), texts.size());
    }

    ReadCountingStore* m_pCounting = nullptr;
};

std::vector<std::string> OfflineTexts(const TestPeer& peer) {
    std::vector<std::string> texts;
    for (const FrameCodec::Frame& frame : peer.Frames()) {
        if (frame.header.subCmd != SUB_S_OFFLINE_MESSAGES)
            continue;
        for (const OfflineMessageEntry& entry : DecodeOffline(frame))
            texts.push_back(entry.message);
    }
    return texts;
}

// Collects the warnings logged while it lives.
class WarningLog {
public:
    WarningLog() : m_Previous(qInstallMessageHandler(&Record)) { s_pCurrent = this; }
    ~WarningLog() {
        qInstallMessageHandler(m_Previous);
        s_pCurrent = nullptr;
    }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;

    std::vector<QString> lines;

private:
    static void Record(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtWarningMsg && s_pCurrent != nullptr)
            s_pCurrent->lines.push_back(message);
    }

    static inline WarningLog* s_pCurrent = nullptr;
    QtMessageHandler m_Previous;
};

} // namespace

TEST_F(OfflineDeliveryTest, EachQueuedMessageIsReadOnceHoweverManyBodiesTheQueueTakes) {
    // Two of these fit one body: the queue goes out in five, each built from what it sends.
    std::vector<std::string> texts;
    for (char letter = 'a'; letter <= 'j'; ++letter)
        texts.push_back(std::string(30000, letter));
    QueueFor(2, texts);

    TestPeer& two = LogOn(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return OfflineTexts(two).size() == texts.size(); }, kWaitMs));
    EXPECT_EQ(OfflineTexts(two), texts);
    EXPECT_EQ(two.Count(SUB_S_OFFLINE_MESSAGES), 5u);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Store().QueuedMessageCount(2) == 0; }, kWaitMs));
    ASSERT_EQ(m_pCounting->reads.size(), texts.size());
    for (const auto& [queueID, reads] : m_pCounting->reads)
        EXPECT_EQ(reads, 1) << "queue id " << queueID;
}

TEST_F(OfflineDeliveryTest, ALogOnAsAnotherUserWhileTheQueueIsHandedOverGetsThatUsersQueue) {
    // One of these fills a body: user 2's queue is still being handed over when user 3 logs on.
    const std::vector<std::string> forTwo(3, std::string(40000, 'x'));
    QueueFor(2, forTwo);
    QueueFor(3, {"three, first", "three, second"});

    // Both log-ons in one write, with user 2's first command (taking no extension) between them,
    // which starts its delivery: the second log-on arrives while the first batch is on its way.
    TestPeer& peer = Connect();
    CCommandStream first;
    first.WriteInt32(2);
    first.WriteString(Token(2));
    first.WriteInt32(-1);
    CCommandStream second;
    second.WriteInt32(3);
    second.WriteString(Token(3));
    second.WriteInt32(-1);
    CCommandStream noExtensions;
    noExtensions.WriteUInt32(0);
    peer.SendRaw(
        FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, first.SendBuffer(), first.SendSize()) +
        FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_EXTENSIONS, noExtensions.SendBuffer(),
                                noExtensions.SendSize()) +
        FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, second.SendBuffer(), second.SendSize()));

    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<std::string> texts = OfflineTexts(peer);
            return !texts.empty() && texts.back() == "three, second";
        },
        kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Store().QueuedMessageCount(3) == 0; }, kWaitMs));
    // What user 2 did not get before the change stays queued for user 2.
    std::size_t receivedByTwo = 0;
    for (const std::string& text : OfflineTexts(peer))
        receivedByTwo += text == forTwo[0] ? 1 : 0;
    EXPECT_GE(receivedByTwo, 1u);
    EXPECT_EQ(receivedByTwo + Store().QueuedMessageCount(2), forTwo.size());
}

TEST(OfflineQueueLogTest, TurnedAwayMessagesAreLoggedOncePerUserAMinuteWithTheirCount) {
    MemoryAccountStore store;
    std::chrono::steady_clock::time_point now{};
    OfflineQueue queue(store, [&now] { return now; });
    for (std::size_t i = 0; i < OfflineQueue::kMaxQueuedPerRecipient; ++i) {
        ASSERT_TRUE(queue.Queue(1, 2, "for two"));
        ASSERT_TRUE(queue.Queue(1, 3, "for three"));
    }

    WarningLog log;
    EXPECT_FALSE(queue.Queue(1, 2, "turned away"));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0],
              QStringLiteral("offline queue of user 2 is full: 1 message(s) not kept"));

    for (int i = 0; i < 98; ++i) {
        now += std::chrono::milliseconds(600);
        EXPECT_FALSE(queue.Queue(1, 2, "turned away"));
    }
    EXPECT_EQ(log.lines.size(), 1u) << "within the minute";
    // Another user's full queue is reported on its own.
    EXPECT_FALSE(queue.Queue(1, 3, "turned away"));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_TRUE(log.lines[1].contains(QStringLiteral("user 3")));

    now += std::chrono::milliseconds(1200);
    EXPECT_FALSE(queue.Queue(1, 2, "turned away"));
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[2],
              QStringLiteral("offline queue of user 2 is full: 99 message(s) not kept"));
    EXPECT_EQ(store.QueuedMessageCount(2), OfflineQueue::kMaxQueuedPerRecipient);
}
