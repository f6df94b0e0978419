#pragma once
// Where the friend server keeps accounts, relations, list versions and everything waiting for a
// user who was away. The server owns one store for its whole life; every change that touches
// several rows is all or nothing. A failing store throws std::runtime_error (or a subclass).

#include "Account.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace pellix::server {

struct RelationChange {
    int32_t ownerID = 0;
    int32_t otherID = 0;
    Relation relation = Relation::None;
};

// Accounts and friendships set up together (the server's --add-users): each account id and each
// pair of friends named once.
struct AccountBatch {
    std::vector<Account> accounts;
    std::vector<std::pair<int32_t, int32_t>> friendships;
};

class AccountStore {
public:
    // Delivered message ids remembered per sender, against resends after a lost receipt.
    static constexpr std::size_t kDeliveredIDsPerSender = 1000;

    virtual ~AccountStore() = default;

    virtual std::optional<Account> FindAccount(int32_t userID) = 0;
    // Inserts or replaces the account (a new one starts at list version newVersion, an existing
    // one keeps its version) and raises the list version of each user in bumpVersions by one.
    virtual void SaveAccount(const Account& account, int32_t newVersion,
                             const std::vector<int32_t>& bumpVersions) = 0;
    // 0 for an unknown user.
    virtual int32_t ListVersion(int32_t userID) = 0;

    virtual Relation GetRelation(int32_t ownerID, int32_t otherID) = 0;
    // In ascending id order.
    virtual std::vector<int32_t> FriendsOf(int32_t userID) = 0;
    // The accounts of those friends that have one, in the same order: what a log-on lists. A
    // store that can find them all at once says so.
    virtual std::vector<Account> FriendAccountsOf(int32_t userID) {
        std::vector<Account> accounts;
        for (const int32_t friendID : FriendsOf(userID)) {
            if (std::optional<Account> account = FindAccount(friendID))
                accounts.push_back(std::move(*account));
        }
        return accounts;
    }
    // Sets every relation (None removes it) and raises the list version of each user in
    // bumpVersions by one.
    virtual void ApplyRelations(const std::vector<RelationChange>& changes,
                                const std::vector<int32_t>& bumpVersions) = 0;

    // The whole batch in one transaction: creates or updates its accounts as SaveAccount does (a
    // new one at newVersion; the friends of one whose list entry changed each raised by one),
    // then makes each pair friends that are not yet (over any blacklist entry between them) and
    // raises by one the version of every user whose friend set changed. Returns false, and
    // nothing changes, when a friend list would end up longer than maxFriends.
    virtual bool SaveBatch(const AccountBatch& batch, int32_t newVersion,
                           std::size_t maxFriends) = 0;

    // Returns the new message's queue id; ids grow with every message.
    virtual int64_t QueueMessage(const QueuedMessage& message) = 0;
    // True when the store holds the sender's message id, still queued or among the sender's
    // recently delivered ones.
    virtual bool HoldsAckedMessage(int32_t senderID, uint64_t messageID) = 0;
    // Queues an acknowledged chat unless the store holds its sender's message id already, still
    // queued or among the sender's recently delivered ones; false then.
    virtual bool QueueAckedMessage(const QueuedMessage& message) = 0;
    // The recipient's client has stored the chat: it leaves the queue, and its id is kept among
    // the sender's delivered ones (the newest kDeliveredIDsPerSender).
    void ConfirmDelivery(int32_t recipientID, int32_t senderID, uint64_t messageID) {
        ConfirmDeliveries({DeliveryReceipt{recipientID, senderID, messageID}});
    }
    // The same for many, in one write.
    virtual void ConfirmDeliveries(const std::vector<DeliveryReceipt>& receipts) = 0;
    // The recipient's oldest message with a queue id above afterQueueID, if there is one.
    virtual std::optional<QueuedMessage> NextQueuedMessage(int32_t recipientID,
                                                           int64_t afterQueueID) = 0;
    virtual std::size_t QueuedMessageCount(int32_t recipientID) = 0;
    // Deletes the recipient's messages with a queue id up to and including lastQueueID; with
    // plainOnly, only those without a message id (acknowledged chats wait for their receipt).
    virtual void DeleteQueuedMessages(int32_t recipientID, int64_t lastQueueID, bool plainOnly) = 0;

    // Replaces a request of the same pair; the saved request counts as not delivered.
    virtual void SaveRequest(const PendingRequest& request) = 0;
    virtual std::optional<PendingRequest> FindRequest(int32_t requesterID, int32_t targetID) = 0;
    virtual std::vector<PendingRequest> UndeliveredRequestsFor(int32_t targetID) = 0;
    virtual void MarkRequestDelivered(int32_t requesterID, int32_t targetID) = 0;
    virtual void DeleteRequest(int32_t requesterID, int32_t targetID) = 0;
};

} // namespace pellix::server
