#pragma once
// An event dispatcher for a thread holding thousands of sockets. Qt's own one for UNIX polls
// every socket notifier on every turn; this one keeps them in an epoll set, so that a turn costs
// what is ready rather than what is open. Timers are kept in deadline order. Install it with
// QCoreApplication::setEventDispatcher before the application object is made (or
// QThread::setEventDispatcher before the thread starts).

#include <QAbstractEventDispatcher>
#include <QAtomicInt>

#include <chrono>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace pellix::server {

class EpollEventDispatcher final : public QAbstractEventDispatcher {
    Q_OBJECT
public:
    explicit EpollEventDispatcher(QObject* parent = nullptr);
    ~EpollEventDispatcher() override;

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    void registerSocketNotifier(QSocketNotifier* notifier) override;
    void unregisterSocketNotifier(QSocketNotifier* notifier) override;
    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType,
                       QObject* object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject* object) override;
    QList<TimerInfo> registeredTimers(QObject* object) const override;
    int remainingTime(int timerId) override;
    void wakeUp() override;
    void interrupt() override;

private:
    using Clock = std::chrono::steady_clock;
    // The notifiers of one descriptor. The serial tells readiness reported for it from readiness
    // of an earlier descriptor that had the same number; 0 while the descriptor has none.
    struct Watch {
        QSocketNotifier* notifiers[3] = {};
        uint32_t serial = 0;
        // The events the epoll set has for it; 0 while it is not in the set.
        uint32_t polled = 0;
        bool changed = false;
    };
    struct Timer {
        qint64 interval = 0;
        Qt::TimerType type = Qt::CoarseTimer;
        QObject* object = nullptr;
        Clock::time_point deadline;
        uint64_t serial = 0;
        // Its event is being delivered: a loop run from inside it does not fire it again.
        bool firing = false;
    };
    using TimerKey = std::pair<Clock::time_point, uint64_t>;

    // A notifier that comes and goes within one turn (a socket waiting to write, then written)
    // costs the epoll set nothing: changes are applied when the turn waits.
    void Update(int fd, Watch& watch);
    Watch* Find(int fd);
    void ApplyChanges();
    // How long the wait may last: -1 for no limit.
    int WaitMs(bool mayWait) const;
    int Wait(int timeoutMs, bool socketsToo);
    void Dispatch(int fd, uint32_t serial, uint32_t events);
    void Activate(int fd, uint32_t serial, int type);
    int ActivateDueTimers();
    void DrainWakeUps();

    int m_nEpoll = -1;
    int m_nWakeFd = -1;
    QAtomicInt m_WakeUpSent;
    QAtomicInt m_Interrupted;
    // By descriptor: they are small numbers, and a lookup costs no hashing.
    std::vector<Watch> m_Watches;
    std::vector<int> m_Changed;
    // Descriptors epoll refuses (regular files): always ready, as poll would have them.
    std::vector<int> m_AlwaysReady;
    uint32_t m_nWatchSerial = 0;
    std::unordered_map<int, Timer> m_Timers;
    std::map<TimerKey, int> m_Deadlines;
    std::unordered_multimap<QObject*, int> m_TimersOf;
    uint64_t m_nTimerSerial = 0;
};

} // namespace pellix::server
