#pragma once
// The friend protocol as the server speaks it: log-on, presence, friend requests and replies,
// contact moves, chat and shakes, routed between the sessions of logged-on users, and, on a node
// of a cluster, to the nodes of users logged on elsewhere. Owned by the FriendServer, which hands
// it every CMD_FRIEND frame and every closed session.

#include "AccountStore.h"
#include "FriendRelations.h"
#include "OfflineQueue.h"
#include "client/FrameCodec.h"
#include "cluster/ClusterNode.h"
#include "records/FriendRecords.h"

#include <QTimer>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class CCommandStream;

namespace pellix::server {

class ClientSession;

class FriendCommandHandler final : private ClusterEvents {
public:
    // cluster: the node this server is of, or null for a server on its own; not owned.
    explicit FriendCommandHandler(AccountStore& store, ClusterNode* cluster = nullptr);
    // Saves the receipts not saved yet.
    ~FriendCommandHandler() override;
    FriendCommandHandler(const FriendCommandHandler&) = delete;
    FriendCommandHandler& operator=(const FriendCommandHandler&) = delete;

    // False when the body is malformed; the caller then drops the peer. Commands other than the
    // log-on are ignored until the session has logged on, and the sender is always the session's
    // own user, whatever id the body names.
    bool Handle(ClientSession& session, const FrameCodec::Frame& frame);
    void OnSessionClosed(ClientSession& session);

    // Whether log-ons hear of the extensions (on unless switched off, to act as a server that
    // knows none).
    void SetOfferExtensions(bool offer) { m_bOfferExtensions = offer; }

    // Logged on here or, in a cluster, at another node.
    bool IsOnline(int32_t userID) const;
    // Logged on here.
    std::size_t OnlineCount() const { return m_Online.size(); }

private:
    // Presence as SUB_S_ONLINE_STATE carries it.
    static constexpr uint8_t kStateOffline = 1;
    static constexpr uint8_t kStateOnline = 2;

    bool HandleLogon(ClientSession& session, CCommandStream& body);
    bool HandleAddFriend(ClientSession& session, CCommandStream& body);
    bool HandleFriendReply(ClientSession& session, CCommandStream& body);
    bool HandleMoveContact(ClientSession& session, CCommandStream& body);
    bool HandleChatMessage(ClientSession& session, CCommandStream& body);
    bool HandleShake(ClientSession& session, CCommandStream& body);
    bool HandleCommand(ClientSession& session, uint16_t sub, CCommandStream& body);
    // The acknowledged-chat extension.
    bool HandleExtensions(ClientSession& session, CCommandStream& body);
    bool HandleAckedChat(ClientSession& session, CCommandStream& body);
    bool HandleDeliveryAck(ClientSession& session, CCommandStream& body);
    // The receipts of one turn of the event loop go to the store in one write at its end. One
    // lost with a crash costs a chat handed over again, which the client knows by its id.
    void SaveReceipts();
    // The online session a chat can go to now, or null: while its queue is handed over, the
    // chat waits behind it.
    ClientSession* ReadyRecipient(int32_t recipientID);
    // A new chat goes to a recipient that takes acknowledged chats before it is stored, flushed,
    // so that it is on its way while the store commits. A server that dies in between loses
    // nothing: the sender, never confirmed, sends it again, and the recipient knows its id.
    bool RelayBeforeStoring(const AckedChatEntry& chat, int32_t recipientID);
    // To the recipient's session when it is online and takes chats now; a stored acknowledged
    // chat otherwise waits in the queue.
    void DeliverAckedChat(const AckedChatEntry& chat, int32_t recipientID);
    // Once the client has had its first command's chance to take acknowledged chats (or a
    // second has passed), what waited for it goes out.
    void HoldOfflineDelivery(ClientSession& session);
    void OnFirstCommand(ClientSession& session);

    // Returns the friends listed, for the presence notices that follow.
    std::vector<int32_t> SendListOrStates(ClientSession& session, int32_t clientVersion);
    void SendPendingRequests(ClientSession& session);
    void SendRequest(ClientSession& target, const PendingRequest& request);
    void SendNewFriend(int32_t userID, int32_t friendID);
    void NotifyFriends(int32_t userID, const std::vector<int32_t>& friends, uint8_t state);
    // Forgets the session's user as online (telling the friends) and leaves it unauthenticated.
    void LogOff(ClientSession& session);
    // To the recipient's session, to the node the recipient is logged on at, or into the
    // offline queue when there is neither or the message could not be written.
    void DeliverChat(int32_t senderID, int32_t recipientID, const std::string& text);
    // The same without looking at other nodes: for a chat that came from one.
    void DeliverChatHere(int32_t senderID, int32_t recipientID, const std::string& text);
    void DeliverAckedChatHere(const AckedChatEntry& chat, int32_t recipientID);
    void SendShake(int32_t senderID, int32_t recipientID);
    void SendFriendReply(int32_t replierID, int32_t requesterID, bool accepted);
    void SendNewFriendHere(int32_t userID, int32_t friendID);
    ClientSession* OnlineSession(int32_t userID) const;
    // Accounts are never removed while the server runs: a user online has one, and the store is
    // asked only about the others.
    bool HasAccount(int32_t userID);
    // The other node of the cluster that a user not logged on here is logged on at.
    std::optional<uint64_t> RemoteNodeOf(int32_t userID) const;
    // Something was stored for a user with no session here to take it.
    void NoteQueued(int32_t userID);

    // The cluster's side (ClusterCommands.cpp).
    void OnLoggedOnElsewhere(int32_t userID) override;
    void OnRemotePresence(const std::vector<int32_t>& users, bool online) override;
    void OnClusterCommand(const ClusterMessage& message) override;
    void HandleClusterCommand(const ClusterMessage& message);
    void TellFriendsHere(int32_t userID, const std::vector<int32_t>& friends, uint8_t state);
    void HandOverQueue(int32_t userID);

    AccountStore& m_Store;
    ClusterNode* m_pCluster;
    FriendRelations m_Relations;
    OfflineQueue m_OfflineQueue;
    std::unordered_map<int32_t, ClientSession*> m_Online;
    bool m_bOfferExtensions = true;
    std::vector<DeliveryReceipt> m_Receipts;
    QTimer m_ReceiptTimer;
};

} // namespace pellix::server
