#include "WindowShaker.h"

#include <QWidget>
#include <array>

namespace {

constexpr int kMovesPerCycle = 4;

} // namespace

WindowShaker::WindowShaker(QWidget* window, int dx, int dy, int intervalMs, int cycles)
    : QObject(window), m_pWindow(window), m_origin(window->pos()) {
    connect(&m_timer, &QTimer::timeout, this, &WindowShaker::OnTick);
    Restart(dx, dy, intervalMs, cycles);
}

void WindowShaker::Restart(int dx, int dy, int intervalMs, int cycles) {
    m_pWindow->move(m_origin);
    m_nDx = dx;
    m_nDy = dy;
    m_nMove = 0;
    m_nMovesLeft = std::max(cycles, 0) * kMovesPerCycle;
    m_timer.start(std::max(intervalMs, 1));
}

void WindowShaker::OnTick() {
    if (m_nMovesLeft <= 0) {
        m_timer.stop();
        m_pWindow->move(m_origin);
        deleteLater();
        return;
    }
    const std::array<QPoint, kMovesPerCycle> offsets{QPoint(m_nDx, -m_nDy), QPoint(-m_nDx, m_nDy),
                                                     QPoint(-m_nDx, -m_nDy), QPoint(m_nDx, m_nDy)};
    m_pWindow->move(m_origin + offsets[static_cast<size_t>(m_nMove % kMovesPerCycle)]);
    ++m_nMove;
    --m_nMovesLeft;
}
