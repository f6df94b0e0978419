// What every store keeps and hands out, on each store: GBK text, list versions, relations, the
// offline queue with its acknowledged chats and delivered ids, and friend requests.

#include "TestStores.h"

#include "text/StringUtility.h"

#include <gtest/gtest.h>

using namespace pellix;
using namespace pellix::server;

namespace {

const std::string kChineseText = StringUtility::QStringToAnsi(QStringLiteral("你好，小明"));

class AccountStoreTest : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override {
        m_pPlace = std::make_unique<StorePlace>(GetParam());
        m_pStore = m_pPlace->Open();
    }

    QueuedMessage Message(int32_t senderID, uint64_t messageID, const std::string& text = "x") {
        QueuedMessage message;
        message.recipientID = 1;
        message.senderID = senderID;
        message.sentAt = 1700000000;
        message.text = text;
        message.messageID = messageID;
        return message;
    }

    std::unique_ptr<StorePlace> m_pPlace;
    std::unique_ptr<AccountStore> m_pStore;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Stores, AccountStoreTest, EachStore(), StoreKindName);

TEST_P(AccountStoreTest, AccountsKeepTheirFieldsAndVersionsRiseOncePerNaming) {
    Account account{1, "alice", kChineseText, -7, 255, "to,ken"};
    m_pStore->SaveAccount(account, 100, {});
    m_pStore->SaveAccount(Account{2, "bob", "", 0, 0, ""}, 200, {});
    account.nickName = "renamed";
    m_pStore->SaveAccount(account, 999, {2, 2, 3});

    const std::optional<Account> found = m_pStore->FindAccount(1);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->userName, "alice");
    EXPECT_EQ(found->nickName, "renamed");
    EXPECT_EQ(found->showID, -7);
    EXPECT_EQ(found->gender, 255);
    EXPECT_EQ(found->token, "to,ken");
    EXPECT_EQ(m_pStore->ListVersion(1), 100) << "an existing account keeps its version";
    EXPECT_EQ(m_pStore->ListVersion(2), 202);
    EXPECT_EQ(m_pStore->ListVersion(3), 0);
    EXPECT_FALSE(m_pStore->FindAccount(3).has_value());
    m_pStore->SaveAccount(Account{3, "carol", kChineseText, 0, 0, ""}, 1, {});
    EXPECT_EQ(m_pStore->FindAccount(3)->nickName, kChineseText);
}

TEST_P(AccountStoreTest, RelationsAreSetReplacedAndRemovedTogether) {
    m_pStore->ApplyRelations({{1, 3, Relation::Friend},
                              {1, 5, Relation::Friend},
                              {1, 2, Relation::Friend},
                              {1, 4, Relation::Blacklisted},
                              {2, 1, Relation::Blacklisted}},
                             {});
    EXPECT_EQ(m_pStore->FriendsOf(1), (std::vector<int32_t>{2, 3, 5}));
    EXPECT_EQ(m_pStore->GetRelation(2, 1), Relation::Blacklisted);
    for (const int32_t userID : {3, 4, 2})
        m_pStore->SaveAccount(Account{userID, "u", kChineseText, 0, 0, ""}, 1, {});
    std::vector<int32_t> listed;
    for (const Account& account : m_pStore->FriendAccountsOf(1))
        listed.push_back(account.nickName == kChineseText ? account.userID : -account.userID);
    EXPECT_EQ(listed, (std::vector<int32_t>{2, 3})) << "5 has no account, 4 is no friend";

    m_pStore->ApplyRelations({{1, 2, Relation::None}, {2, 1, Relation::Friend}}, {});
    EXPECT_EQ(m_pStore->FriendsOf(1), (std::vector<int32_t>{3, 5}));
    EXPECT_EQ(m_pStore->FriendsOf(2), (std::vector<int32_t>{1}));
    EXPECT_EQ(m_pStore->GetRelation(1, 2), Relation::None);
    EXPECT_EQ(m_pStore->GetRelation(1, 4), Relation::Blacklisted);
}

TEST_P(AccountStoreTest, TheQueueGoesOutInOrderAfterACursorAndIsDeletedUpToAnId) {
    const int64_t first = m_pStore->QueueMessage(Message(2, 0, kChineseText));
    ASSERT_TRUE(m_pStore->QueueAckedMessage(Message(3, 42)));
    const int64_t last = m_pStore->QueueMessage(Message(2, 0, "last"));
    EXPECT_GT(last, first);
    EXPECT_EQ(m_pStore->QueuedMessageCount(1), 3u);
    EXPECT_EQ(m_pStore->QueuedMessageCount(2), 0u);

    const std::optional<QueuedMessage> head = m_pStore->NextQueuedMessage(1, 0);
    ASSERT_TRUE(head.has_value());
    EXPECT_EQ(head->queueID, first);
    EXPECT_EQ(head->recipientID, 1);
    EXPECT_EQ(head->senderID, 2);
    EXPECT_EQ(head->sentAt, 1700000000);
    EXPECT_EQ(head->text, kChineseText);
    EXPECT_EQ(head->messageID, 0u);
    const std::optional<QueuedMessage> acked = m_pStore->NextQueuedMessage(1, first);
    ASSERT_TRUE(acked.has_value());
    EXPECT_EQ(acked->messageID, 42u);
    EXPECT_FALSE(m_pStore->NextQueuedMessage(1, last).has_value());

    // The acknowledged chat waits for its receipt.
    m_pStore->DeleteQueuedMessages(1, last, true);
    EXPECT_EQ(m_pStore->QueuedMessageCount(1), 1u);
    m_pStore->DeleteQueuedMessages(1, last, false);
    EXPECT_EQ(m_pStore->QueuedMessageCount(1), 0u);
    EXPECT_GT(m_pStore->QueueMessage(Message(2, 0)), last) << "ids never go back";
}

TEST_P(AccountStoreTest, AnAckedChatIsHeldOncePerSenderAndTheNewestDeliveredIdsAreKept) {
    EXPECT_TRUE(m_pStore->QueueAckedMessage(Message(2, 5)));
    EXPECT_FALSE(m_pStore->QueueAckedMessage(Message(2, 5))) << "still queued";
    EXPECT_TRUE(m_pStore->QueueAckedMessage(Message(3, 5))) << "another sender's id";
    m_pStore->ConfirmDelivery(1, 2, 5);
    EXPECT_EQ(m_pStore->QueuedMessageCount(1), 1u);
    EXPECT_TRUE(m_pStore->HoldsAckedMessage(2, 5));
    EXPECT_FALSE(m_pStore->QueueAckedMessage(Message(2, 5))) << "delivered";
    EXPECT_TRUE(m_pStore->HoldsAckedMessage(3, 5));
    EXPECT_FALSE(m_pStore->HoldsAckedMessage(2, 6));

    // One write of more receipts than are kept: only the newest ids stay, for that sender only.
    const uint64_t oldest = 100;
    const uint64_t newest = oldest + AccountStore::kDeliveredIDsPerSender;
    std::vector<DeliveryReceipt> receipts;
    for (uint64_t id = oldest; id <= newest; ++id)
        receipts.push_back({1, 2, id});
    m_pStore->ConfirmDeliveries(receipts);
    EXPECT_FALSE(m_pStore->HoldsAckedMessage(2, 5));
    EXPECT_FALSE(m_pStore->HoldsAckedMessage(2, oldest));
    EXPECT_TRUE(m_pStore->HoldsAckedMessage(2, oldest + 1));
    EXPECT_TRUE(m_pStore->HoldsAckedMessage(2, newest));
    EXPECT_TRUE(m_pStore->HoldsAckedMessage(3, 5)) << "still queued for its recipient";
    // A late receipt older than every kept id is not kept either.
    m_pStore->ConfirmDelivery(1, 2, 50);
    EXPECT_FALSE(m_pStore->HoldsAckedMessage(2, 50));
    EXPECT_TRUE(m_pStore->HoldsAckedMessage(2, oldest + 1));
}

TEST_P(AccountStoreTest, ARequestSavedAgainIsUndeliveredAgainAndRequestsComeByRequester) {
    m_pStore->SaveRequest({3, 1, "hi", true});
    m_pStore->SaveRequest({2, 1, kChineseText, false});
    m_pStore->MarkRequestDelivered(2, 1);
    std::vector<PendingRequest> waiting = m_pStore->UndeliveredRequestsFor(1);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].requesterID, 3);
    EXPECT_FALSE(waiting[0].delivered) << "a saved request counts as not delivered";
    const std::optional<PendingRequest> delivered = m_pStore->FindRequest(2, 1);
    ASSERT_TRUE(delivered.has_value());
    EXPECT_TRUE(delivered->delivered);
    EXPECT_EQ(delivered->text, kChineseText);

    m_pStore->SaveRequest({2, 1, "again", true});
    waiting = m_pStore->UndeliveredRequestsFor(1);
    ASSERT_EQ(waiting.size(), 2u);
    EXPECT_EQ(waiting[0].requesterID, 2);
    EXPECT_EQ(waiting[0].text, "again");
    m_pStore->DeleteRequest(3, 1);
    EXPECT_FALSE(m_pStore->FindRequest(3, 1).has_value());
    EXPECT_EQ(m_pStore->UndeliveredRequestsFor(1).size(), 1u);
}
