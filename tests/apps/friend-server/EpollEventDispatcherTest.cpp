// The epoll event dispatcher running a thread of its own: a socket notifier fires, timers fire in
// the order of their deadlines, a zero timer fires turn after turn without starving the rest, and
// events posted from another thread wake the loop.

#include "EpollEventDispatcher.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

namespace pellix::server {

namespace {

// Only against a hang: nothing here is timed.
constexpr int kGuardMs = 30000;
constexpr int kZeroTurns = 3;

// Lives in the dispatcher's thread and notes what reached it there.
class Witness final : public QObject {
public:
    explicit Witness(int fd) : m_nFd(fd) {}

    void Start() {
        auto* notifier = new QSocketNotifier(m_nFd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            if (read(m_nFd, &byte, 1) == 1)
                received.push_back(byte);
            NoteProgress();
        });
        for (const int ms : {30, 10, 20}) {
            QTimer::singleShot(ms, Qt::PreciseTimer, this, [this, ms] {
                fired.push_back(ms);
                NoteProgress();
            });
        }
        auto* zeroTimer = new QTimer(this);
        connect(zeroTimer, &QTimer::timeout, this, [this] {
            ++zeroTurns;
            NoteProgress();
        });
        zeroTimer->start(0);
    }
    // In the witness's thread, before it ends: nothing of it is left to that thread's loop.
    void Stop() {
        qDeleteAll(children());
        moveToThread(QCoreApplication::instance()->thread());
    }
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++posted;
        NoteProgress();
        return true;
    }

    std::string received;
    std::vector<int> fired;
    int zeroTurns = 0;
    int posted = 0;
    QSemaphore everythingCame;

private:
    void NoteProgress() {
        if (!m_bDone && !received.empty() && fired.size() == 3 && zeroTurns >= kZeroTurns &&
            posted > 0) {
            m_bDone = true;
            everythingCame.release();
        }
    }

    int m_nFd;
    bool m_bDone = false;
};

} // namespace

TEST(EpollEventDispatcherTest, SocketsTimersZeroTimersAndPostedEventsReachTheirObjects) {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    QThread thread;
    thread.setEventDispatcher(new EpollEventDispatcher);
    Witness witness(fds[0]);
    witness.moveToThread(&thread);
    thread.start();
    // Both are posted from this thread, so the loop must be woken for them.
    QMetaObject::invokeMethod(&witness, &Witness::Start, Qt::QueuedConnection);
    QCoreApplication::postEvent(&witness, new QEvent(QEvent::User));
    ASSERT_EQ(write(fds[1], "x", 1), 1);

    const bool everythingCame = witness.everythingCame.tryAcquire(1, kGuardMs);
    QMetaObject::invokeMethod(&witness, &Witness::Stop, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    close(fds[0]);
    close(fds[1]);
    ASSERT_TRUE(everythingCame);
    EXPECT_EQ(witness.received, "x");
    EXPECT_EQ(witness.fired, (std::vector<int>{10, 20, 30}));
    EXPECT_GE(witness.zeroTurns, kZeroTurns);
    EXPECT_EQ(witness.posted, 1);
}

} // namespace pellix::server
