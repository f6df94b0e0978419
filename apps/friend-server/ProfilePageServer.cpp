#include "ProfilePageServer.h"

#include "AccountStore.h"
#include "ProfilePageConnection.h"

#include <QTcpSocket>

#include <exception>
#include <vector>

namespace pellix::server {

ProfilePageServer::ProfilePageServer(AccountStore& store, PresenceLookup isOnline,
                                     const ProfilePageLimits& limits, QObject* parent)
    : QObject(parent), m_Store(store), m_IsOnline(std::move(isOnline)), m_Limits(limits) {
    connect(&m_Server, &QTcpServer::newConnection, this, &ProfilePageServer::OnNewConnection);
}

ProfilePageServer::~ProfilePageServer() {
    const std::vector<ProfilePageConnection*> connections(m_Connections.begin(),
                                                          m_Connections.end());
    for (ProfilePageConnection* connection : connections) {
        connection->disconnect(this);
        delete connection;
    }
}

bool ProfilePageServer::Listen(const QHostAddress& address, quint16 port) {
    return m_Server.listen(address, port);
}

void ProfilePageServer::OnNewConnection() {
    while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
        if (m_Connections.size() >= m_Limits.maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* connection = new ProfilePageConnection(
            socket, m_Limits.maxHeadBytes, m_Limits.requestTimeout,
            [this](const HttpRequestHead& head) { return Answer(head); }, this);
        m_Connections.insert(connection);
        connect(connection, &ProfilePageConnection::closed, this, &ProfilePageServer::OnClosed);
    }
}

void ProfilePageServer::OnClosed(ProfilePageConnection* connection) {
    m_Connections.erase(connection);
    connection->deleteLater();
}

HttpResponse ProfilePageServer::Answer(const HttpRequestHead& head) {
    const ProfileLookup lookup = [this](int32_t userID) -> std::optional<ProfileFacts> {
        std::optional<Account> account = m_Store.FindAccount(userID);
        if (!account)
            return std::nullopt;
        // The page needs no secret.
        account->token.clear();
        return ProfileFacts{*account, m_IsOnline(userID)};
    };
    try {
        return AnswerProfileRequest(head, lookup);
    } catch (const std::exception& error) {
        // A store failure costs this one page, not the server.
        qWarning("profile page %s: %s", head.target.constData(), error.what());
        return StatusResponse(500);
    }
}

} // namespace pellix::server
