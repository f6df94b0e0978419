#pragma once
// The AccountStore the server binary uses: one SQLite file opened through the data-access
// library, kept open for the server's life. Text is stored as UTF-8 and handed out as GBK.

#include "AccountStore.h"

#include "data/Session.h"

#include <string>

namespace pellix::server {

class SqliteAccountStore : public AccountStore {
public:
    // Opens or creates the file (UTF-8 path) and its tables; throws DataException on failure.
    explicit SqliteAccountStore(const std::string& path);

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
    void CreateTables();
    void FillBatchTables(const AccountBatch& batch);
    void BumpVersions(const std::vector<int32_t>& userIDs);

    QxDataModule::Session m_Session;
};

} // namespace pellix::server
