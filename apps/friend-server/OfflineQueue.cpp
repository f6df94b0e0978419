#include "OfflineQueue.h"

#include "ClientSession.h"
#include "ServerBodies.h"
#include "records/FriendCommands.h"

#include <QDateTime>
#include <QtGlobal>

#include <exception>

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

void OfflineQueue::StartDelivery(ClientSession& session) {
    ReportDrops(session.UserID());
    const auto [found, started] = m_Deliveries.try_emplace(&session);
    if (!started) {
        // A batch sent before this log-on is on its way; once it is written, delivery goes on
        // with the queue of the user logged on now.
        if (found->second.userID != session.UserID()) {
            found->second = Delivery();
            found->second.userID = session.UserID();
        }
        return;
    }
    found->second.userID = session.UserID();
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

void OfflineQueue::SendNextBatch(ClientSession& session) {
    Delivery& delivery = m_Deliveries.at(&session);
    std::vector<OfflineMessageEntry> batch;
    std::size_t bodySize = ServerBodies::kOfflineListOverhead;
    int64_t lastQueueID = 0;
    while (std::optional<QueuedMessage> message = NextMessage(delivery)) {
        OfflineMessageEntry entry;
        entry.userID = message->senderID;
        // The first value carries the time the message was sent; the client does not read it.
        entry.reserved[0] = static_cast<int32_t>(message->sentAt);
        entry.message = ServerBodies::FitGbk(message->text, ServerBodies::kMaxOfflineText);
        const std::size_t size = ServerBodies::OfflineEntrySize(entry);
        if (bodySize + size > ServerBodies::kMaxBody) {
            delivery.carried = std::move(message);
            break;
        }
        bodySize += size;
        lastQueueID = message->queueID;
        batch.push_back(std::move(entry));
    }
    if (batch.empty()) {
        m_Deliveries.erase(&session);
        return;
    }
    const int32_t userID = delivery.userID;
    auto onWritten = [this, &session, userID, lastQueueID] {
        OnBatchWritten(session, userID, lastQueueID);
    };
    auto onLost = [this, &session] { m_Deliveries.erase(&session); };
    // Sending may close the session, and with it end the delivery: nothing is touched after.
    session.Send(CMD_FRIEND, SUB_S_OFFLINE_MESSAGES, ServerBodies::OfflineMessages(batch),
                 std::move(onWritten), std::move(onLost));
}

void OfflineQueue::OnBatchWritten(ClientSession& session, int32_t userID, int64_t lastQueueID) {
    try {
        m_Store.DeleteQueuedMessages(userID, lastQueueID);
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
