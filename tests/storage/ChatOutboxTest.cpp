// The delivery file: the outbox and the ids of chats shown survive a new run, what was not saved
// yet is as if it never happened, ids keep growing whatever the clock does, the remembered ids stay
// bounded, and a file that is no database loses nothing during the run.

#include "storage/ChatOutbox.h"
#include "StorageTestSupport.h"
#include "storage/ProfilePaths.h"

#include <QDir>

namespace pellix {

namespace {

class ChatOutbox : public StorageTest {
protected:
    std::string DeliveryFile() const { return WorkPath("Profile/501/delivery.data"); }
    // A clock the test sets, in milliseconds.
    CChatOutbox Opened() {
        CChatOutbox outbox([this] { return m_nNow; });
        QDir().mkpath(QString::fromStdString(WorkPath("Profile/501")));
        EXPECT_TRUE(outbox.Open(DeliveryFile()));
        return outbox;
    }
    int64_t m_nNow = 1'000'000;
};

} // namespace

TEST_F(ChatOutbox, KeptChatsAndTheirIdsSurviveANewRunEvenWhenTheClockGoesBack) {
    uint64_t lastID = 0;
    {
        CChatOutbox outbox = Opened();
        const uint64_t first = outbox.Add(602, 10, "a").messageID;
        outbox.Add(603, 11, "b");
        lastID = outbox.Add(602, 12, "c").messageID;
        EXPECT_EQ(first, static_cast<uint64_t>(m_nNow) << 16);
        EXPECT_TRUE(outbox.Remove(first));
        EXPECT_FALSE(outbox.Remove(first));
        EXPECT_TRUE(outbox.SaveChanges());
        // A run that ends before its next save (a crash) still has "c" and never saw 77.
        EXPECT_TRUE(outbox.Remove(lastID));
        outbox.RememberReceived(602, 77);
    }
    m_nNow -= 60'000;
    CChatOutbox outbox = Opened();
    const std::vector<OutboxMessage> pending = outbox.Pending();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].text, "b");
    EXPECT_EQ(pending[1].text, "c");
    EXPECT_EQ(pending[1].friendID, 602);
    EXPECT_EQ(pending[1].queuedAt, 12);
    EXPECT_EQ(outbox.PendingFor(602).size(), 1u);
    EXPECT_FALSE(outbox.WasReceived(602, 77));
    EXPECT_GT(outbox.Add(602, 13, "d").messageID, lastID);
}

TEST_F(ChatOutbox, ShownIdsAreRememberedAcrossRunsAndTheOldestForgottenPastTheBound) {
    {
        CChatOutbox outbox = Opened();
        for (uint64_t id = 1; id <= CChatOutbox::kReceivedIDsPerFriend + 1; ++id)
            outbox.RememberReceived(602, id);
        outbox.RememberReceived(603, 1);
        EXPECT_TRUE(outbox.SaveChanges());
    }
    CChatOutbox outbox = Opened();
    EXPECT_FALSE(outbox.WasReceived(602, 1));
    EXPECT_TRUE(outbox.WasReceived(602, 2));
    EXPECT_TRUE(outbox.WasReceived(602, CChatOutbox::kReceivedIDsPerFriend + 1));
    EXPECT_TRUE(outbox.WasReceived(603, 1));
    EXPECT_FALSE(outbox.WasReceived(604, 1));
    EXPECT_EQ(RawRows(DeliveryFile(), "SELECT COUNT(*) FROM received WHERE friend_id = 602"),
              std::vector<std::string>{"1000"});
}

TEST_F(ChatOutbox, AFileThatIsNoDatabaseIsReportedOnceAndTheRunKeepsEverythingInMemory) {
    QDir().mkpath(QString::fromStdString(WorkPath("Profile/501")));
    WriteFile(DeliveryFile(), std::string(4096, 'x'));
    CChatOutbox outbox;
    EXPECT_FALSE(outbox.Open(DeliveryFile()));
    const uint64_t id = outbox.Add(602, 1, "kept").messageID;
    outbox.RememberReceived(602, 5);
    EXPECT_EQ(outbox.Pending().size(), 1u);
    EXPECT_TRUE(outbox.WasReceived(602, 5));
    EXPECT_TRUE(outbox.Remove(id));
    EXPECT_FALSE(outbox.SaveChanges());
    EXPECT_TRUE(outbox.WasReceived(602, 5));
    EXPECT_EQ(m_notices.notices.size(), 1u);
}

} // namespace pellix
