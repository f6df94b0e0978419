#pragma once
// What a load run measured, and the one JSON line it prints.

#include <cstdint>
#include <string>
#include <vector>

namespace pellix::load {

struct LoadReport {
    int64_t connected = 0;
    double logonsPerSecond = 0;
    int64_t chatsSent = 0;
    int64_t chatsReceived = 0;
    // Microseconds from a chat's send to its arrival, one for each chat received.
    std::vector<int64_t> latencies;
};

// The value below which the given share of the latencies lies (nearest rank), 0 without any.
int64_t LatencyPercentile(std::vector<int64_t> latencies, double share);

// One line, without its end: connected, logons_per_s, chats_sent, chats_received, chat_p50_us,
// chat_p99_us.
std::string ReportJson(const LoadReport& report);

} // namespace pellix::load
