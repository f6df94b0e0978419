#include "NodeRotation.h"

#include <algorithm>

void NodeRotation::Start(std::size_t nodeCount) {
    m_nodeCount = std::max<std::size_t>(nodeCount, 1);
    m_current = 0;
    m_failedInRound = 0;
}

bool NodeRotation::MoveOnAfterFailure() {
    Advance();
    if (++m_failedInRound < m_nodeCount)
        return true;
    m_failedInRound = 0;
    return false;
}

void NodeRotation::MoveOnAfterLoss() {
    Advance();
    m_failedInRound = 0;
}

void NodeRotation::Advance() {
    m_current = (m_current + 1) % m_nodeCount;
}
