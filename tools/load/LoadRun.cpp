#include "LoadRun.h"

#include "SteadyClock.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

namespace pellix::load {

namespace {

// The log-on phase ends when this long passes without a list or a failure: an address where
// nothing answers must not hold the run.
constexpr int kLogonStallMs = 10000;
// The module's client library pings after 30 s without sending anything.
constexpr int64_t kPingIntervalMs = 30000;
constexpr int kPingCheckMs = 1000;
// The chats due go out every millisecond: a chat sent in a larger burst would wait for the ones
// before it at both ends, and its latency would be the burst's.
constexpr int kChatTickMs = 1;
// After the hold, how long the chats still on their way may take.
constexpr int kDrainMs = 2000;
// Tries at finding a user with a friend online before a chat is given up.
constexpr int kChatPicks = 16;
// Latencies kept for the percentiles; beyond them a run keeps a random sample.
constexpr std::size_t kMaxLatencies = 1000000;

constexpr quint32 kLoopbackNet = 0x7F000000;
constexpr std::size_t kLoopbackSources = 254;

} // namespace

LoadRun::LoadRun(LoadOptions options, Done done)
    : m_Options(std::move(options)), m_Done(std::move(done)),
      m_ChatPrefix("pellix-load " + std::to_string(QCoreApplication::applicationPid()) + " ") {
    m_StallTimer.setSingleShot(true);
    m_StallTimer.setInterval(kLogonStallMs);
    QObject::connect(&m_StallTimer, &QTimer::timeout, [this] { EndLogons(); });
    m_ChatTimer.setTimerType(Qt::PreciseTimer);
    m_ChatTimer.setInterval(kChatTickMs);
    QObject::connect(&m_ChatTimer, &QTimer::timeout, [this] { SendDueChats(); });
    m_PingTimer.setInterval(kPingCheckMs);
    QObject::connect(&m_PingTimer, &QTimer::timeout, [this] { PingIdle(); });
    m_PhaseTimer.setSingleShot(true);
    QObject::connect(&m_PhaseTimer, &QTimer::timeout, [this] { OnPhaseTimer(); });
}

void LoadRun::Start() {
    m_Connections.reserve(static_cast<std::size_t>(m_Options.UserCount()));
    QTimer::singleShot(0, &m_StallTimer, [this] {
        m_nFirstConnectUs = SteadyMicroseconds();
        m_StallTimer.start();
        m_PingTimer.start();
        OpenMore();
    });
}

void LoadRun::OpenMore() {
    // A connection that fails at once reports from inside Open: this loop goes on for it.
    if (m_bOpening)
        return;
    m_bOpening = true;
    const auto count = static_cast<std::size_t>(m_Options.UserCount());
    while (m_Phase == Phase::LoggingOn && m_nInFlight < m_Options.logonsInFlight &&
           m_Connections.size() < count) {
        const std::size_t index = m_Connections.size();
        const Endpoint& server = m_Options.servers[index % m_Options.servers.size()];
        m_Connections.push_back(std::make_unique<LoadConnection>(
            m_Options.firstUser + static_cast<int32_t>(index), *this));
        ++m_nInFlight;
        m_Connections.back()->Open(SourceFor(index, server), server, m_Options.token);
    }
    m_bOpening = false;
    EndLogonsWhenAllAnswered();
}

QHostAddress LoadRun::SourceFor(std::size_t index, const Endpoint& server) const {
    if (server.host.protocol() != QAbstractSocket::IPv4Protocol || !server.host.isLoopback())
        return {};
    return QHostAddress(kLoopbackNet + 1 + static_cast<quint32>(index % kLoopbackSources));
}

void LoadRun::EndLogonsWhenAllAnswered() {
    if (m_Phase == Phase::LoggingOn && m_nInFlight == 0 &&
        m_Connections.size() == static_cast<std::size_t>(m_Options.UserCount()))
        EndLogons();
}

void LoadRun::OnListed(LoadConnection& connection) {
    if (m_Phase != Phase::LoggingOn)
        return;
    --m_nInFlight;
    m_nLastListUs = SteadyMicroseconds();
    m_Online.push_back(static_cast<std::size_t>(connection.UserID() - m_Options.firstUser));
    m_StallTimer.start();
    OpenMore();
}

void LoadRun::OnClosed(LoadConnection&, bool wasListed) {
    if (wasListed) {
        ++m_nDropped;
        return;
    }
    if (m_Phase != Phase::LoggingOn)
        return;
    --m_nInFlight;
    m_StallTimer.start();
    OpenMore();
}

void LoadRun::EndLogons() {
    m_StallTimer.stop();
    m_Phase = Phase::Holding;
    for (const auto& connection : m_Connections) {
        if (connection->IsLoggingOn())
            connection->Close();
    }
    m_Report.connected = static_cast<int64_t>(m_Online.size());
    if (m_Report.connected > 0) {
        const int64_t span = std::max<int64_t>(m_nLastListUs - m_nFirstConnectUs, 1);
        m_Report.logonsPerSecond = static_cast<double>(m_Report.connected) * 1e6 / span;
    }
    std::fprintf(stderr, "pellix-load: %lld of %d users on, %.1f log-ons a second\n",
                 static_cast<long long>(m_Report.connected), m_Options.UserCount(),
                 m_Report.logonsPerSecond);
    if (m_Report.connected == 0) {
        Finish();
        return;
    }
    m_nHoldStartUs = SteadyMicroseconds();
    if (m_Options.chatsPerSecond > 0)
        m_ChatTimer.start();
    m_PhaseTimer.start(m_Options.holdSeconds * 1000);
}

void LoadRun::SendDueChats() {
    const int64_t due =
        (SteadyMicroseconds() - m_nHoldStartUs) * m_Options.chatsPerSecond / 1000000;
    for (; m_nChatsDue < due; ++m_nChatsDue)
        SendOneChat();
}

void LoadRun::SendOneChat() {
    for (int pick = 0; pick < kChatPicks; ++pick) {
        LoadConnection& sender = *m_Connections[m_Online[m_Random() % m_Online.size()]];
        const std::vector<int32_t>& friends = sender.Friends();
        if (!sender.IsListed() || friends.empty())
            continue;
        const int32_t friendID = friends[m_Random() % friends.size()];
        if (OnlineUser(friendID) == nullptr)
            continue;
        sender.Chat(friendID, m_ChatPrefix + std::to_string(SteadyMicroseconds()));
        ++m_Report.chatsSent;
        return;
    }
}

LoadConnection* LoadRun::OnlineUser(int32_t userID) const {
    if (userID < m_Options.firstUser || userID > m_Options.lastUser)
        return nullptr;
    const auto index = static_cast<std::size_t>(userID - m_Options.firstUser);
    if (index >= m_Connections.size() || !m_Connections[index]->IsListed())
        return nullptr;
    return m_Connections[index].get();
}

void LoadRun::OnChat(LoadConnection& connection, int32_t senderID, const std::string& text) {
    if (m_Phase == Phase::Finished || !text.starts_with(m_ChatPrefix))
        return;
    const char* begin = text.data() + m_ChatPrefix.size();
    const char* end = text.data() + text.size();
    int64_t sentUs = 0;
    const auto [at, error] = std::from_chars(begin, end, sentUs);
    if (error != std::errc() || at != end)
        return;
    const int64_t latencyUs = SteadyMicroseconds() - sentUs;
    KeepLatency(m_Report.latencies, ++m_Report.chatsReceived, latencyUs);
    if (m_Options.servers.size() > 1) {
        const bool cross = ServerOf(senderID) != ServerOf(connection.UserID());
        LatencySplit& split = cross ? m_Report.crossNode : m_Report.sameNode;
        KeepLatency(split.latencies, ++split.received, latencyUs);
    }
    if (m_Phase == Phase::Draining && m_Report.chatsReceived >= m_Report.chatsSent)
        m_PhaseTimer.start(0);
}

std::size_t LoadRun::ServerOf(int32_t userID) const {
    return static_cast<std::size_t>(userID - m_Options.firstUser) % m_Options.servers.size();
}

void LoadRun::KeepLatency(std::vector<int64_t>& kept, int64_t received, int64_t latencyUs) {
    if (kept.size() < kMaxLatencies) {
        kept.push_back(latencyUs);
        return;
    }
    // A uniform sample of all of them, however long the run.
    const auto slot = static_cast<std::size_t>(m_Random() % received);
    if (slot < kMaxLatencies)
        kept[slot] = latencyUs;
}

void LoadRun::PingIdle() {
    const int64_t nowMs = SteadyMicroseconds() / 1000;
    for (const std::size_t index : m_Online)
        m_Connections[index]->PingIfIdle(nowMs, kPingIntervalMs);
}

void LoadRun::OnPhaseTimer() {
    if (m_Phase == Phase::Holding) {
        m_ChatTimer.stop();
        m_Phase = Phase::Draining;
        m_PhaseTimer.start(m_Report.chatsReceived >= m_Report.chatsSent ? 0 : kDrainMs);
        return;
    }
    Finish();
}

void LoadRun::Finish() {
    m_Phase = Phase::Finished;
    m_StallTimer.stop();
    m_ChatTimer.stop();
    m_PingTimer.stop();
    m_PhaseTimer.stop();
    for (const auto& connection : m_Connections)
        connection->Close();
    if (m_nDropped > 0)
        std::fprintf(stderr, "pellix-load: %lld connections lost while held\n",
                     static_cast<long long>(m_nDropped));
    m_Done(m_Report);
}

} // namespace pellix::load
