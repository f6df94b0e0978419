#pragma once
// A server on 127.0.0.1 for the client service's tests: speaks the library's framing with the
// latest connection it accepted and records every frame that arrives. As an HTTP proxy it first
// takes a CONNECT request (asking for credentials once when told to) and then serves the tunnel
// itself.

#include "client/FrameCodec.h"

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

#include <vector>

class ScriptedPeer {
public:
    // Port 0 takes any free port.
    explicit ScriptedPeer(quint16 port = 0);
    quint16 Port() const { return m_Server.serverPort(); }

    void Send(uint16_t mainCmd, uint16_t subCmd, const QByteArray& body = {});
    void SendRaw(const QByteArray& bytes);
    // Closes the latest connection from this side.
    void CloseClient();
    bool HasOpenClient() const;
    int FramesWith(uint16_t mainCmd, uint16_t subCmd) const;

    int accepted = 0;
    std::vector<FrameCodec::Frame> frames;
    bool answerPings = true;
    bool closeOnAccept = false;

    bool actAsHttpProxy = false;
    // When set, the first CONNECT without this "Proxy-Authorization" value gets a 407.
    QByteArray requiredAuthorization;
    std::vector<QByteArray> proxyRequests;

private:
    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    // Answers a complete CONNECT request; false while the head is still incomplete.
    bool TakeProxyRequest();

    QTcpServer m_Server;
    QTcpSocket* m_pClient = nullptr;
    FrameCodec::FrameReader m_Reader;
    QByteArray m_ProxyHead;
    bool m_bTunnelOpen = false;
};
