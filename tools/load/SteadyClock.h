#pragma once
// The one clock of a load run: chat send times, latencies and the keep-alive all read it.

#include <chrono>
#include <cstdint>

namespace pellix::load {

inline int64_t SteadyMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace pellix::load
