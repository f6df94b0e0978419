#include "FriendServer.h"

#include "ServerTls.h"
#include "TcpLink.h"
#include "TlsLink.h"
#include "records/FriendCommands.h"

#include <QSslServer>
#include <QSslSocket>
#include <QTcpSocket>

#include <exception>
#include <vector>

namespace pellix::server {

namespace {

// Many clients may connect at once (a whole test or a bench starting up).
constexpr int kListenBacklog = 1024;

} // namespace

FriendServer::FriendServer(AccountStore& store, const SessionLimits& limits, QObject* parent)
    : QObject(parent), m_Limits(limits), m_Handler(store) {
    ServeWith(std::make_unique<QTcpServer>());
}

FriendServer::~FriendServer() {
    // Drop every peer while the handler still stands: what was not written goes to the queue.
    const std::vector<ClientSession*> sessions(m_Sessions.begin(), m_Sessions.end());
    for (ClientSession* session : sessions)
        session->Drop();
}

void FriendServer::ServeWith(std::unique_ptr<QTcpServer> server) {
    m_pServer = std::move(server);
    m_pServer->setListenBacklogSize(kListenBacklog);
    // A TLS server has a connection for us only once its handshake is done, which it tells with
    // the second signal; a plain one tells both at once.
    connect(m_pServer.get(), &QTcpServer::newConnection, this, &FriendServer::OnNewConnection);
    connect(m_pServer.get(), &QTcpServer::pendingConnectionAvailable, this,
            &FriendServer::OnNewConnection);
}

bool FriendServer::UseTls(const QSslConfiguration& configuration) {
    if (m_pServer->isListening())
        return false;
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(configuration);
    server->setHandshakeTimeout(static_cast<int>(m_Limits.handshakeTimeout.count()));
    // The handshake's round trips go out at once, not after the peer's delayed acknowledgement.
    connect(server.get(), &QSslServer::startedEncryptionHandshake, this, [](QSslSocket* socket) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    });
    connect(server.get(), &QSslServer::errorOccurred, this, &FriendServer::OnHandshakeFailed);
    ServeWith(std::move(server));
    m_bTls = true;
    return true;
}

bool FriendServer::Listen(const QHostAddress& address, quint16 port) {
    return m_pServer->listen(address, port);
}

void FriendServer::OnNewConnection() {
    while (QTcpSocket* socket = m_pServer->nextPendingConnection()) {
        if (auto* secure = qobject_cast<QSslSocket*>(socket))
            Adopt(new TlsLink(secure));
        else
            Adopt(new TcpLink(socket));
    }
}

// The server drops the peer itself; this only tells the log why.
void FriendServer::OnHandshakeFailed(QSslSocket* socket, QAbstractSocket::SocketError error) {
    const QString reason = error == QAbstractSocket::SocketTimeoutError
                               ? QStringLiteral("no handshake within %1 ms")
                                     .arg(m_Limits.handshakeTimeout.count())
                               : socket->errorString();
    qCInfo(lcServerTls).noquote() << "TLS peer" << socket->peerAddress().toString()
                                  << "dropped:" << reason;
}

ClientSession* FriendServer::Adopt(SessionLink* link) {
    auto* session = new ClientSession(link, m_Limits, this);
    m_Sessions.insert(session);
    connect(session, &ClientSession::frameReceived, this, &FriendServer::OnFrame);
    connect(session, &ClientSession::closed, this, &FriendServer::OnClosed);
    return session;
}

void FriendServer::OnFrame(ClientSession* session, const FrameCodec::Frame& frame) {
    if (frame.header.mainCmd == FrameCodec::kLibraryMainCmd) {
        if (frame.header.subCmd == FrameCodec::kPingSubCmd)
            session->SendEmpty(FrameCodec::kLibraryMainCmd, FrameCodec::kPongSubCmd);
        return;
    }
    if (frame.header.mainCmd != CMD_FRIEND)
        return;
    try {
        if (!m_Handler.Handle(*session, frame))
            session->Drop();
    } catch (const std::exception& error) {
        // A store failure costs this one command, not the server.
        qWarning("command %u from user %d failed: %s", frame.header.subCmd, session->UserID(),
                 error.what());
    }
}

void FriendServer::OnClosed(ClientSession* session) {
    try {
        m_Handler.OnSessionClosed(*session);
    } catch (const std::exception& error) {
        qWarning("closing the session of user %d: %s", session->UserID(), error.what());
    }
    m_Sessions.erase(session);
    session->deleteLater();
    Q_EMIT sessionClosed();
}

} // namespace pellix::server
