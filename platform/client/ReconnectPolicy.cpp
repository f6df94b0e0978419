#include "ReconnectPolicy.h"

#include <QRandomGenerator>

#include <algorithm>

void ReconnectPolicy::SetDelays(int baseDelayMs, int maxDelayMs) {
    m_nBaseDelayMs = std::max(baseDelayMs, 1);
    m_nMaxDelayMs = std::max(maxDelayMs, m_nBaseDelayMs);
    m_nAttempt = 0;
}

int ReconnectPolicy::NominalDelayMs() const {
    int64_t delay = m_nBaseDelayMs;
    for (int i = 0; i < m_nAttempt && delay < m_nMaxDelayMs; ++i)
        delay *= 2;
    return static_cast<int>(std::min<int64_t>(delay, m_nMaxDelayMs));
}

int ReconnectPolicy::NextDelayMs() {
    const int nominal = NominalDelayMs();
    const int maxJitter = static_cast<int>(int64_t{nominal} * kJitterPercent / 100);
    const int jitter = maxJitter > 0 ? QRandomGenerator::global()->bounded(maxJitter + 1) : 0;
    if (nominal < m_nMaxDelayMs)
        ++m_nAttempt;
    return std::max(nominal - jitter, 1);
}
