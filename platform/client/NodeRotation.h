#pragma once
// Which node of a server address the client service tries next, and whether it waits first.
// Attempts go round the nodes in the order given. A failed attempt moves on to the next node at
// once until every node has failed in a row (a round); only then does the service wait for the
// reconnect delay. So a dead node costs one failed attempt while another is up, and a cluster that
// is down altogether is tried once per node per delay, never in a tight loop. Owned by the client
// service.

#include <cstddef>

class NodeRotation {
public:
    // Starts a round at the first of nodeCount nodes (taken as at least one).
    void Start(std::size_t nodeCount);
    // The index of the node the next attempt goes to.
    std::size_t Current() const { return m_current; }

    // The attempt at the current node failed, or its connection ended before the server answered
    // the sign-on: moves on to the next node. True when that node is tried at once, false when it
    // closed a round, and the service waits first.
    bool MoveOnAfterFailure();
    // A connection the server had answered was lost: moves on to the next node, which begins a new
    // round after the usual delay, and the lost node comes last in that round.
    void MoveOnAfterLoss();

private:
    void Advance();

    std::size_t m_nodeCount = 1;
    std::size_t m_current = 0;
    // Failed attempts since the round began.
    std::size_t m_failedInRound = 0;
};
