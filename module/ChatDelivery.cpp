#include "ChatDelivery.h"

#include "protocol/FriendWindows.h"
#include "protocol/RequestBodies.h"
#include "records/FriendCommands.h"
#include "storage/ChatHistoryManager.h"

namespace pellix {

CChatDelivery::CChatDelivery(IChatWire& wire, CChatOutbox::Clock clock)
    : m_Wire(wire), m_Outbox(std::move(clock)) {
    m_SaveTimer.setSingleShot(true);
    m_SaveTimer.setInterval(0);
    QObject::connect(&m_SaveTimer, &QTimer::timeout, [this] { SaveTurn(); });
}

CChatDelivery::~CChatDelivery() {
    m_Outbox.SaveChanges();
}

bool CChatDelivery::Open(const std::string& path) {
    m_Receipts.clear();
    return m_Outbox.Open(path);
}

void CChatDelivery::SaveAtEndOfTurn() {
    if (!m_SaveTimer.isActive())
        m_SaveTimer.start();
}

void CChatDelivery::SaveTurn() {
    // A file that cannot be written was reported; the chats were shown, so they are confirmed
    // all the same rather than handed over again at every sign-on.
    if (m_pHistory != nullptr)
        m_pHistory->CommitPending();
    m_Outbox.SaveChanges();
    const std::vector<ReceivedChatID> receipts = std::move(m_Receipts);
    m_Receipts.clear();
    for (const ReceivedChatID& receipt : receipts)
        m_Wire.SendDeliveryAck(receipt.friendID, receipt.messageID);
}

ChatSendReceipt CChatDelivery::Send(int32_t friendID, int64_t sentAt, const std::string& text) {
    if (!ChatMessageFits(text))
        return {ChatSendState::TooLong, 0};
    const uint64_t messageID = m_Outbox.Add(friendID, sentAt, text).messageID;
    if (m_bSignedOn)
        Flush();
    const bool kept = m_Outbox.Find(messageID) != nullptr;
    return {kept ? ChatSendState::Pending : ChatSendState::Sent, messageID};
}

void CChatDelivery::Flush() {
    for (const OutboxMessage& message : m_Outbox.Pending()) {
        if (!Transmit(message))
            return;
    }
}

bool CChatDelivery::Transmit(const OutboxMessage& message) {
    if (m_bAcknowledged) {
        if (m_InFlight.contains(message.messageID))
            return true;
        if (!m_Wire.SendChat(message, true))
            return false;
        m_InFlight.insert(message.messageID);
        return true;
    }
    if (!m_Wire.SendChat(message, false))
        return false;
    // This server confirms nothing: written whole is as far as the module can follow it.
    Release(message.messageID);
    if (m_pWindows != nullptr)
        m_pWindows->OnChatDelivered(message.friendID, message.messageID);
    return true;
}

void CChatDelivery::Release(uint64_t messageID) {
    m_InFlight.erase(messageID);
    if (m_Outbox.Remove(messageID))
        SaveAtEndOfTurn();
}

void CChatDelivery::OnConnectionLost() {
    const bool wasSignedOn = m_bSignedOn;
    m_bSignedOn = false;
    m_bAcknowledged = false;
    m_InFlight.clear();
    // The next server may know no receipts; it hands the unconfirmed chats over again anyway.
    m_Receipts.clear();
    if (wasSignedOn && m_pWindows != nullptr)
        m_pWindows->OnConnectionChanged(false);
}

void CChatDelivery::OnSignedOn() {
    const bool wasSignedOn = m_bSignedOn;
    m_bSignedOn = true;
    Flush();
    if (!wasSignedOn && m_pWindows != nullptr)
        m_pWindows->OnConnectionChanged(true);
}

void CChatDelivery::OnExtensionsAnnounced(uint32_t bits) {
    if ((bits & EXT_ACKED_CHAT) == 0 || m_bAcknowledged)
        return;
    m_bAcknowledged = m_Wire.SendExtensionsAnswer(EXT_ACKED_CHAT);
}

void CChatDelivery::OnChatAcknowledged(int32_t recipientID, uint64_t messageID) {
    const OutboxMessage* message = m_Outbox.Find(messageID);
    if (message == nullptr || message->friendID != recipientID)
        return;
    Release(messageID);
    if (m_pWindows != nullptr)
        m_pWindows->OnChatDelivered(recipientID, messageID);
}

void CChatDelivery::OnChatRefused(int32_t recipientID, uint64_t messageID, uint32_t reason) {
    const OutboxMessage* message = m_Outbox.Find(messageID);
    if (message == nullptr || message->friendID != recipientID)
        return;
    const std::string text = message->text;
    Release(messageID);
    if (m_pWindows != nullptr)
        m_pWindows->OnChatRefused(recipientID, messageID, reason, text);
}

bool CChatDelivery::WasReceived(int32_t senderID, uint64_t messageID) {
    return m_Outbox.WasReceived(senderID, messageID);
}

void CChatDelivery::ConfirmReceived(int32_t senderID, uint64_t messageID) {
    m_Outbox.RememberReceived(senderID, messageID);
    m_Receipts.push_back(ReceivedChatID{senderID, messageID});
    SaveAtEndOfTurn();
}

} // namespace pellix
