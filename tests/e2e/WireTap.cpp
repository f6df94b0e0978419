#include "WireTap.h"

#include "records/FriendCommands.h"

#include <QHostAddress>

namespace pellix {

using namespace FrameCodec;

WireTap::WireTap(quint16 upstreamPort) : m_nUpstreamPort(upstreamPort) {
    m_Server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_Server, &QTcpServer::newConnection, [this] { OnNewConnection(); });
}

WireTap::~WireTap() {
    for (const auto& link : m_Links) {
        link->client->disconnect();
        link->upstream->disconnect();
    }
}

std::vector<Frame> WireTap::Friend(const std::vector<Frame>& frames, uint16_t subCmd) {
    std::vector<Frame> matching;
    for (const Frame& frame : frames) {
        if (frame.header.mainCmd == CMD_FRIEND && frame.header.subCmd == subCmd)
            matching.push_back(frame);
    }
    return matching;
}

int WireTap::Count(const std::vector<Frame>& frames, uint16_t mainCmd, uint16_t subCmd) {
    int count = 0;
    for (const Frame& frame : frames)
        count += frame.header.mainCmd == mainCmd && frame.header.subCmd == subCmd ? 1 : 0;
    return count;
}

void WireTap::OnNewConnection() {
    while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
        socket->setParent(nullptr);
        auto link = std::make_unique<Link>();
        link->client.reset(socket);
        link->upstream = std::make_unique<QTcpSocket>();
        link->tunnelOpen = !m_bHttpProxy;
        Link& current = *link;
        QTcpSocket* client = current.client.get();
        QTcpSocket* upstream = current.upstream.get();
        QObject::connect(client, &QTcpSocket::readyRead, [this, &current] { FromClient(current); });
        QObject::connect(upstream, &QTcpSocket::connected, [upstream, &current] {
            upstream->write(current.waiting);
            current.waiting.clear();
        });
        QObject::connect(upstream, &QTcpSocket::readyRead, [this, client, upstream, &current] {
            const QByteArray bytes = upstream->readAll();
            Record(current.receivedReader, bytes, m_Received);
            client->write(bytes);
        });
        QObject::connect(client, &QTcpSocket::disconnected, upstream,
                         [upstream] { upstream->disconnectFromHost(); });
        QObject::connect(upstream, &QTcpSocket::disconnected, client,
                         [client] { client->disconnectFromHost(); });
        QObject::connect(upstream, &QTcpSocket::errorOccurred, client,
                         [client] { client->disconnectFromHost(); });
        upstream->connectToHost(QHostAddress::LocalHost, m_nUpstreamPort);
        m_Links.push_back(std::move(link));
    }
}

bool WireTap::TakeProxyRequest(Link& link, QByteArray& bytes) {
    link.proxyHead += bytes;
    const qsizetype end = link.proxyHead.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    m_ProxyRequests.push_back(link.proxyHead.left(end));
    bytes = link.proxyHead.mid(end + 4);
    link.proxyHead.clear();
    link.tunnelOpen = true;
    link.client->write("HTTP/1.1 200 Connection established\r\n\r\n");
    return true;
}

void WireTap::FromClient(Link& link) {
    QByteArray bytes = link.client->readAll();
    if (!link.tunnelOpen && !TakeProxyRequest(link, bytes))
        return;
    m_SentBytes += bytes;
    Record(link.sentReader, bytes, m_Sent);
    if (link.upstream->state() == QAbstractSocket::ConnectedState)
        link.upstream->write(bytes);
    else
        link.waiting += bytes;
}

void WireTap::Record(FrameReader& reader, const QByteArray& bytes, std::vector<Frame>& frames) {
    std::size_t offset = 0;
    const auto size = static_cast<std::size_t>(bytes.size());
    while (offset < size) {
        offset += reader.Feed(bytes.constData() + offset, size - offset);
        if (std::optional<Frame> frame = reader.TakeFrame())
            frames.push_back(std::move(*frame));
    }
}

} // namespace pellix
