#include "TlsListener.h"

#include "ServerTls.h"

#include <QSslSocket>

#include <unistd.h>

namespace pellix::server {

TlsListener::TlsListener(const QSslConfiguration& configuration,
                         std::chrono::milliseconds handshakeTimeout, IKeepAliveClock& clock,
                         QObject* parent)
    : QTcpServer(parent), m_Configuration(configuration), m_HandshakeTimeout(handshakeTimeout),
      m_Clock(clock) {}

// A socket that closes as it goes may still signal; none of that may reach a listener half gone.
TlsListener::~TlsListener() {
    for (auto& [socket, handshake] : m_Handshakes) {
        socket->disconnect(this);
        delete socket;
    }
    for (auto& [socket, timer] : m_Dropped) {
        socket->disconnect(this);
        delete socket;
    }
}

void TlsListener::incomingConnection(qintptr descriptor) {
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        qCWarning(lcServerTls).noquote() << "cannot take a connection:" << socket->errorString();
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    // The handshake's round trips go out at once, not after the peer's delayed acknowledgement.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket->setSslConfiguration(m_Configuration);
    Handshake& handshake = m_Handshakes[socket];
    handshake.peer = socket->peerAddress().toString();
    handshake.timer = m_Clock.CreateTimer([this, socket] {
        Drop(socket, QStringLiteral("no handshake within %1 ms").arg(m_HandshakeTimeout.count()));
    });
    handshake.timer->Start(static_cast<int>(m_HandshakeTimeout.count()));
    connect(socket, &QSslSocket::encrypted, this, [this, socket] { OnEncrypted(socket); });
    connect(socket, &QSslSocket::errorOccurred, this,
            [this, socket] { Drop(socket, socket->errorString()); });
    connect(socket, &QSslSocket::disconnected, this,
            [this, socket] { Drop(socket, QStringLiteral("closed during the handshake")); });
    socket->startServerEncryption();
}

void TlsListener::OnEncrypted(QSslSocket* socket) {
    if (m_Handshakes.erase(socket) == 0)
        return;
    socket->disconnect(this);
    socket->setParent(nullptr);
    Q_EMIT secured(socket);
}

void TlsListener::Drop(QSslSocket* socket, const QString& reason) {
    const auto found = m_Handshakes.find(socket);
    if (found == m_Handshakes.end())
        return;
    qCInfo(lcServerTls).noquote() << "TLS peer" << found->second.peer << "dropped:" << reason;
    // The timer may be what called; it stops now and is destroyed only with the socket.
    found->second.timer->Stop();
    m_Dropped[socket] = std::move(found->second.timer);
    m_Handshakes.erase(found);
    socket->disconnect(this);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_Dropped.erase(socket); });
    socket->abort();
    socket->deleteLater();
}

} // namespace pellix::server
