#pragma once
// This server as one node of several that share a database and serve users as one system,
// joined through NATS. The node keeps a directory of the users logged on at the other nodes,
// from their announcements, and carries commands for those users to their nodes.
//
// Subjects: every node listens on "pellix.cluster.all" (heartbeats, log-ons and log-offs, roster
// requests) and on "pellix.cluster.node.<its id in hex>" (everything meant for its users). A node
// id is drawn at random when the server starts.
//
// One connection per user: each log-on gets a claim, a Lamport clock value of its node (raised
// past every claim the node hears), and the higher claim wins, the node id deciding a tie. A node
// that hears of a higher claim for a user logged on with it ends that session.
//
// Node death: every node sends a heartbeat each fifth of the lease; a node not heard from for
// the lease is taken for dead, and its users for offline. The lease is held in each node's
// memory, from the heartbeats: nothing of it is in the database, which keeps no state of the
// nodes at all. A node that is heard again (or that joins) is asked for its roster.

#include "ClusterMessage.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace pellix::server {

class NatsConnection;

// What the node asks of the server it belongs to.
class ClusterEvents {
public:
    virtual ~ClusterEvents() = default;
    // A user logged on here has logged on at another node since: its session here ends, without
    // an offline notice.
    virtual void OnLoggedOnElsewhere(int32_t userID) = 0;
    // Users of other nodes came or went without a notice to their friends from their own node
    // (a node taken for dead, or one heard again): their friends here are told.
    virtual void OnRemotePresence(const std::vector<int32_t>& users, bool online) = 0;
    // A command for a user of this node (any kind other than the node's own traffic).
    virtual void OnClusterCommand(const ClusterMessage& message) = 0;
};

class ClusterNode final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::seconds kDefaultLease{10};

    // Subscribes, announces itself and asks the others for their rosters. Throws
    // std::runtime_error when NATS refuses the subscriptions. The connection is the caller's.
    ClusterNode(NatsConnection& connection, std::chrono::milliseconds lease = kDefaultLease,
                QObject* parent = nullptr);
    ~ClusterNode() override;

    void SetEvents(ClusterEvents* events) { m_pEvents = events; }
    uint64_t NodeID() const { return m_nNodeID; }

    // The other node a user is logged on at, if any.
    std::optional<uint64_t> NodeOf(int32_t userID) const;
    std::size_t RemoteUserCount() const { return m_Directory.size(); }
    std::size_t KnownNodeCount() const { return m_Nodes.size(); }

    // A user logged on here, or logged off here (only for the session that held the user).
    void LoggedOn(int32_t userID);
    void LoggedOff(int32_t userID);
    // A message for the user was stored because no session of this node took it: the node the
    // user is logged on at, now or within moments, is asked to hand it over.
    void NoteQueued(int32_t userID);
    // Tells the users of that node that userID, logged on or off here, went on- or offline.
    void SendPresenceNotice(uint64_t node, int32_t userID, bool online,
                            std::vector<int32_t> friends);
    // Sends a command to the node; its node field is filled in.
    void Send(uint64_t node, ClusterMessage message);

private:
    struct Holder {
        uint64_t node = 0;
        int64_t claim = 0;
    };
    using Clock = std::chrono::steady_clock;

    void OnReceived(const QByteArray& subject, const QByteArray& data);
    void Handle(const ClusterMessage& message);
    // Notes that the node is alive; a node not known yet is asked for its roster.
    void Touch(uint64_t node);
    void OnPresence(const ClusterMessage& message);
    void OnRemoteLogon(int32_t userID, Holder holder);
    void OnRemoteLogoff(int32_t userID, Holder holder);
    void OnRosterChunk(const ClusterMessage& message);
    void ApplyRoster(uint64_t node, const std::vector<RosterEntry>& roster);
    bool PresenceNoticeIsCurrent(const ClusterMessage& message) const;
    void SendRoster(uint64_t node);
    void Broadcast(ClusterMessage message);
    void Publish(const QByteArray& subject, const ClusterMessage& message);
    void ExpireSilentNodes();
    void RaiseClock(int64_t claim);
    void PokeIfQueued(int32_t userID, uint64_t node);

    NatsConnection& m_Connection;
    ClusterEvents* m_pEvents = nullptr;
    uint64_t m_nNodeID = 0;
    std::chrono::milliseconds m_Lease;
    int64_t m_nClock = 0;
    // Users of other nodes.
    std::unordered_map<int32_t, Holder> m_Directory;
    // Claims of the users logged on here.
    std::unordered_map<int32_t, int64_t> m_LocalClaims;
    std::unordered_map<uint64_t, Clock::time_point> m_Nodes;
    // Rosters being received, chunk by chunk.
    std::unordered_map<uint64_t, std::vector<RosterEntry>> m_IncomingRosters;
    // Users offline everywhere for whom messages were stored lately: their next log-on elsewhere
    // may have read the queue before the message was there.
    std::unordered_map<int32_t, Clock::time_point> m_RecentlyQueued;
    QTimer m_HeartbeatTimer;
    QTimer m_ExpiryTimer;
};

} // namespace pellix::server
