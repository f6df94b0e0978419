#include "ScriptedPeer.h"

#include <QHostAddress>

using namespace FrameCodec;

ScriptedPeer::ScriptedPeer(quint16 port) {
    m_Server.listen(QHostAddress::LocalHost, port);
    QObject::connect(&m_Server, &QTcpServer::newConnection, [this] { OnNewConnection(); });
}

void ScriptedPeer::OnNewConnection() {
    while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
        ++accepted;
        if (m_pClient != nullptr)
            m_pClient->deleteLater();
        m_pClient = socket;
        m_Reader.Reset();
        m_ProxyHead.clear();
        m_bTunnelOpen = !actAsHttpProxy;
        QObject::connect(socket, &QTcpSocket::readyRead, socket,
                         [this, socket] { OnReadyRead(socket); });
        if (closeOnAccept)
            socket->close();
    }
}

void ScriptedPeer::OnReadyRead(QTcpSocket* socket) {
    if (socket != m_pClient)
        return;
    QByteArray bytes = socket->readAll();
    if (!m_bTunnelOpen) {
        m_ProxyHead += bytes;
        if (!TakeProxyRequest())
            return;
        bytes = m_ProxyHead;
        m_ProxyHead.clear();
    }
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        offset += static_cast<qsizetype>(m_Reader.Feed(
            bytes.constData() + offset, static_cast<std::size_t>(bytes.size() - offset)));
        if (std::optional<Frame> frame = m_Reader.TakeFrame()) {
            const bool ping =
                frame->header.mainCmd == kLibraryMainCmd && frame->header.subCmd == kPingSubCmd;
            frames.push_back(std::move(*frame));
            if (ping && answerPings)
                Send(kLibraryMainCmd, kPongSubCmd);
        }
    }
}

bool ScriptedPeer::TakeProxyRequest() {
    const qsizetype end = m_ProxyHead.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QByteArray head = m_ProxyHead.left(end);
    m_ProxyHead.remove(0, end + 4);
    proxyRequests.push_back(head);
    if (!requiredAuthorization.isEmpty() &&
        !head.contains("Proxy-Authorization: " + requiredAuthorization)) {
        SendRaw("HTTP/1.1 407 Proxy Authentication Required\r\n"
                "Proxy-Authenticate: Basic realm=\"pellix\"\r\n"
                "Proxy-Connection: keep-alive\r\nContent-Length: 0\r\n\r\n");
        return TakeProxyRequest();
    }
    SendRaw("HTTP/1.1 200 Connection established\r\n\r\n");
    m_bTunnelOpen = true;
    return true;
}

void ScriptedPeer::Send(uint16_t mainCmd, uint16_t subCmd, const QByteArray& body) {
    SendRaw(EncodeFrame(mainCmd, subCmd, body.constData(), static_cast<std::size_t>(body.size())));
}

void ScriptedPeer::SendRaw(const QByteArray& bytes) {
    if (m_pClient != nullptr)
        m_pClient->write(bytes);
}

void ScriptedPeer::CloseClient() {
    if (m_pClient != nullptr)
        m_pClient->close();
}

bool ScriptedPeer::HasOpenClient() const {
    return m_pClient != nullptr && m_pClient->state() == QAbstractSocket::ConnectedState;
}

int ScriptedPeer::FramesWith(uint16_t mainCmd, uint16_t subCmd) const {
    int count = 0;
    for (const Frame& frame : frames)
        count += frame.header.mainCmd == mainCmd && frame.header.subCmd == subCmd ? 1 : 0;
    return count;
}
