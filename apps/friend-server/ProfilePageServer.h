#pragma once
// The friend server's web pages: each user's public profile at "/user/<id>", for the client
// library's browser window. Plain HTTP/1.1 on the server's event loop, one request a connection.
// A request must arrive whole within the time limit and with a head of bounded size, and only so
// many connections are served at once, so that slow or hostile clients cannot hold the server.
// The account store and the presence lookup are the caller's and must outlive the server.

#include "ProfilePage.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <chrono>
#include <functional>
#include <unordered_set>

namespace pellix::server {

class AccountStore;
class ProfilePageConnection;

struct ProfilePageLimits {
    qsizetype maxHeadBytes = 8 * 1024;
    // From accepting a connection to having written the answer.
    std::chrono::milliseconds requestTimeout{10000};
    // Further connections are closed at once.
    std::size_t maxConnections = 256;
};

class ProfilePageServer final : public QObject {
    Q_OBJECT
public:
    using PresenceLookup = std::function<bool(int32_t userID)>;

    ProfilePageServer(AccountStore& store, PresenceLookup isOnline,
                      const ProfilePageLimits& limits = {}, QObject* parent = nullptr);
    ~ProfilePageServer() override;

    bool Listen(const QHostAddress& address, quint16 port);
    QHostAddress Address() const { return m_Server.serverAddress(); }
    quint16 Port() const { return m_Server.serverPort(); }
    QString ErrorString() const { return m_Server.errorString(); }
    std::size_t ConnectionCount() const { return m_Connections.size(); }

private:
    void OnNewConnection();
    void OnClosed(ProfilePageConnection* connection);
    HttpResponse Answer(const HttpRequestHead& head);

    QTcpServer m_Server;
    AccountStore& m_Store;
    PresenceLookup m_IsOnline;
    ProfilePageLimits m_Limits;
    std::unordered_set<ProfilePageConnection*> m_Connections;
};

} // namespace pellix::server
