#pragma once
// Every chat the user sends goes through the outbox: kept in the delivery file first, written to
// the connection once the user is signed on, and let go only when the server confirms it (with
// the acknowledged-chat extension) or, with a server that confirms nothing, once it was written
// whole to a signed-on connection. The outbox goes out in order at every sign-on, before anything
// typed after it. Also the other half of the extension: the ids of chats already shown, and the
// receipts that let the server drop them. What a turn of the event loop changed in the delivery
// file is saved in one transaction at its end, after the turn's chat history, and only then do its
// receipts go out: a crash before that loses no chat, the server hands the unconfirmed ones over
// again and the ids saved earlier keep them from showing twice. Owned by the friend service.

#include "protocol/ChatDelivery.h"
#include "protocol/FriendRequests.h"
#include "storage/ChatOutbox.h"

#include <QTimer>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace pellix {

class CChatHistoryManager;
class IFriendWindows;

// The connection as the delivery writes to it; each call is false when nothing was written.
class IChatWire {
public:
    virtual bool SendChat(const OutboxMessage& message, bool acknowledged) = 0;
    virtual bool SendExtensionsAnswer(uint32_t bits) = 0;
    virtual bool SendDeliveryAck(int32_t senderID, uint64_t messageID) = 0;

protected:
    ~IChatWire() = default;
};

class CChatDelivery final : public IChatDelivery {
public:
    explicit CChatDelivery(IChatWire& wire, CChatOutbox::Clock clock = {});
    // Saves what is unsaved; receipts not yet sent are left to the server's next delivery.
    ~CChatDelivery();

    // Where confirmations, refusals and the connection state are shown (not owned; may be null).
    void SetWindows(IFriendWindows* windows) { m_pWindows = windows; }
    // The history whose messages are stored before receipts go out (not owned; may be null).
    void SetHistory(CChatHistoryManager* history) { m_pHistory = history; }
    // The signed-in user's delivery file; what an earlier user left in memory goes.
    bool Open(const std::string& path);

    ChatSendReceipt Send(int32_t friendID, int64_t sentAt, const std::string& text);
    std::vector<OutboxMessage> PendingFor(int32_t friendID) const {
        return m_Outbox.PendingFor(friendID);
    }
    const CChatOutbox& Outbox() const { return m_Outbox; }
    bool IsSignedOn() const { return m_bSignedOn; }
    bool UsesAcknowledgements() const { return m_bAcknowledged; }

    // The connection is gone (or a new one is being made): nothing goes out until the next
    // sign-on, and what was in flight goes again then.
    void OnConnectionLost();

    // IChatDelivery
    void OnSignedOn() override;
    void OnExtensionsAnnounced(uint32_t bits) override;
    void OnChatAcknowledged(int32_t recipientID, uint64_t messageID) override;
    void OnChatRefused(int32_t recipientID, uint64_t messageID, uint32_t reason) override;
    bool WasReceived(int32_t senderID, uint64_t messageID) override;
    void ConfirmReceived(int32_t senderID, uint64_t messageID) override;

private:
    // Writes every kept chat not yet written on this connection, oldest first; stops at the
    // first that cannot be written, so the order holds.
    void Flush();
    bool Transmit(const OutboxMessage& message);
    void Release(uint64_t messageID);
    void SaveAtEndOfTurn();
    void SaveTurn();

    IChatWire& m_Wire;
    IFriendWindows* m_pWindows = nullptr;
    CChatHistoryManager* m_pHistory = nullptr;
    CChatOutbox m_Outbox;
    bool m_bSignedOn = false;
    bool m_bAcknowledged = false;
    // Written on this connection and waiting for the server's confirmation.
    std::set<uint64_t> m_InFlight;
    // Stored and shown this turn, confirmed to the server once their ids are saved.
    std::vector<ReceivedChatID> m_Receipts;
    // Fires once at the end of a turn that changed the delivery file.
    QTimer m_SaveTimer;
};

} // namespace pellix
