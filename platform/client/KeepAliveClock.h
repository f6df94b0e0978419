#pragma once
// The clock of a connection's keep-alive: the ping after a quiet spell of sending and the drop
// after a silence in receiving. The library's own clock runs on Qt timers; a test may put one of
// its own in place to let minutes pass at once.

#include <cstdint>
#include <functional>
#include <memory>

class IKeepAliveTimer {
public:
    virtual ~IKeepAliveTimer() = default;
    // Fires once, intervalMs from now, unless stopped or started again before.
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
};

class IKeepAliveClock {
public:
    virtual ~IKeepAliveClock() = default;
    // A stopped timer; onTimeout never runs after the timer is destroyed.
    virtual std::unique_ptr<IKeepAliveTimer> CreateTimer(std::function<void()> onTimeout) = 0;
    // Milliseconds since some fixed point of this clock, for deadlines timed on it.
    virtual std::int64_t NowMs() const = 0;
};

// The clock of Qt's timers on the calling thread's event loop.
IKeepAliveClock& SystemKeepAliveClock();
