#include "LoadReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pellix::load {

int64_t LatencyPercentile(std::vector<int64_t> latencies, double share) {
    if (latencies.empty())
        return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(share * latencies.size()));
    const std::size_t index = std::clamp<std::size_t>(rank, 1, latencies.size()) - 1;
    std::nth_element(latencies.begin(), latencies.begin() + static_cast<std::ptrdiff_t>(index),
                     latencies.end());
    return latencies[index];
}

std::string ReportJson(const LoadReport& report) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "{\"connected\":%lld,\"logons_per_s\":%.1f,\"chats_sent\":%lld,"
                  "\"chats_received\":%lld,\"chat_p50_us\":%lld,\"chat_p99_us\":%lld}",
                  static_cast<long long>(report.connected), report.logonsPerSecond,
                  static_cast<long long>(report.chatsSent),
                  static_cast<long long>(report.chatsReceived),
                  static_cast<long long>(LatencyPercentile(report.latencies, 0.5)),
                  static_cast<long long>(LatencyPercentile(report.latencies, 0.99)));
    return line;
}

} // namespace pellix::load
