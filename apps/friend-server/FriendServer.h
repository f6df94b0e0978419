#pragma once
// The friend server: accepts connections (plain TCP, or TLS once UseTls was called), keeps one
// ClientSession per connection, answers the client library's pings and hands friend commands to
// the FriendCommandHandler. The account store is the caller's and must outlive the server.

#include "ClientSession.h"
#include "FriendCommandHandler.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <cstdint>
#include <memory>
#include <unordered_set>

class IKeepAliveClock;
class QSslConfiguration;

namespace pellix::server {

class AccountStore;
class ClusterNode;
class TlsListener;

class FriendServer final : public QObject {
    Q_OBJECT
public:
    // cluster: the node this server is of (not owned, outlives the server), or null.
    FriendServer(AccountStore& store, const SessionLimits& limits, ClusterNode* cluster = nullptr,
                 QObject* parent = nullptr);
    ~FriendServer() override;

    // From now on the port speaks only TLS with these settings (LoadServerTls): a session starts
    // once its handshake is done, and a peer whose handshake fails, does not finish within the
    // limits' handshake timeout (timed on clock, Qt's timers when null; not owned) or does not
    // start with one is dropped. False once listening, or when OpenSSL refuses the certificate or
    // key (logged).
    bool UseTls(const QSslConfiguration& configuration, IKeepAliveClock* clock = nullptr);
    bool IsTls() const { return m_pTlsListener != nullptr; }
    // Connections on the TLS port whose handshake is under way.
    std::size_t HandshakeCount() const;
    // Handshakes on the TLS port that resumed a session from a client's ticket.
    std::uint64_t ResumedHandshakeCount() const;
    bool Listen(const QHostAddress& address, quint16 port);
    // Serves a connection that did not come through the listening socket (an in-memory link);
    // the server takes the link over.
    ClientSession* Adopt(SessionLink* link);
    QHostAddress Address() const { return m_pServer->serverAddress(); }
    quint16 Port() const { return m_pServer->serverPort(); }
    QString ErrorString() const { return m_pServer->errorString(); }

    std::size_t SessionCount() const { return m_Sessions.size(); }
    std::size_t OnlineCount() const { return m_Handler.OnlineCount(); }
    // Off: log-ons hear of no extension, as from a server that knows none.
    void OfferExtensions(bool offer) { m_Handler.SetOfferExtensions(offer); }
    bool IsOnline(int32_t userID) const { return m_Handler.IsOnline(userID); }

Q_SIGNALS:
    // A connection was closed and its session forgotten; for whoever watches the server.
    void sessionClosed();

private:
    void OnFrame(ClientSession* session, const FrameCodec::Frame& frame);
    void OnClosed(ClientSession* session);

    std::unique_ptr<QTcpServer> m_pServer;
    // The server above when its port speaks TLS; null otherwise.
    TlsListener* m_pTlsListener = nullptr;
    SessionLimits m_Limits;
    ReceiveDeadlines m_Deadlines;
    FriendCommandHandler m_Handler;
    std::unordered_set<ClientSession*> m_Sessions;
};

} // namespace pellix::server
