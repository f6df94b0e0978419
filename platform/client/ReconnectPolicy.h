#pragma once
// Delays between connection attempts of the client service: exponential backoff from a base
// delay, doubling up to a ceiling, each delay shortened by a random share so that many clients
// cut off together do not come back in step. Owned by the client service.

#include <cstdint>

class ReconnectPolicy {
public:
    static constexpr int kDefaultBaseDelayMs = 1000;
    static constexpr int kDefaultMaxDelayMs = 30000;
    // The largest share of a delay that jitter takes off, in percent.
    static constexpr int kJitterPercent = 20;

    // Delays below 1 ms are taken as 1 ms; a ceiling below the base is raised to the base.
    void SetDelays(int baseDelayMs, int maxDelayMs);

    // The nominal delay of the next attempt, before jitter.
    int NominalDelayMs() const;
    // The delay to wait before the next attempt; each call moves on to the next attempt.
    int NextDelayMs();
    // A connection worked: the next failure starts from the base again.
    void Reset() { m_nAttempt = 0; }

private:
    int m_nBaseDelayMs = kDefaultBaseDelayMs;
    int m_nMaxDelayMs = kDefaultMaxDelayMs;
    int m_nAttempt = 0;
};
