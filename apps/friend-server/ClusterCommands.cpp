// The cluster's side of FriendCommandHandler: commands that other nodes send for the users
// logged on here, and what a node learns of users logged on elsewhere.

#include "FriendCommandHandler.h"

#include "ClientSession.h"
#include "ServerBodies.h"
#include "records/FriendCommands.h"

#include <QtGlobal>

#include <exception>

namespace pellix::server {

void FriendCommandHandler::OnLoggedOnElsewhere(int32_t userID) {
    ClientSession* session = OnlineSession(userID);
    if (session == nullptr)
        return;
    // As for a second log-on here: the old connection leaves without an offline notice.
    m_Online.erase(userID);
    session->SetUserID(0);
    session->Drop();
}

void FriendCommandHandler::OnRemotePresence(const std::vector<int32_t>& users, bool online) {
    try {
        for (const int32_t userID : users)
            TellFriendsHere(userID, m_Store.FriendsOf(userID),
                            online ? kStateOnline : kStateOffline);
    } catch (const std::exception& error) {
        qWarning("cluster: friends of %zu users were not told of their presence: %s", users.size(),
                 error.what());
    }
}

void FriendCommandHandler::OnClusterCommand(const ClusterMessage& message) {
    try {
        HandleClusterCommand(message);
    } catch (const std::exception& error) {
        qWarning("cluster: a command of kind %d for user %d failed: %s",
                 static_cast<int>(message.kind), message.otherID, error.what());
    }
}

void FriendCommandHandler::HandleClusterCommand(const ClusterMessage& message) {
    switch (message.kind) {
    case ClusterKind::PresenceNotice:
        TellFriendsHere(message.userID, message.users, message.flag ? kStateOnline : kStateOffline);
        return;
    case ClusterKind::Chat:
        DeliverChatHere(message.userID, message.otherID, message.text);
        return;
    case ClusterKind::AckedChat:
        DeliverAckedChatHere({message.userID, message.messageID, message.text}, message.otherID);
        return;
    case ClusterKind::Shake:
        SendShake(message.userID, message.otherID);
        return;
    case ClusterKind::FriendRequest:
        if (ClientSession* target = OnlineSession(message.otherID)) {
            if (const std::optional<PendingRequest> request =
                    m_Store.FindRequest(message.userID, message.otherID))
                SendRequest(*target, *request);
        }
        return;
    case ClusterKind::FriendReply:
        SendFriendReply(message.userID, message.otherID, message.flag);
        return;
    case ClusterKind::NewFriend:
        SendNewFriendHere(message.userID, message.otherID);
        return;
    case ClusterKind::QueuePoke:
        HandOverQueue(message.userID);
        return;
    default:
        return;
    }
}

void FriendCommandHandler::HandOverQueue(int32_t userID) {
    ClientSession* session = OnlineSession(userID);
    // A session that is taking its queue, or will once it has said what it takes, reads it all.
    if (session == nullptr || session->AwaitsFirstCommand() ||
        m_OfflineQueue.IsDelivering(*session))
        return;
    m_OfflineQueue.StartDelivery(*session);
}

} // namespace pellix::server
