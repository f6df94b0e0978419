// The friendship commands of FriendCommandHandler: requests, replies and contact moves.

#include "FriendCommandHandler.h"

#include "ClientSession.h"
#include "ServerBodies.h"
#include "records/FriendCommands.h"

namespace pellix::server {

bool FriendCommandHandler::HandleAddFriend(ClientSession& session, CCommandStream& body) {
    body.ReadInt32();
    const int32_t targetID = body.ReadInt32();
    std::string text;
    body.ReadString(text);
    if (body.IsTruncated())
        return false;
    const int32_t userID = session.UserID();
    auto fail = [&](uint8_t reason) {
        session.Send(CMD_FRIEND, SUB_S_ADD_FRIEND_FAIL,
                     ServerBodies::AddFriendFail(targetID, reason));
        return true;
    };
    if (targetID == userID)
        return fail(ServerBodies::kFailSelf);
    if (!m_Store.FindAccount(targetID))
        return fail(ServerBodies::kFailUnknownUser);
    if (m_Relations.AreFriends(userID, targetID)) {
        SendNewFriend(userID, targetID);
        return true;
    }
    if (m_Relations.HasBlacklisted(targetID, userID)) {
        // Refused as the target's own client would refuse it, without saying why.
        session.Send(CMD_FRIEND, SUB_S_FRIEND_REPLY,
                     ServerBodies::FriendReply(targetID, userID, false));
        return true;
    }
    if (m_Relations.HasFullList(userID) || m_Relations.HasFullList(targetID))
        return fail(ServerBodies::kFailListFull);
    PendingRequest request;
    request.requesterID = userID;
    request.targetID = targetID;
    request.text = ServerBodies::FitGbk(text, ServerBodies::kMaxRequestText);
    m_Store.SaveRequest(request);
    if (ClientSession* target = OnlineSession(targetID))
        SendRequest(*target, request);
    else if (const std::optional<uint64_t> node = RemoteNodeOf(targetID))
        m_pCluster->Send(
            *node, {.kind = ClusterKind::FriendRequest, .userID = userID, .otherID = targetID});
    return true;
}

bool FriendCommandHandler::HandleFriendReply(ClientSession& session, CCommandStream& body) {
    body.ReadInt32();
    const int32_t requesterID = body.ReadInt32();
    bool accepted = body.ReadByte() != 0;
    if (body.IsTruncated())
        return false;
    const int32_t userID = session.UserID();
    // Only a request that was made can be answered: a reply cannot force a friendship.
    if (!m_Store.FindRequest(requesterID, userID))
        return true;
    m_Store.DeleteRequest(requesterID, userID);
    if (accepted && !m_Relations.MakeFriends(userID, requesterID))
        accepted = false;
    if (const std::optional<uint64_t> node = RemoteNodeOf(requesterID))
        m_pCluster->Send(*node, {.kind = ClusterKind::FriendReply,
                                 .userID = userID,
                                 .otherID = requesterID,
                                 .flag = accepted});
    else
        SendFriendReply(userID, requesterID, accepted);
    if (accepted) {
        SendNewFriend(requesterID, userID);
        SendNewFriend(userID, requesterID);
    }
    return true;
}

void FriendCommandHandler::SendFriendReply(int32_t replierID, int32_t requesterID, bool accepted) {
    if (ClientSession* requester = OnlineSession(requesterID))
        requester->Send(CMD_FRIEND, SUB_S_FRIEND_REPLY,
                        ServerBodies::FriendReply(replierID, requesterID, accepted));
}

void FriendCommandHandler::SendNewFriend(int32_t userID, int32_t friendID) {
    if (const std::optional<uint64_t> node = RemoteNodeOf(userID))
        m_pCluster->Send(*node,
                         {.kind = ClusterKind::NewFriend, .userID = userID, .otherID = friendID});
    else
        SendNewFriendHere(userID, friendID);
}

void FriendCommandHandler::SendNewFriendHere(int32_t userID, int32_t friendID) {
    ClientSession* session = OnlineSession(userID);
    const std::optional<Account> account = m_Store.FindAccount(friendID);
    if (session == nullptr || !account)
        return;
    const FriendEntry entry = ServerBodies::EntryFor(*account, IsOnline(friendID));
    session->Send(CMD_FRIEND, SUB_S_ADD_FRIEND_OK,
                  ServerBodies::AddFriendOk(m_Store.ListVersion(userID), entry));
}

bool FriendCommandHandler::HandleMoveContact(ClientSession& session, CCommandStream& body) {
    body.ReadInt32();
    const int32_t targetID = body.ReadInt32();
    const uint8_t operation = body.ReadByte();
    if (body.IsTruncated())
        return false;
    const int32_t userID = session.UserID();
    bool changed = false;
    if (targetID != userID && m_Store.FindAccount(targetID)) {
        if (operation == MOVE_TO_STRANGERS)
            changed = m_Relations.MoveToStrangers(userID, targetID);
        else if (operation == MOVE_TO_BLACKLIST)
            changed = m_Relations.Blacklist(userID, targetID);
    }
    const uint8_t result = changed ? ServerBodies::kMoveDone : ServerBodies::kMoveUnchanged;
    session.Send(CMD_FRIEND, SUB_S_MOVE_RESULT,
                 ServerBodies::MoveResult(targetID, operation, result));
    return true;
}

} // namespace pellix::server
