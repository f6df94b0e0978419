#include "FriendServer.h"

#include "ServerTls.h"
#include "TcpLink.h"
#include "TlsChannel.h"
#include "TlsLink.h"
#include "TlsListener.h"
#include "records/FriendCommands.h"

#include <QTcpSocket>

#include <exception>
#include <functional>
#include <vector>

namespace pellix::server {

namespace {

// Many clients may connect at once (a whole test or a bench starting up).
constexpr int kListenBacklog = 1024;

// Hands each accepted connection on as its descriptor, for a TcpLink: no QTcpSocket is made.
class DescriptorListener final : public QTcpServer {
public:
    explicit DescriptorListener(std::function<void(qintptr)> accepted)
        : m_Accepted(std::move(accepted)) {}

protected:
    void incomingConnection(qintptr descriptor) override { m_Accepted(descriptor); }

private:
    std::function<void(qintptr)> m_Accepted;
};

} // namespace

FriendServer::FriendServer(AccountStore& store, const SessionLimits& limits, ClusterNode* cluster,
                           QObject* parent)
    : QObject(parent), m_pServer(std::make_unique<DescriptorListener>(
                           [this](qintptr descriptor) { Adopt(new TcpLink(descriptor)); })),
      m_Limits(limits), m_Deadlines(limits.receiveTimeout), m_Handler(store, cluster) {
    m_pServer->setListenBacklogSize(kListenBacklog);
}

FriendServer::~FriendServer() {
    // Drop every peer while the handler still stands: what was not written goes to the queue.
    const std::vector<ClientSession*> sessions(m_Sessions.begin(), m_Sessions.end());
    for (ClientSession* session : sessions)
        session->Drop();
}

bool FriendServer::UseTls(const QSslConfiguration& configuration, IKeepAliveClock* clock) {
    if (m_pServer->isListening())
        return false;
    QString error;
    ServerTlsContext context = MakeServerTlsContext(configuration, error);
    if (!context) {
        qCWarning(lcServerTls).noquote() << error;
        return false;
    }
    auto listener =
        std::make_unique<TlsListener>(std::move(context), m_Limits.handshakeTimeout,
                                      clock != nullptr ? *clock : SystemKeepAliveClock());
    listener->setListenBacklogSize(kListenBacklog);
    connect(listener.get(), &TlsListener::secured, this,
            [this](QTcpSocket* socket, std::shared_ptr<TlsChannel> channel) {
                Adopt(new TlsLink(socket, std::move(channel)));
            });
    m_pTlsListener = listener.get();
    m_pServer = std::move(listener);
    return true;
}

std::size_t FriendServer::HandshakeCount() const {
    return m_pTlsListener != nullptr ? m_pTlsListener->HandshakeCount() : 0;
}

std::uint64_t FriendServer::ResumedHandshakeCount() const {
    return m_pTlsListener != nullptr ? m_pTlsListener->ResumedCount() : 0;
}

bool FriendServer::Listen(const QHostAddress& address, quint16 port) {
    return m_pServer->listen(address, port);
}

ClientSession* FriendServer::Adopt(SessionLink* link) {
    auto* session = new ClientSession(link, m_Limits, m_Deadlines, this);
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
