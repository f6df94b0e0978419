#pragma once
// A whole load run on one event loop: logs the users on with a bounded number of log-ons under
// way, holds them for the hold time, pinging as the module does and sending chats at the asked
// rate, gives the chats still on their way a moment, and reports. Owns every connection.

#include "LoadConnection.h"
#include "LoadOptions.h"
#include "LoadReport.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace pellix::load {

class LoadRun final : public ConnectionObserver {
public:
    using Done = std::function<void(const LoadReport&)>;

    LoadRun(LoadOptions options, Done done);

    // Begins once the event loop runs; done is called once, from the event loop.
    void Start();

private:
    enum class Phase : uint8_t { LoggingOn, Holding, Draining, Finished };

    void OnListed(LoadConnection& connection) override;
    void OnClosed(LoadConnection& connection, bool wasListed) override;
    void OnChat(LoadConnection& connection, int32_t senderID, const std::string& text) override;

    void OpenMore();
    QHostAddress SourceFor(std::size_t index, const Endpoint& server) const;
    void EndLogonsWhenAllAnswered();
    void EndLogons();
    void SendDueChats();
    void SendOneChat();
    LoadConnection* OnlineUser(int32_t userID) const;
    // Users go to the servers in turn, by their place in the range.
    std::size_t ServerOf(int32_t userID) const;
    void KeepLatency(std::vector<int64_t>& kept, int64_t received, int64_t latencyUs);
    void PingIdle();
    void OnPhaseTimer();
    void Finish();

    LoadOptions m_Options;
    Done m_Done;
    Phase m_Phase = Phase::LoggingOn;
    // By user, FIRST first; made as their turn to log on comes.
    std::vector<std::unique_ptr<LoadConnection>> m_Connections;
    // Indices of the users whose list arrived; those lost since are skipped when met.
    std::vector<std::size_t> m_Online;
    int m_nInFlight = 0;
    bool m_bOpening = false;
    int64_t m_nDropped = 0;
    int64_t m_nFirstConnectUs = 0;
    int64_t m_nLastListUs = 0;
    int64_t m_nHoldStartUs = 0;
    int64_t m_nChatsDue = 0;
    // Marks this run's chats: "pellix-load <pid> " before the send time.
    std::string m_ChatPrefix;
    std::mt19937 m_Random;
    QTimer m_StallTimer;
    QTimer m_ChatTimer;
    QTimer m_PingTimer;
    QTimer m_PhaseTimer;
    LoadReport m_Report;
};

} // namespace pellix::load
