#include "OfflineQueue.h"

#include "ClientSession.h"
#include "ServerBodies.h"
#include "records/FriendCommands.h"

#include <QDateTime>
#include <QtGlobal>

#include <exception>
#include <type_traits>

namespace pellix::server {

bool OfflineQueue::Queue(int32_t senderID, int32_t recipientID, const std::string& text) {
    if (m_Store.QueuedMessageCount(recipientID) >= kMaxQueuedPerRecipient) {
        CountDrop(recipientID);
        return false;
    }
    QueuedMessage message;
    message.recipientID = recipientID;
    message.senderID = senderID;
    message.sentAt = QDateTime::currentSecsSinceEpoch();
    message.text = ServerBodies::FitGbk(text, ServerBodies::kMaxOfflineText);
    m_Store.QueueMessage(message);
    return true;
}

OfflineQueue::AckedQueueing OfflineQueue::QueueAcked(int32_t senderID, int32_t recipientID,
                                                     uint64_t messageID, const std::string& text) {
    if (m_Store.QueuedMessageCount(recipientID) >= kMaxQueuedPerRecipient) {
        CountDrop(recipientID);
        return AckedQueueing::Full;
    }
    QueuedMessage message;
    message.recipientID = recipientID;
    message.senderID = senderID;
    message.sentAt = QDateTime::currentSecsSinceEpoch();
    message.text = text;
    message.messageID = messageID;
    return m_Store.QueueAckedMessage(message) ? AckedQueueing::Queued : AckedQueueing::AlreadyHeld;
}

void OfflineQueue::Hold(ClientSession& session) {
    ReportDrops(session.UserID());
    const auto [found, added] = m_Deliveries.try_emplace(&session);
    if (!added) {
        // A batch sent before this log-on may be on its way; once it is written, delivery goes
        // on with the queue of the user logged on now.
        if (found->second.userID != session.UserID()) {
            const bool held = found->second.held;
            found->second = Delivery();
            found->second.userID = session.UserID();
            found->second.held = held;
        }
        return;
    }
    found->second.userID = session.UserID();
    found->second.held = true;
}

void OfflineQueue::StartDelivery(ClientSession& session) {
    const auto [found, added] = m_Deliveries.try_emplace(&session);
    if (added)
        found->second.userID = session.UserID();
    else if (!found->second.held)
        return;
    found->second.held = false;
    try {
        SendNextBatch(session);
    } catch (...) {
        // Without a batch on its way nothing would end the delivery: messages would queue
        // behind it for as long as the session lasts.
        m_Deliveries.erase(&session);
        throw;
    }
}

std::optional<QueuedMessage> OfflineQueue::NextMessage(Delivery& delivery) {
    if (delivery.carried) {
        std::optional<QueuedMessage> message = std::move(delivery.carried);
        delivery.carried.reset();
        return message;
    }
    std::optional<QueuedMessage> message =
        m_Store.NextQueuedMessage(delivery.userID, delivery.cursor);
    if (message)
        delivery.cursor = message->queueID;
    return message;
}

template <typename Entry, typename MakeEntry>
int64_t OfflineQueue::CollectBatch(Delivery& delivery, bool acked, std::vector<Entry>& batch,
                                   MakeEntry makeEntry) {
    constexpr bool ackedBatch = std::is_same_v<Entry, AckedChatEntry>;
    std::size_t bodySize =
        ackedBatch ? ServerBodies::kAckedListOverhead : ServerBodies::kOfflineListOverhead;
    int64_t lastQueueID = 0;
    while (std::optional<QueuedMessage> message = NextMessage(delivery)) {
        const bool sameKind = !acked || (message->messageID != 0) == ackedBatch;
        Entry entry = makeEntry(*message);
        std::size_t size = 0;
        if constexpr (ackedBatch)
            size = ServerBodies::AckedEntrySize(entry);
        else
            size = ServerBodies::OfflineEntrySize(entry);
        if (!sameKind || bodySize + size > ServerBodies::kMaxBody) {
            delivery.carried = std::move(message);
            break;
        }
        bodySize += size;
        lastQueueID = message->queueID;
        batch.push_back(std::move(entry));
    }
    return lastQueueID;
}

void OfflineQueue::SendNextBatch(ClientSession& session) {
    Delivery& delivery = m_Deliveries.at(&session);
    const bool acked = session.TakesAckedChats();
    std::optional<QueuedMessage> first = NextMessage(delivery);
    if (!first) {
        m_Deliveries.erase(&session);
        return;
    }
    const bool ackedBatch = acked && first->messageID != 0;
    delivery.carried = std::move(first);
    const int32_t userID = delivery.userID;
    CCommandStream body;
    uint16_t sub = SUB_S_OFFLINE_MESSAGES;
    int64_t deleteUpTo = 0;
    if (ackedBatch) {
        std::vector<AckedChatEntry> batch;
        CollectBatch(delivery, acked, batch, [](const QueuedMessage& message) {
            return AckedChatEntry{
                message.senderID, message.messageID,
                ServerBodies::FitGbk(message.text, ServerBodies::kMaxOfflineText)};
        });
        body = ServerBodies::AckedOfflineMessages(batch);
        sub = SUB_S_OFFLINE_MESSAGES_EX;
    } else {
        std::vector<OfflineMessageEntry> batch;
        deleteUpTo = CollectBatch(delivery, acked, batch, [](const QueuedMessage& message) {
            OfflineMessageEntry entry;
            entry.userID = message.senderID;
            // The first value carries the time the message was sent; the client does not read it.
            entry.reserved[0] = static_cast<int32_t>(message.sentAt);
            entry.message = ServerBodies::FitGbk(message.text, ServerBodies::kMaxOfflineText);
            return entry;
        });
        body = ServerBodies::OfflineMessages(batch);
    }
    auto onWritten = [this, &session, userID, deleteUpTo, acked] {
        OnBatchWritten(session, userID, deleteUpTo, acked);
    };
    auto onLost = [this, &session] { m_Deliveries.erase(&session); };
    // Sending may close the session, and with it end the delivery: nothing is touched after.
    session.Send(CMD_FRIEND, sub, body, std::move(onWritten), std::move(onLost));
}

void OfflineQueue::OnBatchWritten(ClientSession& session, int32_t userID, int64_t deleteUpTo,
                                  bool plainOnly) {
    try {
        if (deleteUpTo != 0)
            m_Store.DeleteQueuedMessages(userID, deleteUpTo, plainOnly);
        const auto found = m_Deliveries.find(&session);
        if (found != m_Deliveries.end() && found->second.userID == session.UserID()) {
            SendNextBatch(session);
            return;
        }
    } catch (const std::exception& error) {
        // What was not deleted or sent stays queued and comes again at the next log-on.
        qWarning("offline delivery to user %d stopped: %s", userID, error.what());
    }
    m_Deliveries.erase(&session);
}

void OfflineQueue::CountDrop(int32_t recipientID) {
    ++m_Drops[recipientID].unreported;
    ReportDrops(recipientID);
}

void OfflineQueue::ReportDrops(int32_t recipientID) {
    const auto found = m_Drops.find(recipientID);
    if (found == m_Drops.end())
        return;
    DropCount& drops = found->second;
    const std::chrono::steady_clock::time_point now = m_Clock();
    if (drops.reportedAt && now - *drops.reportedAt < kDropReportInterval)
        return;
    if (drops.unreported == 0) {
        m_Drops.erase(found);
        return;
    }
    qWarning("offline queue of user %d is full: %zu message(s) not kept", recipientID,
             drops.unreported);
    drops.reportedAt = now;
    drops.unreported = 0;
}

} // namespace pellix::server
