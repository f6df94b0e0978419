#pragma once
// What a load run measured, and the one JSON line it prints.

#include <cstdint>
#include <string>
#include <vector>

namespace pellix::load {

// The latencies of the chats between users of one kind of pair.
struct LatencySplit {
    int64_t received = 0;
    std::vector<int64_t> latencies;
};

struct LoadReport {
    int64_t connected = 0;
    double logonsPerSecond = 0;
    int64_t chatsSent = 0;
    int64_t chatsReceived = 0;
    // Microseconds from a chat's send to its arrival, one for each chat received.
    std::vector<int64_t> latencies;
    // With several servers: chats between users of one server, and between users of two.
    LatencySplit sameNode;
    LatencySplit crossNode;
};

// The value below which the given share of the latencies lies (nearest rank), 0 without any.
int64_t LatencyPercentile(std::vector<int64_t> latencies, double share);

// One line, without its end: connected, logons_per_s, chats_sent, chats_received, chat_p50_us,
// chat_p99_us, and where chats went between servers and within one, same_node_p50_us,
// same_node_p99_us, cross_node_p50_us and cross_node_p99_us.
std::string ReportJson(const LoadReport& report);

} // namespace pellix::load
