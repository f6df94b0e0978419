#include "EpollEventDispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace pellix::server {

namespace {

// Descriptors handled per wait; the rest stay ready for the next turn.
constexpr int kReadyPerTurn = 512;

uint64_t EpollData(int fd, uint32_t serial) {
    return static_cast<uint32_t>(fd) | static_cast<uint64_t>(serial) << 32;
}

} // namespace

EpollEventDispatcher::EpollEventDispatcher(QObject* parent)
    : QAbstractEventDispatcher(parent), m_nEpoll(epoll_create1(EPOLL_CLOEXEC)),
      m_nWakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (m_nEpoll < 0 || m_nWakeFd < 0)
        qFatal("no epoll set or eventfd for the event loop: %s", std::strerror(errno));
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.u64 = EpollData(m_nWakeFd, 0);
    if (epoll_ctl(m_nEpoll, EPOLL_CTL_ADD, m_nWakeFd, &wake) != 0)
        qFatal("the event loop cannot watch its eventfd: %s", std::strerror(errno));
}

EpollEventDispatcher::~EpollEventDispatcher() {
    close(m_nWakeFd);
    close(m_nEpoll);
}

bool EpollEventDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags) {
    m_Interrupted.storeRelaxed(0);
    Q_EMIT awake();
    QCoreApplication::sendPostedEvents();
    if (m_Interrupted.loadRelaxed() != 0)
        return false;
    const bool mayWait = flags.testFlag(QEventLoop::WaitForMoreEvents);
    if (mayWait)
        Q_EMIT aboutToBlock();
    int handled = Wait(WaitMs(mayWait), !flags.testFlag(QEventLoop::ExcludeSocketNotifiers));
    if (!flags.testFlag(QEventLoop::X11ExcludeTimers))
        handled += ActivateDueTimers();
    return handled > 0;
}

int EpollEventDispatcher::WaitMs(bool mayWait) const {
    if (!mayWait)
        return 0;
    for (const auto& [key, id] : m_Deadlines) {
        // A timer whose event is still being delivered does not fire again until it returns.
        if (m_Timers.at(id).firing)
            continue;
        const Clock::duration left = key.first - Clock::now();
        if (left <= Clock::duration::zero())
            return 0;
        return static_cast<int>(
            std::min<int64_t>(std::chrono::ceil<std::chrono::milliseconds>(left).count(), INT_MAX));
    }
    return -1;
}

int EpollEventDispatcher::Wait(int timeoutMs, bool socketsToo) {
    if (!socketsToo) {
        pollfd wake{m_nWakeFd, POLLIN, 0};
        if (poll(&wake, 1, timeoutMs) <= 0)
            return 0;
        DrainWakeUps();
        return 1;
    }
    ApplyChanges();
    if (!m_AlwaysReady.empty())
        timeoutMs = 0;
    std::array<epoll_event, kReadyPerTurn> ready;
    const int count = epoll_wait(m_nEpoll, ready.data(), kReadyPerTurn, timeoutMs);
    int handled = 0;
    for (int i = 0; i < count; ++i) {
        const int fd = static_cast<int>(static_cast<uint32_t>(ready[i].data.u64));
        if (fd == m_nWakeFd)
            DrainWakeUps();
        else
            Dispatch(fd, static_cast<uint32_t>(ready[i].data.u64 >> 32), ready[i].events);
        ++handled;
    }
    const std::vector<int> alwaysReady = m_AlwaysReady;
    for (const int fd : alwaysReady) {
        if (const Watch* watch = Find(fd))
            Dispatch(fd, watch->serial, EPOLLIN | EPOLLOUT);
        ++handled;
    }
    return handled;
}

void EpollEventDispatcher::Dispatch(int fd, uint32_t serial, uint32_t events) {
    // As with poll: a hang-up or an error is news to every notifier of the descriptor.
    constexpr uint32_t kEnded = EPOLLHUP | EPOLLERR;
    if ((events & (EPOLLIN | kEnded)) != 0)
        Activate(fd, serial, QSocketNotifier::Read);
    if ((events & (EPOLLOUT | kEnded)) != 0)
        Activate(fd, serial, QSocketNotifier::Write);
    if ((events & (EPOLLPRI | kEnded)) != 0)
        Activate(fd, serial, QSocketNotifier::Exception);
}

void EpollEventDispatcher::Activate(int fd, uint32_t serial, int type) {
    // Looked up afresh each time: an earlier notifier's handler may have ended this one.
    const Watch* watch = Find(fd);
    if (watch == nullptr || watch->serial != serial)
        return;
    QSocketNotifier* notifier = watch->notifiers[type];
    if (notifier == nullptr)
        return;
    QEvent activation(QEvent::SockAct);
    QCoreApplication::sendEvent(notifier, &activation);
}

EpollEventDispatcher::Watch* EpollEventDispatcher::Find(int fd) {
    if (fd < 0 || static_cast<std::size_t>(fd) >= m_Watches.size())
        return nullptr;
    Watch& watch = m_Watches[static_cast<std::size_t>(fd)];
    return watch.serial != 0 ? &watch : nullptr;
}

void EpollEventDispatcher::DrainWakeUps() {
    uint64_t count = 0;
    while (read(m_nWakeFd, &count, sizeof count) < 0 && errno == EINTR) {
    }
    m_WakeUpSent.storeRelease(0);
}

void EpollEventDispatcher::registerSocketNotifier(QSocketNotifier* notifier) {
    const int fd = static_cast<int>(notifier->socket());
    if (fd < 0)
        return;
    if (static_cast<std::size_t>(fd) >= m_Watches.size())
        m_Watches.resize(static_cast<std::size_t>(fd) + 1);
    Watch& watch = m_Watches[static_cast<std::size_t>(fd)];
    if (watch.serial == 0)
        watch.serial = ++m_nWatchSerial;
    watch.notifiers[notifier->type()] = notifier;
    Update(fd, watch);
}

void EpollEventDispatcher::unregisterSocketNotifier(QSocketNotifier* notifier) {
    const int fd = static_cast<int>(notifier->socket());
    Watch* watch = Find(fd);
    if (watch == nullptr || watch->notifiers[notifier->type()] != notifier)
        return;
    watch->notifiers[notifier->type()] = nullptr;
    Update(fd, *watch);
}

namespace {

uint32_t EventsOf(const QSocketNotifier* const (&notifiers)[3]) {
    uint32_t events = 0;
    if (notifiers[QSocketNotifier::Read] != nullptr)
        events |= EPOLLIN;
    if (notifiers[QSocketNotifier::Write] != nullptr)
        events |= EPOLLOUT;
    if (notifiers[QSocketNotifier::Exception] != nullptr)
        events |= EPOLLPRI;
    return events;
}

} // namespace

void EpollEventDispatcher::Update(int fd, Watch& watch) {
    if (EventsOf(watch.notifiers) != 0) {
        if (!watch.changed)
            m_Changed.push_back(fd);
        watch.changed = true;
        return;
    }
    // At once: the descriptor may be closed next, and its number reused before the turn waits.
    // Fails harmlessly when it was closed first: epoll forgot it then.
    if (watch.polled != 0)
        epoll_ctl(m_nEpoll, EPOLL_CTL_DEL, fd, nullptr);
    std::erase(m_AlwaysReady, fd);
    watch = Watch();
}

void EpollEventDispatcher::ApplyChanges() {
    for (const int fd : m_Changed) {
        Watch* found = Find(fd);
        if (found == nullptr || !found->changed)
            continue;
        Watch& watch = *found;
        watch.changed = false;
        epoll_event event{};
        event.events = EventsOf(watch.notifiers);
        event.data.u64 = EpollData(fd, watch.serial);
        if (event.events == watch.polled ||
            std::find(m_AlwaysReady.begin(), m_AlwaysReady.end(), fd) != m_AlwaysReady.end())
            continue;
        const int operation = watch.polled != 0 ? EPOLL_CTL_MOD : EPOLL_CTL_ADD;
        if (epoll_ctl(m_nEpoll, operation, fd, &event) == 0) {
            watch.polled = event.events;
        } else if (errno == EPERM) {
            m_AlwaysReady.push_back(fd);
        } else {
            qWarning("the event loop cannot watch descriptor %d: %s", fd, std::strerror(errno));
        }
    }
    m_Changed.clear();
}

void EpollEventDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType,
                                         QObject* object) {
    Timer timer;
    timer.interval = interval;
    timer.type = timerType;
    timer.object = object;
    timer.deadline = Clock::now() + std::chrono::milliseconds(interval);
    timer.serial = ++m_nTimerSerial;
    m_Deadlines.emplace(TimerKey{timer.deadline, timer.serial}, timerId);
    m_Timers.insert_or_assign(timerId, timer);
    m_TimersOf.emplace(object, timerId);
}

bool EpollEventDispatcher::unregisterTimer(int timerId) {
    const auto found = m_Timers.find(timerId);
    if (found == m_Timers.end())
        return false;
    m_Deadlines.erase(TimerKey{found->second.deadline, found->second.serial});
    auto [first, last] = m_TimersOf.equal_range(found->second.object);
    for (; first != last; ++first) {
        if (first->second == timerId) {
            m_TimersOf.erase(first);
            break;
        }
    }
    m_Timers.erase(found);
    return true;
}

bool EpollEventDispatcher::unregisterTimers(QObject* object) {
    const auto [first, last] = m_TimersOf.equal_range(object);
    if (first == last)
        return false;
    for (auto it = first; it != last; ++it) {
        const auto found = m_Timers.find(it->second);
        m_Deadlines.erase(TimerKey{found->second.deadline, found->second.serial});
        m_Timers.erase(found);
    }
    m_TimersOf.erase(first, last);
    return true;
}

QList<QAbstractEventDispatcher::TimerInfo>
EpollEventDispatcher::registeredTimers(QObject* object) const {
    QList<TimerInfo> timers;
    const auto [first, last] = m_TimersOf.equal_range(object);
    for (auto it = first; it != last; ++it) {
        const Timer& timer = m_Timers.at(it->second);
        timers.append(TimerInfo(it->second, static_cast<int>(timer.interval), timer.type));
    }
    return timers;
}

int EpollEventDispatcher::remainingTime(int timerId) {
    const auto found = m_Timers.find(timerId);
    if (found == m_Timers.end())
        return -1;
    const Clock::duration left = found->second.deadline - Clock::now();
    return static_cast<int>(
        std::max<int64_t>(std::chrono::ceil<std::chrono::milliseconds>(left).count(), 0));
}

int EpollEventDispatcher::ActivateDueTimers() {
    if (m_Deadlines.empty())
        return 0;
    // Those due when the turn began, each once: a zero timer leaves the sockets their turn.
    const Clock::time_point now = Clock::now();
    std::vector<std::pair<int, uint64_t>> due;
    for (auto it = m_Deadlines.begin(); it != m_Deadlines.end() && it->first.first <= now; ++it)
        due.emplace_back(it->second, it->first.second);
    int fired = 0;
    for (const auto& [id, serial] : due) {
        auto found = m_Timers.find(id);
        if (found == m_Timers.end() || found->second.serial != serial || found->second.firing)
            continue;
        Timer& timer = found->second;
        m_Deadlines.erase(TimerKey{timer.deadline, serial});
        timer.deadline += std::chrono::milliseconds(timer.interval);
        if (timer.deadline < now)
            timer.deadline = now + std::chrono::milliseconds(timer.interval);
        m_Deadlines.emplace(TimerKey{timer.deadline, serial}, id);
        timer.firing = true;
        QTimerEvent event(id);
        QCoreApplication::sendEvent(timer.object, &event);
        ++fired;
        // The event may have killed the timer, or killed it and reused its id.
        found = m_Timers.find(id);
        if (found != m_Timers.end() && found->second.serial == serial)
            found->second.firing = false;
    }
    return fired;
}

void EpollEventDispatcher::wakeUp() {
    if (!m_WakeUpSent.testAndSetAcquire(0, 1))
        return;
    const uint64_t one = 1;
    while (write(m_nWakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void EpollEventDispatcher::interrupt() {
    m_Interrupted.storeRelaxed(1);
    wakeUp();
}

} // namespace pellix::server
