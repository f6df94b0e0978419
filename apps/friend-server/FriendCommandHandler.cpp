#include "FriendCommandHandler.h"

#include "ClientSession.h"
#include "ServerBodies.h"
#include "records/FriendCommands.h"

#include <QtGlobal>

#include <exception>

namespace pellix::server {

namespace {

constexpr uint8_t kStateOffline = 1;
constexpr uint8_t kStateOnline = 2;

} // namespace

FriendCommandHandler::FriendCommandHandler(AccountStore& store)
    : m_Store(store), m_Relations(store), m_OfflineQueue(store) {}

bool FriendCommandHandler::Handle(ClientSession& session, const FrameCodec::Frame& frame) {
    CCommandStream body;
    body.Append(frame.body.data(), frame.body.size());
    const uint16_t sub = frame.header.subCmd;
    if (sub == SUB_C_LOGON)
        return HandleLogon(session, body);
    if (session.UserID() == 0)
        return true;
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
    m_Online[userID] = &session;
    SendListOrStates(session, clientVersion);
    if (previous != nullptr) {
        // The newer connection wins; the old one leaves without an offline notice.
        previous->SetUserID(0);
        previous->Drop();
    }
    m_OfflineQueue.StartDelivery(session);
    SendPendingRequests(session);
    NotifyFriends(userID, kStateOnline);
    return true;
}

void FriendCommandHandler::SendListOrStates(ClientSession& session, int32_t clientVersion) {
    const int32_t userID = session.UserID();
    const int32_t version = m_Store.ListVersion(userID);
    std::vector<FriendEntry> friends;
    std::vector<OnlineStateEntry> states;
    for (const int32_t friendID : m_Store.FriendsOf(userID)) {
        const std::optional<Account> account = m_Store.FindAccount(friendID);
        if (!account)
            continue;
        const bool online = IsOnline(friendID);
        friends.push_back(ServerBodies::EntryFor(*account, online));
        states.push_back({friendID, online ? kStateOnline : kStateOffline});
    }
    if (clientVersion == version)
        session.Send(CMD_FRIEND, SUB_S_ONLINE_STATES, ServerBodies::OnlineStates(version, states));
    else
        session.Send(CMD_FRIEND, SUB_S_FRIEND_LIST, ServerBodies::FriendList(version, friends));
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

void FriendCommandHandler::NotifyFriends(int32_t userID, uint8_t state) {
    const CCommandStream body = ServerBodies::OnlineState(userID, state);
    for (const int32_t friendID : m_Store.FriendsOf(userID)) {
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
    NotifyFriends(userID, kStateOffline);
}

bool FriendCommandHandler::HandleChatMessage(ClientSession& session, CCommandStream& body) {
    body.ReadInt32();
    const int32_t recipientID = body.ReadInt32();
    std::string text;
    body.ReadString(text);
    if (body.IsTruncated())
        return false;
    const int32_t senderID = session.UserID();
    if (!m_Store.FindAccount(recipientID) || m_Relations.HasBlacklisted(recipientID, senderID))
        return true;
    DeliverChat(senderID, recipientID, text);
    return true;
}

void FriendCommandHandler::DeliverChat(int32_t senderID, int32_t recipientID,
                                       const std::string& text) {
    ClientSession* recipient = OnlineSession(recipientID);
    if (recipient == nullptr || m_OfflineQueue.IsDelivering(*recipient)) {
        m_OfflineQueue.Queue(senderID, recipientID, text);
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
    ClientSession* recipient = OnlineSession(recipientID);
    if (recipient != nullptr && !m_Relations.HasBlacklisted(recipientID, senderID))
        recipient->Send(CMD_FRIEND, SUB_S_SHAKE, ServerBodies::Shake(senderID));
    return true;
}

ClientSession* FriendCommandHandler::OnlineSession(int32_t userID) const {
    const auto found = m_Online.find(userID);
    return found == m_Online.end() ? nullptr : found->second;
}

} // namespace pellix::server
