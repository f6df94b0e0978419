#pragma once
// Chat messages for users who are away: kept in the account store, and handed over after log-on
// in batches that each fit one body. A plain batch (SUB_S_OFFLINE_MESSAGES) leaves the store once
// it has been written to the recipient's socket; a client that takes acknowledged chats gets
// those in SUB_S_OFFLINE_MESSAGES_EX batches, which stay until it sends its receipts. The next
// batch follows once one is written. Each stored message is
// read once per delivery: a cursor remembers where reading stopped, and a message that did not
// fit one batch opens the next. Owned by the command handler.

#include "AccountStore.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pellix::server {

class ClientSession;

class OfflineQueue {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Past this many waiting messages a recipient's queue takes no more.
    static constexpr std::size_t kMaxQueuedPerRecipient = 1000;
    // Messages turned away from a full queue are counted and logged at most this often per user.
    static constexpr std::chrono::minutes kDropReportInterval{1};

    // The clock only paces the log of turned-away messages.
    explicit OfflineQueue(AccountStore& store, Clock clock = &std::chrono::steady_clock::now)
        : m_Store(store), m_Clock(std::move(clock)) {}

    // False when the recipient's queue is full and the message was not kept.
    bool Queue(int32_t senderID, int32_t recipientID, const std::string& text);
    enum class AckedQueueing { Queued, AlreadyHeld, Full };
    // An acknowledged chat, kept until the recipient's receipt; one its sender's id names already
    // is kept once.
    AckedQueueing QueueAcked(int32_t senderID, int32_t recipientID, uint64_t messageID,
                             const std::string& text);
    // At log-on: the delivery waits until StartDelivery (the client first says whether it takes
    // acknowledged chats); chats meanwhile queue behind it.
    void Hold(ClientSession& session);
    // Sends the session's user everything waiting, batch after batch, unless a batch is on its
    // way already.
    void StartDelivery(ClientSession& session);
    // While a delivery runs, new messages for that session go to the queue behind it, so that
    // the order of arrival is kept.
    bool IsDelivering(const ClientSession& session) const {
        return m_Deliveries.contains(&session);
    }
    void OnSessionClosed(const ClientSession& session) { m_Deliveries.erase(&session); }

private:
    // One session's delivery, alive while a batch is on its way to it.
    struct Delivery {
        int32_t userID = 0;
        // The last queue id read; reading goes on after it.
        int64_t cursor = 0;
        // Read but left out of the last batch for want of room: it opens the next one.
        std::optional<QueuedMessage> carried;
        // Waiting for StartDelivery; no batch is on its way.
        bool held = false;
    };
    struct DropCount {
        std::optional<std::chrono::steady_clock::time_point> reportedAt;
        std::size_t unreported = 0;
    };

    void SendNextBatch(ClientSession& session);
    // Reads messages of one kind into a batch until one of another kind, or one that does not
    // fit, is carried to the next; returns the last queue id taken.
    template <typename Entry, typename MakeEntry>
    int64_t CollectBatch(Delivery& delivery, bool acked, std::vector<Entry>& batch,
                         MakeEntry makeEntry);
    // deleteUpTo: the messages up to that queue id leave the store (0: none), only the plain
    // ones with plainOnly.
    void OnBatchWritten(ClientSession& session, int32_t userID, int64_t deleteUpTo, bool plainOnly);
    std::optional<QueuedMessage> NextMessage(Delivery& delivery);
    void CountDrop(int32_t recipientID);
    // Logs what was counted for the user when the last report is old enough (or there was none).
    void ReportDrops(int32_t recipientID);

    AccountStore& m_Store;
    Clock m_Clock;
    std::unordered_map<const ClientSession*, Delivery> m_Deliveries;
    std::unordered_map<int32_t, DropCount> m_Drops;
};

} // namespace pellix::server
