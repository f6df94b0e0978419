#pragma once
// A keep-alive clock that stands still until the test moves it: Advance lets any span pass at
// once, firing the timers that fall due on the way in the order they fall due.

#include "client/KeepAliveClock.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ManualKeepAliveClock final : public IKeepAliveClock {
public:
    std::unique_ptr<IKeepAliveTimer> CreateTimer(std::function<void()> onTimeout) override {
        return std::make_unique<Timer>(*this, std::move(onTimeout));
    }

    void Advance(int64_t ms) {
        const int64_t until = m_nNow + ms;
        while (Timer* next = NextDueBy(until)) {
            m_nNow = next->due;
            next->running = false;
            // The callback may start, stop or destroy timers, this one included.
            const std::function<void()> callback = next->onTimeout;
            callback();
        }
        m_nNow = until;
    }

    int64_t NowMs() const override { return m_nNow; }

private:
    struct Timer final : IKeepAliveTimer {
        Timer(ManualKeepAliveClock& clock, std::function<void()> callback)
            : owner(clock), onTimeout(std::move(callback)) {
            owner.m_Timers.push_back(this);
        }
        ~Timer() override { std::erase(owner.m_Timers, this); }
        void Start(int intervalMs) override {
            due = owner.m_nNow + intervalMs;
            running = true;
        }
        void Stop() override { running = false; }

        ManualKeepAliveClock& owner;
        std::function<void()> onTimeout;
        int64_t due = 0;
        bool running = false;
    };

    Timer* NextDueBy(int64_t until) const {
        Timer* next = nullptr;
        for (Timer* timer : m_Timers) {
            if (timer->running && timer->due <= until &&
                (next == nullptr || timer->due < next->due))
                next = timer;
        }
        return next;
    }

    std::vector<Timer*> m_Timers;
    int64_t m_nNow = 0;
};
