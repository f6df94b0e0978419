#include "TlsListener.h"

#include "TlsChannel.h"

#include <QTcpSocket>

#include <unistd.h>

namespace pellix::server {

TlsListener::TlsListener(ServerTlsContext context, std::chrono::milliseconds handshakeTimeout,
                         IKeepAliveClock& clock, QObject* parent)
    : QTcpServer(parent), m_Context(std::move(context)), m_HandshakeTimeout(handshakeTimeout),
      m_Clock(clock), m_pDeadlineTimer(clock.CreateTimer([this] { OnDeadline(); })) {}

// A socket that closes as it goes may still signal; none of that may reach a listener half gone.
TlsListener::~TlsListener() {
    for (auto& [socket, handshake] : m_Handshakes) {
        socket->disconnect(this);
        delete socket;
    }
}

void TlsListener::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        qCWarning(lcServerTls).noquote() << "cannot take a connection:" << socket->errorString();
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    // The handshake's round trips go out at once, not after the peer's delayed acknowledgement.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const std::uint64_t serial = ++m_nSerial;
    m_Handshakes[socket] = {std::make_shared<TlsChannel>(m_Context, *socket),
                            socket->peerAddress().toString(), serial};
    if (m_Deadlines.empty())
        m_pDeadlineTimer->Start(static_cast<int>(m_HandshakeTimeout.count()));
    m_Deadlines.push_back({m_Clock.NowMs() + m_HandshakeTimeout.count(), socket, serial});
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket] { Drop(socket, socket->errorString()); });
    connect(socket, &QTcpSocket::disconnected, this,
            [this, socket] { Drop(socket, QStringLiteral("closed during the handshake")); });
}

void TlsListener::OnReadyRead(QTcpSocket* socket) {
    const auto found = m_Handshakes.find(socket);
    if (found == m_Handshakes.end())
        return;
    TlsChannel& channel = *found->second.channel;
    switch (channel.ContinueHandshake()) {
    case TlsChannel::Handshake::Pending:
        return;
    case TlsChannel::Handshake::Failed:
        Drop(socket, channel.ErrorString());
        return;
    case TlsChannel::Handshake::Done:
        break;
    }
    ++m_nSecured;
    m_nResumed += channel.Resumed() ? 1 : 0;
    std::shared_ptr<TlsChannel> handedOn = std::move(found->second.channel);
    m_Handshakes.erase(found);
    socket->disconnect(this);
    socket->setParent(nullptr);
    Q_EMIT secured(socket, std::move(handedOn));
}

void TlsListener::OnDeadline() {
    const std::int64_t now = m_Clock.NowMs();
    while (!m_Deadlines.empty() && m_Deadlines.front().dueMs <= now) {
        const Deadline due = m_Deadlines.front();
        m_Deadlines.pop_front();
        const auto found = m_Handshakes.find(due.socket);
        if (found != m_Handshakes.end() && found->second.serial == due.serial)
            Drop(due.socket,
                 QStringLiteral("no handshake within %1 ms").arg(m_HandshakeTimeout.count()));
    }
    if (!m_Deadlines.empty())
        m_pDeadlineTimer->Start(static_cast<int>(m_Deadlines.front().dueMs - now));
}

void TlsListener::Drop(QTcpSocket* socket, const QString& reason) {
    const auto found = m_Handshakes.find(socket);
    if (found == m_Handshakes.end())
        return;
    qCInfo(lcServerTls).noquote() << "TLS peer" << found->second.peer << "dropped:" << reason;
    m_Handshakes.erase(found);
    socket->disconnect(this);
    // The alert of a failed handshake, if there is one, goes before the socket closes.
    socket->flush();
    socket->abort();
    socket->deleteLater();
}

} // namespace pellix::server
