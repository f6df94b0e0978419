#pragma once
// The timer that repeats a held arrow or page part. The skinned bar owns one; tests give it one
// they step by hand, so nothing waits on the clock.

#include <QTimer>
#include <functional>

namespace pellix {

class ISkinScrollTimer {
public:
    virtual ~ISkinScrollTimer() = default;
    // Called on every timeout until Stop.
    virtual void SetTimeoutHandler(std::function<void()> handler) = 0;
    // Times out every intervalMs from now on; a running timer starts over.
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

// The timer of a running program, on the Qt event loop.
class CSkinScrollTimer : public ISkinScrollTimer {
public:
    CSkinScrollTimer();

    void SetTimeoutHandler(std::function<void()> handler) override;
    void Start(int intervalMs) override { m_timer.start(intervalMs); }
    void Stop() override { m_timer.stop(); }
    bool IsActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_handler;
};

} // namespace pellix
