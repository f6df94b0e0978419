#pragma once
// An AccountStore held in memory only: measures and fuzzes the server without a disk underneath.

#include "AccountStore.h"

#include <map>
#include <set>
#include <utility>

namespace pellix::server {

class MemoryAccountStore final : public AccountStore {
public:
    std::optional<Account> FindAccount(int32_t userID) override;
    void SaveAccount(const Account& account, int32_t newVersion,
                     const std::vector<int32_t>& bumpVersions) override;
    int32_t ListVersion(int32_t userID) override;

    Relation GetRelation(int32_t ownerID, int32_t otherID) override;
    std::vector<int32_t> FriendsOf(int32_t userID) override;
    void ApplyRelations(const std::vector<RelationChange>& changes,
                        const std::vector<int32_t>& bumpVersions) override;
    bool SaveBatch(const AccountBatch& batch, int32_t newVersion, std::size_t maxFriends) override;

    int64_t QueueMessage(const QueuedMessage& message) override;
    bool HoldsAckedMessage(int32_t senderID, uint64_t messageID) override;
    bool QueueAckedMessage(const QueuedMessage& message) override;
    void ConfirmDeliveries(const std::vector<DeliveryReceipt>& receipts) override;
    std::optional<QueuedMessage> NextQueuedMessage(int32_t recipientID,
                                                   int64_t afterQueueID) override;
    std::size_t QueuedMessageCount(int32_t recipientID) override;
    void DeleteQueuedMessages(int32_t recipientID, int64_t lastQueueID, bool plainOnly) override;

    void SaveRequest(const PendingRequest& request) override;
    std::optional<PendingRequest> FindRequest(int32_t requesterID, int32_t targetID) override;
    std::vector<PendingRequest> UndeliveredRequestsFor(int32_t targetID) override;
    void MarkRequestDelivered(int32_t requesterID, int32_t targetID) override;
    void DeleteRequest(int32_t requesterID, int32_t targetID) override;

private:
    void BumpVersions(const std::vector<int32_t>& userIDs);

    struct StoredAccount {
        Account account;
        int32_t listVersion = 1;
    };
    std::map<int32_t, StoredAccount> m_Accounts;
    std::map<std::pair<int32_t, int32_t>, Relation> m_Relations;
    // By recipient, then by queue id.
    std::map<int32_t, std::map<int64_t, QueuedMessage>> m_Queues;
    int64_t m_nLastQueueID = 0;
    std::map<int32_t, std::set<uint64_t>> m_Delivered;
    std::map<std::pair<int32_t, int32_t>, PendingRequest> m_Requests;
};

} // namespace pellix::server
