#include "ClusterNode.h"

#include "NatsConnection.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QtGlobal>

#include <algorithm>
#include <tuple>
#include <unordered_set>

namespace pellix::server {

namespace {

const QByteArray kAllSubject = QByteArrayLiteral("pellix.cluster.all");
// Roster entries per message: well below what NATS carries by default.
constexpr std::size_t kRosterChunk = 4096;
// How long a message stored for a user online nowhere may still meet that user's log-on at
// another node, whose queue was read before the message was there.
constexpr std::chrono::seconds kQueueRaceWindow{10};
constexpr int kLeaseParts = 5;
constexpr std::chrono::milliseconds kExpiryCheck{1000};

QByteArray NodeSubject(uint64_t node) {
    return QByteArrayLiteral("pellix.cluster.node.") + QByteArray::number(node, 16);
}

uint64_t DrawNodeID() {
    uint64_t id = 0;
    while (id == 0)
        id = QRandomGenerator::system()->generate64();
    return id;
}

} // namespace

ClusterNode::ClusterNode(NatsConnection& connection, std::chrono::milliseconds lease,
                         QObject* parent)
    : QObject(parent), m_Connection(connection), m_nNodeID(DrawNodeID()), m_Lease(lease),
      m_nClock(QDateTime::currentMSecsSinceEpoch()) {
    connect(&m_Connection, &NatsConnection::received, this, &ClusterNode::OnReceived);
    // What was missed while cut off is asked for again; nodes not heard meanwhile have expired.
    connect(&m_Connection, &NatsConnection::reconnected, this,
            [this] { Broadcast({.kind = ClusterKind::RosterRequest}); });
    m_Connection.Subscribe(kAllSubject);
    m_Connection.Subscribe(NodeSubject(m_nNodeID));
    m_HeartbeatTimer.setInterval(
        std::max<std::chrono::milliseconds>(m_Lease / kLeaseParts, std::chrono::milliseconds(1)));
    connect(&m_HeartbeatTimer, &QTimer::timeout, this,
            [this] { Broadcast({.kind = ClusterKind::Heartbeat}); });
    m_HeartbeatTimer.start();
    m_ExpiryTimer.setInterval(std::min(kExpiryCheck, m_Lease));
    connect(&m_ExpiryTimer, &QTimer::timeout, this, &ClusterNode::ExpireSilentNodes);
    m_ExpiryTimer.start();
    Broadcast({.kind = ClusterKind::Heartbeat});
    Broadcast({.kind = ClusterKind::RosterRequest});
}

ClusterNode::~ClusterNode() = default;

std::optional<uint64_t> ClusterNode::NodeOf(int32_t userID) const {
    const auto found = m_Directory.find(userID);
    if (found == m_Directory.end())
        return std::nullopt;
    return found->second.node;
}

void ClusterNode::LoggedOn(int32_t userID) {
    const int64_t claim = ++m_nClock;
    m_LocalClaims[userID] = claim;
    // The node that held the user hears this and ends its session.
    m_Directory.erase(userID);
    Broadcast({.kind = ClusterKind::Presence, .userID = userID, .claim = claim, .flag = true});
}

void ClusterNode::LoggedOff(int32_t userID) {
    const auto found = m_LocalClaims.find(userID);
    if (found == m_LocalClaims.end())
        return;
    const int64_t claim = found->second;
    m_LocalClaims.erase(found);
    Broadcast({.kind = ClusterKind::Presence, .userID = userID, .claim = claim, .flag = false});
}

void ClusterNode::NoteQueued(int32_t userID) {
    if (const std::optional<uint64_t> node = NodeOf(userID)) {
        Send(*node, {.kind = ClusterKind::QueuePoke, .userID = userID});
        return;
    }
    m_RecentlyQueued[userID] = Clock::now();
}

void ClusterNode::SendPresenceNotice(uint64_t node, int32_t userID, bool online,
                                     std::vector<int32_t> friends) {
    const auto claim = m_LocalClaims.find(userID);
    Send(node, {.kind = ClusterKind::PresenceNotice,
                .userID = userID,
                .claim = claim == m_LocalClaims.end() ? 0 : claim->second,
                .flag = online,
                .users = std::move(friends)});
}

void ClusterNode::Send(uint64_t node, ClusterMessage message) {
    message.node = m_nNodeID;
    Publish(NodeSubject(node), message);
}

void ClusterNode::Broadcast(ClusterMessage message) {
    message.node = m_nNodeID;
    Publish(kAllSubject, message);
}

void ClusterNode::Publish(const QByteArray& subject, const ClusterMessage& message) {
    if (!m_Connection.Publish(subject, EncodeClusterMessage(message)))
        qWarning("cluster: a message of kind %d to %s could not be published",
                 static_cast<int>(message.kind), subject.constData());
}

void ClusterNode::OnReceived(const QByteArray& subject, const QByteArray& data) {
    const std::optional<ClusterMessage> message = DecodeClusterMessage(data);
    if (!message || message->node == 0 || message->node == m_nNodeID) {
        qWarning("cluster: a malformed message on %s was dropped", subject.constData());
        return;
    }
    Handle(*message);
}

void ClusterNode::Handle(const ClusterMessage& message) {
    Touch(message.node);
    switch (message.kind) {
    case ClusterKind::Heartbeat:
        return;
    case ClusterKind::RosterRequest:
        SendRoster(message.node);
        return;
    case ClusterKind::Roster:
        OnRosterChunk(message);
        return;
    case ClusterKind::Presence:
        OnPresence(message);
        return;
    case ClusterKind::PresenceNotice:
        if (!PresenceNoticeIsCurrent(message))
            return;
        break;
    default:
        break;
    }
    if (m_pEvents != nullptr)
        m_pEvents->OnClusterCommand(message);
}

void ClusterNode::Touch(uint64_t node) {
    const bool known = m_Nodes.contains(node);
    m_Nodes[node] = Clock::now();
    if (!known)
        Send(node, {.kind = ClusterKind::RosterRequest});
}

void ClusterNode::RaiseClock(int64_t claim) {
    m_nClock = std::max(m_nClock, claim);
}

void ClusterNode::OnPresence(const ClusterMessage& message) {
    RaiseClock(message.claim);
    const Holder holder{message.node, message.claim};
    if (message.flag)
        OnRemoteLogon(message.userID, holder);
    else
        OnRemoteLogoff(message.userID, holder);
}

void ClusterNode::OnRemoteLogon(int32_t userID, Holder holder) {
    const auto local = m_LocalClaims.find(userID);
    if (local != m_LocalClaims.end()) {
        if (std::tie(holder.claim, holder.node) < std::tie(local->second, m_nNodeID)) {
            // Ours is the newer log-on: the other node is told again, in case it missed it.
            Send(holder.node, {.kind = ClusterKind::Presence,
                               .userID = userID,
                               .claim = local->second,
                               .flag = true});
            return;
        }
        m_LocalClaims.erase(local);
        if (m_pEvents != nullptr)
            m_pEvents->OnLoggedOnElsewhere(userID);
    }
    const auto [found, added] = m_Directory.try_emplace(userID, holder);
    if (!added) {
        if (std::tie(holder.claim, holder.node) < std::tie(found->second.claim, found->second.node))
            return;
        found->second = holder;
    }
    PokeIfQueued(userID, holder.node);
}

void ClusterNode::OnRemoteLogoff(int32_t userID, Holder holder) {
    const auto found = m_Directory.find(userID);
    if (found != m_Directory.end() && found->second.node == holder.node &&
        found->second.claim <= holder.claim)
        m_Directory.erase(found);
}

void ClusterNode::PokeIfQueued(int32_t userID, uint64_t node) {
    const auto queued = m_RecentlyQueued.find(userID);
    if (queued == m_RecentlyQueued.end())
        return;
    m_RecentlyQueued.erase(queued);
    Send(node, {.kind = ClusterKind::QueuePoke, .userID = userID});
}

bool ClusterNode::PresenceNoticeIsCurrent(const ClusterMessage& message) const {
    // A notice overtaken by a later log-on or log-off of that user is not passed on.
    const auto found = m_Directory.find(message.userID);
    if (message.flag)
        return found != m_Directory.end() && found->second.node == message.node &&
               found->second.claim == message.claim;
    return found == m_Directory.end() && !m_LocalClaims.contains(message.userID);
}

void ClusterNode::SendRoster(uint64_t node) {
    ClusterMessage chunk{.kind = ClusterKind::Roster};
    for (const auto& [userID, claim] : m_LocalClaims) {
        chunk.roster.push_back({userID, claim});
        if (chunk.roster.size() == kRosterChunk) {
            Send(node, chunk);
            chunk.roster.clear();
        }
    }
    chunk.flag = true;
    Send(node, chunk);
}

void ClusterNode::OnRosterChunk(const ClusterMessage& message) {
    std::vector<RosterEntry>& incoming = m_IncomingRosters[message.node];
    incoming.insert(incoming.end(), message.roster.begin(), message.roster.end());
    if (!message.flag)
        return;
    const std::vector<RosterEntry> roster = std::move(incoming);
    m_IncomingRosters.erase(message.node);
    ApplyRoster(message.node, roster);
}

void ClusterNode::ApplyRoster(uint64_t node, const std::vector<RosterEntry>& roster) {
    std::unordered_set<int32_t> listed;
    std::vector<int32_t> came;
    for (const RosterEntry& entry : roster) {
        listed.insert(entry.userID);
        RaiseClock(entry.claim);
        const bool knownHere = NodeOf(entry.userID) == node;
        OnRemoteLogon(entry.userID, {node, entry.claim});
        if (!knownHere && NodeOf(entry.userID) == node)
            came.push_back(entry.userID);
    }
    std::vector<int32_t> went;
    for (auto it = m_Directory.begin(); it != m_Directory.end();) {
        if (it->second.node == node && !listed.contains(it->first)) {
            went.push_back(it->first);
            it = m_Directory.erase(it);
        } else {
            ++it;
        }
    }
    if (m_pEvents == nullptr)
        return;
    if (!came.empty())
        m_pEvents->OnRemotePresence(came, true);
    if (!went.empty())
        m_pEvents->OnRemotePresence(went, false);
}

void ClusterNode::ExpireSilentNodes() {
    const Clock::time_point now = Clock::now();
    std::unordered_set<uint64_t> dead;
    for (auto it = m_Nodes.begin(); it != m_Nodes.end();) {
        if (now - it->second > m_Lease) {
            qWarning("cluster: node %llx not heard for %lld ms, its users are offline",
                     static_cast<unsigned long long>(it->first),
                     static_cast<long long>(m_Lease.count()));
            dead.insert(it->first);
            m_IncomingRosters.erase(it->first);
            it = m_Nodes.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(m_RecentlyQueued,
                  [now](const auto& entry) { return now - entry.second > kQueueRaceWindow; });
    if (dead.empty())
        return;
    std::vector<int32_t> went;
    for (auto it = m_Directory.begin(); it != m_Directory.end();) {
        if (dead.contains(it->second.node)) {
            went.push_back(it->first);
            it = m_Directory.erase(it);
        } else {
            ++it;
        }
    }
    if (m_pEvents != nullptr && !went.empty())
        m_pEvents->OnRemotePresence(went, false);
}

} // namespace pellix::server
