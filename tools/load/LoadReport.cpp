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
    char line[512];
    std::snprintf(line, sizeof line,
                  "{\"connected\":%lld,\"logons_per_s\":%.1f,\"chats_sent\":%lld,"
                  "\"chats_received\":%lld,\"chat_p50_us\":%lld,\"chat_p99_us\":%lld}",
                  static_cast<long long>(report.connected), report.logonsPerSecond,
                  static_cast<long long>(report.chatsSent),
                  static_cast<long long>(report.chatsReceived),
                  static_cast<long long>(LatencyPercentile(report.latencies, 0.5)),
                  static_cast<long long>(LatencyPercentile(report.latencies, 0.99)));
    std::string json = line;
    const auto addSplit = [&json](const char* name, const LatencySplit& split) {
        if (split.received == 0)
            return;
        char keys[160];
        std::snprintf(keys, sizeof keys, ",\"%s_p50_us\":%lld,\"%s_p99_us\":%lld", name,
                      static_cast<long long>(LatencyPercentile(split.latencies, 0.5)), name,
                      static_cast<long long>(LatencyPercentile(split.latencies, 0.99)));
        json.insert(json.size() - 1, keys);
    };
    addSplit("same_node", report.sameNode);
    addSplit("cross_node", report.crossNode);
    return json;
}

} // namespace pellix::load
