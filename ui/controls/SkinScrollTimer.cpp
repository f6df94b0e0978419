#include "SkinScrollTimer.h"

namespace pellix {

CSkinScrollTimer::CSkinScrollTimer() {
    // 50 ms steps are felt; the default coarse timer may stretch them by a twentieth.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_handler)
            m_handler();
    });
}

void CSkinScrollTimer::SetTimeoutHandler(std::function<void()> handler) {
    m_handler = std::move(handler);
}

} // namespace pellix
