// The acknowledged-chat extension's commands: the announcement, the server's word on each chat
// sent, and chats that carry their sender's message id, each shown and stored once.

#include "ChatDelivery.h"
#include "FriendCommandHandler.h"

#include <set>
#include <utility>

namespace pellix {

void CFriendCommandHandler::OnSignedOn() {
    if (m_context.delivery != nullptr)
        m_context.delivery->OnSignedOn();
}

bool CFriendCommandHandler::OnExtensions(const ExtensionsBody& body) {
    if (m_context.delivery != nullptr)
        m_context.delivery->OnExtensionsAnnounced(body.bits);
    return true;
}

bool CFriendCommandHandler::OnChatAck(const ChatAckBody& body) {
    if (m_context.delivery != nullptr)
        m_context.delivery->OnChatAcknowledged(body.recipientID, body.messageID);
    return true;
}

bool CFriendCommandHandler::OnChatRefused(const ChatRefusedBody& body) {
    if (m_context.delivery != nullptr)
        m_context.delivery->OnChatRefused(body.recipientID, body.messageID, body.reason);
    return true;
}

bool CFriendCommandHandler::OnAckedChat(const AckedChatBody& body) {
    IChatDelivery* delivery = m_context.delivery;
    const AckedChatEntry& chat = body.chat;
    if (delivery == nullptr || !delivery->WasReceived(chat.userID, chat.messageID))
        OnChatMessage(ChatMessageBody{chat.userID, chat.message});
    // Without windows nothing was stored: the server keeps the chat for the next sign-on.
    if (delivery != nullptr && m_context.windows != nullptr)
        delivery->ConfirmReceived(chat.userID, chat.messageID);
    return true;
}

bool CFriendCommandHandler::OnAckedOfflineMessages(const AckedOfflineMessagesBody& body) {
    IChatDelivery* delivery = m_context.delivery;
    OfflineMessagesBody fresh;
    std::set<std::pair<int32_t, uint64_t>> inBatch;
    for (const AckedChatEntry& chat : body.messages) {
        const bool repeated =
            !inBatch.emplace(chat.userID, chat.messageID).second ||
            (delivery != nullptr && delivery->WasReceived(chat.userID, chat.messageID));
        if (repeated)
            continue;
        OfflineMessageEntry entry;
        entry.userID = chat.userID;
        entry.message = chat.message;
        fresh.messages.push_back(std::move(entry));
    }
    OnOfflineMessages(fresh);
    if (delivery == nullptr || m_context.windows == nullptr)
        return true;
    for (const auto& [senderID, messageID] : inBatch)
        delivery->ConfirmReceived(senderID, messageID);
    return true;
}

} // namespace pellix
