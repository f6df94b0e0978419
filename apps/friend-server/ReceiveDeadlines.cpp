#include "ReceiveDeadlines.h"

#include "ClientSession.h"

#include <vector>

namespace pellix::server {

ReceiveDeadlines::ReceiveDeadlines(std::chrono::milliseconds timeout) : m_Timeout(timeout) {
    m_Timer.setSingleShot(true);
    QObject::connect(&m_Timer, &QTimer::timeout, [this] { DropIdle(); });
}

ReceiveDeadlines::Handle ReceiveDeadlines::Add(ClientSession& session) {
    m_Order.push_back({&session, Clock::now()});
    if (!m_Timer.isActive())
        Arm();
    return std::prev(m_Order.end());
}

void ReceiveDeadlines::FrameCame(Handle handle) {
    handle->lastFrame = Clock::now();
    m_Order.splice(m_Order.end(), m_Order, handle);
}

void ReceiveDeadlines::Remove(Handle handle) {
    m_Order.erase(handle);
}

void ReceiveDeadlines::DropIdle() {
    const Clock::time_point now = Clock::now();
    std::vector<ClientSession*> idle;
    for (const Entry& entry : m_Order) {
        if (now - entry.lastFrame < m_Timeout)
            break;
        idle.push_back(entry.session);
    }
    // Each drop takes its session out of the order.
    for (ClientSession* session : idle)
        session->Drop();
    Arm();
}

void ReceiveDeadlines::Arm() {
    if (m_Order.empty())
        return;
    const Clock::duration left = m_Order.front().lastFrame + m_Timeout - Clock::now();
    m_Timer.start(
        std::max(std::chrono::ceil<std::chrono::milliseconds>(left), std::chrono::milliseconds(0)));
}

} // namespace pellix::server
