#pragma once
// A relay on 127.0.0.1 between the module and a server: passes every byte on unchanged in both
// directions and keeps each frame that goes through, so tests can read both sides of the
// conversation on the wire. One upstream connection per accepted client; either side closing
// closes the other. As an HTTP proxy it first takes the client's CONNECT request (whatever its
// target, the tunnel leads upstream) and answers it, then relays as before.

#include "client/FrameCodec.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace pellix {

class WireTap {
public:
    explicit WireTap(quint16 upstreamPort);
    ~WireTap();
    WireTap(const WireTap&) = delete;
    WireTap& operator=(const WireTap&) = delete;

    quint16 Port() const { return m_Server.serverPort(); }
    // Connections accepted from now on start with an HTTP CONNECT request.
    void ActAsHttpProxy() { m_bHttpProxy = true; }
    // The head of each CONNECT request taken, up to its blank line.
    const std::vector<QByteArray>& ProxyRequests() const { return m_ProxyRequests; }

    // Friend commands with this sub-command sent by the client, and sent to it, in order.
    std::vector<FrameCodec::Frame> Sent(uint16_t subCmd) const { return Friend(m_Sent, subCmd); }
    std::vector<FrameCodec::Frame> Received(uint16_t subCmd) const {
        return Friend(m_Received, subCmd);
    }
    // Frames of any main command (the library's pings and pongs too), each way.
    int SentCount(uint16_t mainCmd, uint16_t subCmd) const {
        return Count(m_Sent, mainCmd, subCmd);
    }
    int ReceivedCount(uint16_t mainCmd, uint16_t subCmd) const {
        return Count(m_Received, mainCmd, subCmd);
    }
    // Every byte the client sent, as it went over the wire.
    const QByteArray& SentBytes() const { return m_SentBytes; }
    // Connections the client made through the tap.
    std::size_t Connections() const { return m_Links.size(); }

private:
    struct Link {
        std::unique_ptr<QTcpSocket> client;
        std::unique_ptr<QTcpSocket> upstream;
        FrameCodec::FrameReader sentReader;
        FrameCodec::FrameReader receivedReader;
        QByteArray waiting;
        // Bytes of a CONNECT request not yet ended by its blank line.
        QByteArray proxyHead;
        bool tunnelOpen = true;
    };

    void OnNewConnection();
    void FromClient(Link& link);
    // False while the link's CONNECT request is incomplete; takes the request off bytes.
    bool TakeProxyRequest(Link& link, QByteArray& bytes);
    static void Record(FrameCodec::FrameReader& reader, const QByteArray& bytes,
                       std::vector<FrameCodec::Frame>& frames);
    static std::vector<FrameCodec::Frame> Friend(const std::vector<FrameCodec::Frame>& frames,
                                                 uint16_t subCmd);
    static int Count(const std::vector<FrameCodec::Frame>& frames, uint16_t mainCmd,
                     uint16_t subCmd);

    QTcpServer m_Server;
    quint16 m_nUpstreamPort;
    std::vector<std::unique_ptr<Link>> m_Links;
    std::vector<FrameCodec::Frame> m_Sent;
    std::vector<FrameCodec::Frame> m_Received;
    QByteArray m_SentBytes;
    bool m_bHttpProxy = false;
    std::vector<QByteArray> m_ProxyRequests;
};

} // namespace pellix
