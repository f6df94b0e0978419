#pragma once
// The friend server: accepts connections, keeps one ClientSession per connection, answers the
// client library's pings and hands friend commands to the FriendCommandHandler. The account
// store is the caller's and must outlive the server.

#include "ClientSession.h"
#include "FriendCommandHandler.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <unordered_set>

namespace pellix::server {

class AccountStore;

class FriendServer final : public QObject {
    Q_OBJECT
public:
    FriendServer(AccountStore& store, const SessionLimits& limits, QObject* parent = nullptr);
    ~FriendServer() override;

    bool Listen(const QHostAddress& address, quint16 port);
    // Serves a connection that did not come through the listening socket (an in-memory link);
    // the server takes the link over.
    ClientSession* Adopt(SessionLink* link);
    QHostAddress Address() const { return m_Server.serverAddress(); }
    quint16 Port() const { return m_Server.serverPort(); }
    QString ErrorString() const { return m_Server.errorString(); }

    std::size_t SessionCount() const { return m_Sessions.size(); }
    std::size_t OnlineCount() const { return m_Handler.OnlineCount(); }
    bool IsOnline(int32_t userID) const { return m_Handler.IsOnline(userID); }

Q_SIGNALS:
    // A connection was closed and its session forgotten; for whoever watches the server.
    void sessionClosed();

private:
    void OnNewConnection();
    void OnFrame(ClientSession* session, const FrameCodec::Frame& frame);
    void OnClosed(ClientSession* session);

    QTcpServer m_Server;
    SessionLimits m_Limits;
    FriendCommandHandler m_Handler;
    std::unordered_set<ClientSession*> m_Sessions;
};

} // namespace pellix::server
