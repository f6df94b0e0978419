#pragma once
// A loopback proxy for the tests that makes the faults a network makes: it forwards every
// connection it accepts to a target port and, when told, cuts connections at a frame boundary,
// inside a frame or at once, stalls, delays, or refuses new connections. It follows the frame
// boundaries of the wire framing in both directions (meaningless over TLS, where a cut is a cut
// wherever it falls). Everything runs on the Qt main thread.

#include <QObject>
#include <QTcpServer>

#include <chrono>
#include <cstdint>
#include <vector>

namespace pellix {

class FaultProxy : public QObject {
public:
    enum class Cut {
        // Each direction forwards the rest of the frame under way, then the connection ends.
        AtFrameBoundary,
        // Each direction forwards part of a frame (the next one, if none is under way), then
        // the connection ends: the receivers hold half a frame.
        MidFrame,
        // Both sides are aborted, whatever is under way.
        Now,
    };

    explicit FaultProxy(QObject* parent = nullptr);
    ~FaultProxy() override;

    // Listens on 127.0.0.1 on a free port and forwards to targetPort there.
    bool Listen(quint16 targetPort);
    quint16 Port() const { return m_Server.serverPort(); }

    void CutAll(Cut how);
    // While stalled nothing is forwarded; what arrives is kept, in order, for later.
    void SetStalled(bool stalled);
    // Every piece received is forwarded this much later, in order.
    void SetDelay(std::chrono::milliseconds delay) { m_Delay = delay; }
    // While refusing, new connections are closed as soon as they are accepted.
    void SetRefusing(bool refusing) { m_bRefusing = refusing; }

    int ConnectionCount() const;
    int AcceptedCount() const { return m_nAccepted; }

private:
    class Link;
    void OnNewConnection();

    QTcpServer m_Server;
    quint16 m_nTargetPort = 0;
    std::chrono::milliseconds m_Delay{0};
    bool m_bStalled = false;
    bool m_bRefusing = false;
    int m_nAccepted = 0;
    // Open or closing, until deleted; sockets that outlive their link are children too, so the
    // links are counted here rather than found among the children.
    std::vector<Link*> m_Links;
};

} // namespace pellix
