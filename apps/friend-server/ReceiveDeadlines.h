#pragma once
// When each session of a server last completed a frame, in that order, with one timer for them
// all: a session that completes none for the receive timeout is dropped. A frame moves its
// session to the back in constant time, and the timer only ever looks at the front.

#include <QTimer>

#include <chrono>
#include <list>

namespace pellix::server {

class ClientSession;

class ReceiveDeadlines {
public:
    using Clock = std::chrono::steady_clock;

    explicit ReceiveDeadlines(std::chrono::milliseconds timeout);
    ReceiveDeadlines(const ReceiveDeadlines&) = delete;
    ReceiveDeadlines& operator=(const ReceiveDeadlines&) = delete;

    struct Entry {
        ClientSession* session;
        Clock::time_point lastFrame;
    };
    using Handle = std::list<Entry>::iterator;

    // From now, as if a frame had just come.
    Handle Add(ClientSession& session);
    void FrameCame(Handle handle);
    void Remove(Handle handle);

private:
    void DropIdle();
    void Arm();

    std::chrono::milliseconds m_Timeout;
    std::list<Entry> m_Order;
    QTimer m_Timer;
};

} // namespace pellix::server
