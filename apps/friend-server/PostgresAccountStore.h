#pragma once
// The AccountStore of servers that share one PostgreSQL database: one libpq connection kept for
// the store's life, reopened when lost between statements. Text is stored as UTF-8 and handed
// out as GBK, as in the SQLite store.

#include "AccountStore.h"

#include "PostgresConnection.h"

#include <string>

namespace pellix::server {

class PostgresAccountStore : public AccountStore {
public:
    // Connects to the database at a libpq URI and creates or migrates its tables; throws
    // PostgresError on failure.
    explicit PostgresAccountStore(const std::string& uri);

    std::optional<Account> FindAccount(int32_t userID) override;
    void SaveAccount(const Account& account, int32_t newVersion,
                     const std::vector<int32_t>& bumpVersions) override;
    int32_t ListVersion(int32_t userID) override;

    Relation GetRelation(int32_t ownerID, int32_t otherID) override;
    std::vector<int32_t> FriendsOf(int32_t userID) override;
    std::vector<Account> FriendAccountsOf(int32_t userID) override;
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
    void PrepareStatements();
    void BumpVersions(const std::vector<int32_t>& userIDs);

    PostgresConnection m_Connection;
};

} // namespace pellix::server
