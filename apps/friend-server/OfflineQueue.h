#pragma once
// Chat messages for users who are away: kept in the account store, and handed over at log-on in
// batches that each fit one SUB_S_OFFLINE_MESSAGES body. A batch leaves the store only once it
// has been written to the recipient's socket; the next batch follows then. Owned by the
// command handler.

#include "AccountStore.h"

#include <cstdint>
#include <string>
#include <unordered_set>

class ClientSession;

class OfflineQueue {
public:
    // Past this many waiting messages a recipient's queue takes no more.
    static constexpr std::size_t kMaxQueuedPerRecipient = 1000;

    explicit OfflineQueue(AccountStore& store) : m_Store(store) {}

    // False when the recipient's queue is full and the message was not kept.
    bool Queue(int32_t senderID, int32_t recipientID, const std::string& text);
    // Sends the session's user everything waiting, batch after batch.
    void StartDelivery(ClientSession& session);
    // While a delivery runs, new messages for that session go to the queue behind it, so that
    // the order of arrival is kept.
    bool IsDelivering(const ClientSession& session) const {
        return m_Delivering.contains(&session);
    }

private:
    void SendNextBatch(ClientSession& session);

    AccountStore& m_Store;
    std::unordered_set<const ClientSession*> m_Delivering;
};
