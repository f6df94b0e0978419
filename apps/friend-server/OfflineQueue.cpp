#include "OfflineQueue.h"

#include "ClientSession.h"
#include "ServerBodies.h"
#include "records/FriendCommands.h"

#include <QDateTime>
#include <QtGlobal>

#include <exception>

namespace {

// Rows read per batch: more than fit one body only when messages are short.
constexpr std::size_t kRowsPerBatch = 200;

} // namespace

bool OfflineQueue::Queue(int32_t senderID, int32_t recipientID, const std::string& text) {
    if (m_Store.QueuedMessageCount(recipientID) >= kMaxQueuedPerRecipient) {
        qWarning("offline queue of user %d is full; a message from %d was not kept", recipientID,
                 senderID);
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
    if (!m_Delivering.insert(&session).second)
        return;
    try {
        SendNextBatch(session);
    } catch (...) {
        // Without a batch on its way nothing would end the delivery: messages would queue
        // behind it for as long as the session lasts.
        m_Delivering.erase(&session);
        throw;
    }
}

void OfflineQueue::SendNextBatch(ClientSession& session) {
    const std::vector<QueuedMessage> rows =
        m_Store.QueuedMessagesFor(session.UserID(), kRowsPerBatch);
    std::vector<OfflineMessageEntry> batch;
    std::size_t bodySize = ServerBodies::kOfflineListOverhead;
    int64_t lastQueueID = 0;
    for (const QueuedMessage& row : rows) {
        OfflineMessageEntry entry;
        entry.userID = row.senderID;
        // The first value carries the time the message was sent; the client does not read it.
        entry.reserved[0] = static_cast<int32_t>(row.sentAt);
        entry.message = ServerBodies::FitGbk(row.text, ServerBodies::kMaxOfflineText);
        const std::size_t size = ServerBodies::OfflineEntrySize(entry);
        if (bodySize + size > ServerBodies::kMaxBody)
            break;
        bodySize += size;
        lastQueueID = row.queueID;
        batch.push_back(std::move(entry));
    }
    if (batch.empty()) {
        m_Delivering.erase(&session);
        return;
    }
    const int32_t userID = session.UserID();
    auto onWritten = [this, &session, userID, lastQueueID] {
        try {
            m_Store.DeleteQueuedMessages(userID, lastQueueID);
            if (session.UserID() == userID) {
                SendNextBatch(session);
                return;
            }
        } catch (const std::exception& error) {
            // The batch stays queued and comes again at the next log-on.
            qWarning("offline delivery to user %d stopped: %s", userID, error.what());
        }
        m_Delivering.erase(&session);
    };
    auto onLost = [this, &session] { m_Delivering.erase(&session); };
    session.Send(CMD_FRIEND, SUB_S_OFFLINE_MESSAGES, ServerBodies::OfflineMessages(batch),
                 std::move(onWritten), std::move(onLost));
}
