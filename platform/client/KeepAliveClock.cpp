#include "KeepAliveClock.h"

#include <QTimer>

#include <chrono>

namespace {

class SystemTimer final : public IKeepAliveTimer {
public:
    explicit SystemTimer(std::function<void()> onTimeout) {
        m_Timer.setSingleShot(true);
        QObject::connect(&m_Timer, &QTimer::timeout, std::move(onTimeout));
    }

    void Start(int intervalMs) override { m_Timer.start(intervalMs); }
    void Stop() override { m_Timer.stop(); }

private:
    QTimer m_Timer;
};

class SystemClock final : public IKeepAliveClock {
public:
    std::unique_ptr<IKeepAliveTimer> CreateTimer(std::function<void()> onTimeout) override {
        return std::make_unique<SystemTimer>(std::move(onTimeout));
    }
    std::int64_t NowMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace

IKeepAliveClock& SystemKeepAliveClock() {
    static SystemClock clock;
    return clock;
}
