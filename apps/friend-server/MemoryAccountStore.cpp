#include "MemoryAccountStore.h"

#include <set>

namespace pellix::server {

std::optional<Account> MemoryAccountStore::FindAccount(int32_t userID) {
    const auto found = m_Accounts.find(userID);
    if (found == m_Accounts.end())
        return std::nullopt;
    return found->second.account;
}

void MemoryAccountStore::SaveAccount(const Account& account, int32_t newVersion,
                                     const std::vector<int32_t>& bumpVersions) {
    const auto [it, inserted] = m_Accounts.try_emplace(account.userID);
    it->second.account = account;
    if (inserted)
        it->second.listVersion = newVersion;
    BumpVersions(bumpVersions);
}

int32_t MemoryAccountStore::ListVersion(int32_t userID) {
    const auto found = m_Accounts.find(userID);
    return found == m_Accounts.end() ? 0 : found->second.listVersion;
}

Relation MemoryAccountStore::GetRelation(int32_t ownerID, int32_t otherID) {
    const auto found = m_Relations.find({ownerID, otherID});
    return found == m_Relations.end() ? Relation::None : found->second;
}

std::vector<int32_t> MemoryAccountStore::FriendsOf(int32_t userID) {
    std::vector<int32_t> friends;
    for (auto it = m_Relations.lower_bound({userID, INT32_MIN});
         it != m_Relations.end() && it->first.first == userID; ++it) {
        if (it->second == Relation::Friend)
            friends.push_back(it->first.second);
    }
    return friends;
}

void MemoryAccountStore::ApplyRelations(const std::vector<RelationChange>& changes,
                                        const std::vector<int32_t>& bumpVersions) {
    for (const RelationChange& change : changes) {
        if (change.relation == Relation::None)
            m_Relations.erase({change.ownerID, change.otherID});
        else
            m_Relations[{change.ownerID, change.otherID}] = change.relation;
    }
    BumpVersions(bumpVersions);
}

bool MemoryAccountStore::SaveBatch(const AccountBatch& batch, int32_t newVersion,
                                   std::size_t maxFriends) {
    // Checked before anything changes: a refused batch leaves the store as it was.
    std::map<int32_t, std::size_t> newFriends;
    for (const auto& [userID, otherID] : batch.friendships) {
        if (GetRelation(userID, otherID) != Relation::Friend)
            ++newFriends[userID];
        if (GetRelation(otherID, userID) != Relation::Friend)
            ++newFriends[otherID];
    }
    for (const auto& [userID, added] : newFriends) {
        if (FriendsOf(userID).size() + added > maxFriends)
            return false;
    }
    std::set<int32_t> bumps;
    for (const Account& account : batch.accounts) {
        const std::optional<Account> previous = FindAccount(account.userID);
        if (previous && !previous->SameListEntry(account)) {
            for (const int32_t friendID : FriendsOf(account.userID))
                bumps.insert(friendID);
        }
        SaveAccount(account, newVersion, {});
    }
    for (const auto& [userID, added] : newFriends)
        bumps.insert(userID);
    for (const auto& [userID, otherID] : batch.friendships) {
        m_Relations[{userID, otherID}] = Relation::Friend;
        m_Relations[{otherID, userID}] = Relation::Friend;
    }
    BumpVersions({bumps.begin(), bumps.end()});
    return true;
}

int64_t MemoryAccountStore::QueueMessage(const QueuedMessage& message) {
    QueuedMessage stored = message;
    stored.queueID = ++m_nLastQueueID;
    m_Queues[stored.recipientID][stored.queueID] = stored;
    return stored.queueID;
}

bool MemoryAccountStore::HoldsAckedMessage(int32_t senderID, uint64_t messageID) {
    if (m_Delivered[senderID].contains(messageID))
        return true;
    for (const auto& [recipientID, queue] : m_Queues) {
        for (const auto& [queueID, queued] : queue) {
            if (queued.senderID == senderID && queued.messageID == messageID)
                return true;
        }
    }
    return false;
}

bool MemoryAccountStore::QueueAckedMessage(const QueuedMessage& message) {
    if (HoldsAckedMessage(message.senderID, message.messageID))
        return false;
    QueueMessage(message);
    return true;
}

void MemoryAccountStore::ConfirmDeliveries(const std::vector<DeliveryReceipt>& receipts) {
    for (const DeliveryReceipt& receipt : receipts) {
        const auto queue = m_Queues.find(receipt.recipientID);
        if (queue != m_Queues.end()) {
            std::erase_if(queue->second, [&](const auto& entry) {
                return entry.second.senderID == receipt.senderID &&
                       entry.second.messageID == receipt.messageID;
            });
            if (queue->second.empty())
                m_Queues.erase(queue);
        }
        std::set<uint64_t>& delivered = m_Delivered[receipt.senderID];
        delivered.insert(receipt.messageID);
        while (delivered.size() > kDeliveredIDsPerSender)
            delivered.erase(delivered.begin());
    }
}

std::optional<QueuedMessage> MemoryAccountStore::NextQueuedMessage(int32_t recipientID,
                                                                   int64_t afterQueueID) {
    const auto queue = m_Queues.find(recipientID);
    if (queue == m_Queues.end())
        return std::nullopt;
    const auto next = queue->second.upper_bound(afterQueueID);
    if (next == queue->second.end())
        return std::nullopt;
    return next->second;
}

std::size_t MemoryAccountStore::QueuedMessageCount(int32_t recipientID) {
    const auto queue = m_Queues.find(recipientID);
    return queue == m_Queues.end() ? 0 : queue->second.size();
}

void MemoryAccountStore::DeleteQueuedMessages(int32_t recipientID, int64_t lastQueueID,
                                              bool plainOnly) {
    const auto queue = m_Queues.find(recipientID);
    if (queue == m_Queues.end())
        return;
    std::erase_if(queue->second, [&](const auto& entry) {
        return entry.first <= lastQueueID && (!plainOnly || entry.second.messageID == 0);
    });
    if (queue->second.empty())
        m_Queues.erase(queue);
}

void MemoryAccountStore::SaveRequest(const PendingRequest& request) {
    PendingRequest stored = request;
    stored.delivered = false;
    m_Requests[{request.requesterID, request.targetID}] = stored;
}

std::optional<PendingRequest> MemoryAccountStore::FindRequest(int32_t requesterID,
                                                              int32_t targetID) {
    const auto found = m_Requests.find({requesterID, targetID});
    if (found == m_Requests.end())
        return std::nullopt;
    return found->second;
}

std::vector<PendingRequest> MemoryAccountStore::UndeliveredRequestsFor(int32_t targetID) {
    std::vector<PendingRequest> requests;
    for (const auto& [key, request] : m_Requests) {
        if (request.targetID == targetID && !request.delivered)
            requests.push_back(request);
    }
    return requests;
}

void MemoryAccountStore::MarkRequestDelivered(int32_t requesterID, int32_t targetID) {
    const auto found = m_Requests.find({requesterID, targetID});
    if (found != m_Requests.end())
        found->second.delivered = true;
}

void MemoryAccountStore::DeleteRequest(int32_t requesterID, int32_t targetID) {
    m_Requests.erase({requesterID, targetID});
}

void MemoryAccountStore::BumpVersions(const std::vector<int32_t>& userIDs) {
    for (const int32_t userID : userIDs) {
        const auto found = m_Accounts.find(userID);
        if (found != m_Accounts.end())
            ++found->second.listVersion;
    }
}

} // namespace pellix::server
