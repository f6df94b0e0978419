#include "FriendCommandHandler.h"

#include "ClientSession.h"
#include "ServerBodies.h"
#include "records/FriendCommands.h"

#include <QTimer>
#include <QtGlobal>

#include <exception>

namespace pellix::server {

namespace {

// How long a client's offline messages wait for it to say it takes acknowledged chats.
constexpr std::chrono::milliseconds kExtensionAnswerWait{1000};

} // namespace

FriendCommandHandler::FriendCommandHandler(AccountStore& store, ClusterNode* cluster)
    : m_Store(store), m_pCluster(cluster), m_Relations(store), m_OfflineQueue(store) {
    if (m_pCluster != nullptr)
        m_pCluster->SetEvents(this);
    m_ReceiptTimer.setSingleShot(true);
    m_ReceiptTimer.setInterval(0);
    QObject::connect(&m_ReceiptTimer, &QTimer::timeout, [this] { SaveReceipts(); });
}

FriendCommandHandler::~FriendCommandHandler() {
    if (m_pCluster != nullptr)
        m_pCluster->SetEvents(nullptr);
    SaveReceipts();
}

bool FriendCommandHandler::IsOnline(int32_t userID) const {
    return m_Online.contains(userID) ||
           (m_pCluster != nullptr && m_pCluster->NodeOf(userID).has_value());
}

bool FriendCommandHandler::HasAccount(int32_t userID) {
    return IsOnline(userID) || m_Store.FindAccount(userID).has_value();
}

bool FriendCommandHandler::Handle(ClientSession& session, const FrameCodec::Frame& frame) {
    CCommandStream body;
    body.Append(frame.body.data(), frame.body.size());
    const uint16_t sub = frame.header.subCmd;
    if (sub == SUB_C_LOGON)
        return HandleLogon(session, body);
    if (session.UserID() == 0)
        return true;
    if (!HandleCommand(session, sub, body))
        return false;
    OnFirstCommand(session);
    return true;
}

bool FriendCommandHandler::HandleCommand(ClientSession& session, uint16_t sub,
                                         CCommandStream& body) {
    switch (sub) {
    case SUB_C_ADD_FRIEND:
        return HandleAddFriend(session, body);
    case SUB_C_FRIEND_REPLY:
        return HandleFriendReply(session, body);
    case SUB_C_MOVE_CONTACT:
        return HandleMoveContact(session, body);
    case SUB_C_CHAT_MESSAGE:
        return HandleChatMessage(session, body);
    case SUB_C_SHAKE:
        return HandleShake(session, body);
    case SUB_C_EXTENSIONS:
        return HandleExtensions(session, body);
    case SUB_C_CHAT_MESSAGE_EX:
        return HandleAckedChat(session, body);
    case SUB_C_DELIVERY_ACK:
        return HandleDeliveryAck(session, body);
    default:
        return true;
    }
}

void FriendCommandHandler::OnSessionClosed(ClientSession& session) {
    m_OfflineQueue.OnSessionClosed(session);
    LogOff(session);
}

bool FriendCommandHandler::HandleLogon(ClientSession& session, CCommandStream& body) {
    const int32_t userID = body.ReadInt32();
    std::string token;
    body.ReadString(token);
    const int32_t clientVersion = body.ReadInt32();
    if (body.IsTruncated())
        return false;
    LogOff(session);
    const std::optional<Account> account = m_Store.FindAccount(userID);
    if (!account || account->token != token) {
        session.Send(CMD_FRIEND, SUB_S_LOGON_FAILED, ServerBodies::LogonFailed(userID));
        return true;
    }
    ClientSession* previous = OnlineSession(userID);
    session.SetUserID(userID);
    session.SetTakesAckedChats(false);
    m_Online[userID] = &session;
    // Before the friends hear of it: the node that held the user ends its session.
    if (m_pCluster != nullptr)
        m_pCluster->LoggedOn(userID);
    if (m_bOfferExtensions)
        session.Send(CMD_FRIEND, SUB_S_EXTENSIONS, ServerBodies::Extensions(EXT_ACKED_CHAT));
    const std::vector<int32_t> friends = SendListOrStates(session, clientVersion);
    if (previous != nullptr) {
        // The newer connection wins; the old one leaves without an offline notice.
        previous->SetUserID(0);
        previous->Drop();
    }
    HoldOfflineDelivery(session);
    SendPendingRequests(session);
    NotifyFriends(userID, friends, kStateOnline);
    return true;
}

std::vector<int32_t> FriendCommandHandler::SendListOrStates(ClientSession& session,
                                                            int32_t clientVersion) {
    const int32_t userID = session.UserID();
    const int32_t version = m_Store.ListVersion(userID);
    std::vector<FriendEntry> friends;
    std::vector<OnlineStateEntry> states;
    std::vector<int32_t> friendIDs;
    for (const Account& account : m_Store.FriendAccountsOf(userID)) {
        const bool online = IsOnline(account.userID);
        friends.push_back(ServerBodies::EntryFor(account, online));
        states.push_back({account.userID, online ? kStateOnline : kStateOffline});
        friendIDs.push_back(account.userID);
    }
    if (clientVersion == version)
        session.Send(CMD_FRIEND, SUB_S_ONLINE_STATES, ServerBodies::OnlineStates(version, states));
    else
        session.Send(CMD_FRIEND, SUB_S_FRIEND_LIST, ServerBodies::FriendList(version, friends));
    return friendIDs;
}

void FriendCommandHandler::SendPendingRequests(ClientSession& session) {
    for (const PendingRequest& request : m_Store.UndeliveredRequestsFor(session.UserID()))
        SendRequest(session, request);
}

void FriendCommandHandler::SendRequest(ClientSession& target, const PendingRequest& request) {
    const std::optional<Account> requester = m_Store.FindAccount(request.requesterID);
    if (!requester)
        return;
    const FriendEntry entry = ServerBodies::EntryFor(*requester, IsOnline(request.requesterID));
    auto onWritten = [this, request] {
        try {
            m_Store.MarkRequestDelivered(request.requesterID, request.targetID);
        } catch (const std::exception& error) {
            qWarning("friend request %d to %d stays undelivered: %s", request.requesterID,
                     request.targetID, error.what());
        }
    };
    target.Send(CMD_FRIEND, SUB_S_FRIEND_REQUEST, ServerBodies::FriendRequest(entry, request.text),
                std::move(onWritten));
}

void FriendCommandHandler::NotifyFriends(int32_t userID, const std::vector<int32_t>& friends,
                                         uint8_t state) {
    TellFriendsHere(userID, friends, state);
    if (m_pCluster == nullptr)
        return;
    // One notice per node that holds friends.
    std::unordered_map<uint64_t, std::vector<int32_t>> remote;
    for (const int32_t friendID : friends) {
        if (const std::optional<uint64_t> node = RemoteNodeOf(friendID))
            remote[*node].push_back(friendID);
    }
    for (auto& [node, held] : remote)
        m_pCluster->SendPresenceNotice(node, userID, state == kStateOnline, std::move(held));
}

void FriendCommandHandler::TellFriendsHere(int32_t userID, const std::vector<int32_t>& friends,
                                           uint8_t state) {
    const CCommandStream body = ServerBodies::OnlineState(userID, state);
    for (const int32_t friendID : friends) {
        if (ClientSession* session = OnlineSession(friendID))
            session->Send(CMD_FRIEND, SUB_S_ONLINE_STATE, body);
    }
}

void FriendCommandHandler::LogOff(ClientSession& session) {
    const int32_t userID = session.UserID();
    if (userID == 0)
        return;
    session.SetUserID(0);
    if (OnlineSession(userID) != &session)
        return;
    m_Online.erase(userID);
    if (m_pCluster != nullptr)
        m_pCluster->LoggedOff(userID);
    NotifyFriends(userID, m_Store.FriendsOf(userID), kStateOffline);
}

bool FriendCommandHandler::HandleChatMessage(ClientSession& session, CCommandStream& body) {
    body.ReadInt32();
    const int32_t recipientID = body.ReadInt32();
    std::string text;
    body.ReadString(text);
    if (body.IsTruncated())
        return false;
    const int32_t senderID = session.UserID();
    if (!HasAccount(recipientID) || m_Relations.HasBlacklisted(recipientID, senderID))
        return true;
    DeliverChat(senderID, recipientID, text);
    return true;
}

void FriendCommandHandler::DeliverChat(int32_t senderID, int32_t recipientID,
                                       const std::string& text) {
    if (const std::optional<uint64_t> node = RemoteNodeOf(recipientID)) {
        m_pCluster->Send(
            *node,
            {.kind = ClusterKind::Chat, .userID = senderID, .otherID = recipientID, .text = text});
        return;
    }
    DeliverChatHere(senderID, recipientID, text);
}

void FriendCommandHandler::DeliverChatHere(int32_t senderID, int32_t recipientID,
                                           const std::string& text) {
    ClientSession* recipient = OnlineSession(recipientID);
    if (recipient == nullptr || m_OfflineQueue.IsDelivering(*recipient)) {
        if (m_OfflineQueue.Queue(senderID, recipientID, text) && recipient == nullptr)
            NoteQueued(recipientID);
        return;
    }
    auto onLost = [this, senderID, recipientID, text] {
        try {
            DeliverChat(senderID, recipientID, text);
        } catch (const std::exception& error) {
            qWarning("a message from %d to %d was lost: %s", senderID, recipientID, error.what());
        }
    };
    recipient->Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE, ServerBodies::ChatMessage(senderID, text), {},
                    std::move(onLost));
}

bool FriendCommandHandler::HandleShake(ClientSession& session, CCommandStream& body) {
    const int32_t recipientID = body.ReadInt32();
    if (body.IsTruncated())
        return false;
    const int32_t senderID = session.UserID();
    if (!IsOnline(recipientID) || m_Relations.HasBlacklisted(recipientID, senderID))
        return true;
    if (const std::optional<uint64_t> node = RemoteNodeOf(recipientID))
        m_pCluster->Send(*node,
                         {.kind = ClusterKind::Shake, .userID = senderID, .otherID = recipientID});
    else
        SendShake(senderID, recipientID);
    return true;
}

void FriendCommandHandler::SendShake(int32_t senderID, int32_t recipientID) {
    if (ClientSession* recipient = OnlineSession(recipientID))
        recipient->Send(CMD_FRIEND, SUB_S_SHAKE, ServerBodies::Shake(senderID));
}

ClientSession* FriendCommandHandler::OnlineSession(int32_t userID) const {
    const auto found = m_Online.find(userID);
    return found == m_Online.end() ? nullptr : found->second;
}

std::optional<uint64_t> FriendCommandHandler::RemoteNodeOf(int32_t userID) const {
    if (m_pCluster == nullptr || m_Online.contains(userID))
        return std::nullopt;
    return m_pCluster->NodeOf(userID);
}

void FriendCommandHandler::NoteQueued(int32_t userID) {
    if (m_pCluster != nullptr)
        m_pCluster->NoteQueued(userID);
}

void FriendCommandHandler::HoldOfflineDelivery(ClientSession& session) {
    session.SetAwaitsFirstCommand(m_bOfferExtensions);
    if (!m_bOfferExtensions) {
        m_OfflineQueue.StartDelivery(session);
        return;
    }
    // Only a user with messages waiting has live chats queue behind them meanwhile.
    if (m_Store.QueuedMessageCount(session.UserID()) > 0)
        m_OfflineQueue.Hold(session);
    // The session owns the timer, so that one closed before the wait is over takes it along: a
    // timer of QTimer::singleShot would outlive the session until it fires.
    auto* wait = new QTimer(&session);
    wait->setSingleShot(true);
    QObject::connect(wait, &QTimer::timeout, &session, [this, &session, wait] {
        wait->deleteLater();
        try {
            OnFirstCommand(session);
        } catch (const std::exception& error) {
            qWarning("offline delivery to user %d did not start: %s", session.UserID(),
                     error.what());
        }
    });
    wait->start(kExtensionAnswerWait);
}

void FriendCommandHandler::OnFirstCommand(ClientSession& session) {
    if (!session.AwaitsFirstCommand() || session.IsClosed() || session.UserID() == 0)
        return;
    session.SetAwaitsFirstCommand(false);
    m_OfflineQueue.StartDelivery(session);
}

bool FriendCommandHandler::HandleExtensions(ClientSession& session, CCommandStream& body) {
    const uint32_t bits = body.ReadUInt32();
    if (body.IsTruncated())
        return false;
    if (m_bOfferExtensions)
        session.SetTakesAckedChats((bits & EXT_ACKED_CHAT) != 0);
    return true;
}

bool FriendCommandHandler::HandleAckedChat(ClientSession& session, CCommandStream& body) {
    body.ReadInt32();
    AckedChatEntry chat;
    chat.userID = session.UserID();
    const int32_t recipientID = body.ReadInt32();
    chat.messageID = ReadMessageID(body);
    body.ReadString(chat.message);
    if (body.IsTruncated())
        return false;
    if (!m_bOfferExtensions)
        return true;
    std::optional<uint32_t> refusal;
    if (!HasAccount(recipientID))
        refusal = CHAT_REFUSED_NO_ACCOUNT;
    else if (m_Relations.HasBlacklisted(recipientID, chat.userID))
        refusal = CHAT_REFUSED_BY_RECIPIENT;
    if (refusal) {
        session.Send(CMD_FRIEND, SUB_S_CHAT_REFUSED,
                     ServerBodies::ChatRefused(recipientID, chat.messageID, *refusal));
        return true;
    }
    const bool relayed = RelayBeforeStoring(chat, recipientID);
    const OfflineQueue::AckedQueueing queued =
        m_OfflineQueue.QueueAcked(chat.userID, recipientID, chat.messageID, chat.message);
    // A full queue keeps nothing and confirms nothing: the client sends it again later.
    if (queued == OfflineQueue::AckedQueueing::Full)
        return true;
    session.Send(CMD_FRIEND, SUB_S_CHAT_ACK, ServerBodies::ChatAck(recipientID, chat.messageID));
    if (queued == OfflineQueue::AckedQueueing::Queued && !relayed)
        DeliverAckedChat(chat, recipientID);
    return true;
}

ClientSession* FriendCommandHandler::ReadyRecipient(int32_t recipientID) {
    ClientSession* recipient = OnlineSession(recipientID);
    // Until its first command the client may still say it takes acknowledged chats.
    if (recipient == nullptr || m_OfflineQueue.IsDelivering(*recipient) ||
        recipient->AwaitsFirstCommand())
        return nullptr;
    return recipient;
}

bool FriendCommandHandler::RelayBeforeStoring(const AckedChatEntry& chat, int32_t recipientID) {
    ClientSession* recipient = ReadyRecipient(recipientID);
    if (recipient == nullptr || !recipient->TakesAckedChats() ||
        m_Store.HoldsAckedMessage(chat.userID, chat.messageID))
        return false;
    recipient->Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE_EX, ServerBodies::AckedChat(chat));
    recipient->SendQueuedNow();
    return true;
}

void FriendCommandHandler::DeliverAckedChat(const AckedChatEntry& chat, int32_t recipientID) {
    if (const std::optional<uint64_t> node = RemoteNodeOf(recipientID)) {
        m_pCluster->Send(*node, {.kind = ClusterKind::AckedChat,
                                 .userID = chat.userID,
                                 .otherID = recipientID,
                                 .messageID = chat.messageID,
                                 .text = chat.message});
        return;
    }
    DeliverAckedChatHere(chat, recipientID);
}

void FriendCommandHandler::DeliverAckedChatHere(const AckedChatEntry& chat, int32_t recipientID) {
    if (OnlineSession(recipientID) == nullptr) {
        NoteQueued(recipientID);
        return;
    }
    // A recipient busy with its queue, or still to say what it takes, gets the chat from there.
    ClientSession* recipient = ReadyRecipient(recipientID);
    if (recipient == nullptr)
        return;
    if (recipient->TakesAckedChats()) {
        recipient->Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE_EX, ServerBodies::AckedChat(chat));
        return;
    }
    // A client without the extension confirms nothing: written is delivered, as for plain chats.
    auto onWritten = [this, chat, recipientID] {
        try {
            m_Store.ConfirmDelivery(recipientID, chat.userID, chat.messageID);
        } catch (const std::exception& error) {
            qWarning("a chat from %d to %d stays queued: %s", chat.userID, recipientID,
                     error.what());
        }
    };
    recipient->Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE,
                    ServerBodies::ChatMessage(chat.userID, chat.message), std::move(onWritten));
}

bool FriendCommandHandler::HandleDeliveryAck(ClientSession& session, CCommandStream& body) {
    const int32_t senderID = body.ReadInt32();
    const uint64_t messageID = ReadMessageID(body);
    if (body.IsTruncated())
        return false;
    m_Receipts.push_back(DeliveryReceipt{session.UserID(), senderID, messageID});
    if (!m_ReceiptTimer.isActive())
        m_ReceiptTimer.start();
    return true;
}

void FriendCommandHandler::SaveReceipts() {
    if (m_Receipts.empty())
        return;
    std::vector<DeliveryReceipt> receipts;
    receipts.swap(m_Receipts);
    try {
        m_Store.ConfirmDeliveries(receipts);
    } catch (const std::exception& error) {
        qWarning("%zu receipts were not saved, their chats will be handed over again: %s",
                 receipts.size(), error.what());
    }
}

} // namespace pellix::server
