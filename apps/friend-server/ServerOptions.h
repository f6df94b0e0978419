#pragma once
// What the friend server is told on its command line: where to listen, its database, the accounts
// and friendships to create before it listens, and its per-connection limits.

#include "Account.h"
#include "ServerBodies.h"
#include "UserRange.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace pellix::server {

struct ServerOptions {
    QString listenHost = QStringLiteral("127.0.0.1");
    quint16 listenPort = 5500;
    // A SQLite file, or a PostgreSQL URI (see StoreLocation.h).
    QString database = QStringLiteral("friend-server.db");
    bool seedDemo = false;
    bool offerExtensions = true;
    // Names already converted to GBK.
    std::vector<Account> users;
    std::vector<std::pair<int32_t, int32_t>> friendships;
    std::vector<UserRange> userRanges;
    int receiveTimeoutMs = 75000;
    qint64 maxPendingBytes = 4 * 1024 * 1024;
    // The profile pages are served only when an address is given.
    // With both files the port speaks TLS only.
    QString tlsCertificateFile;
    QString tlsKeyFile;
    bool serveProfilePages = false;
    QString httpHost;
    quint16 httpPort = 0;
    // A node of a cluster joined through this NATS address (or comma-separated list); empty for
    // a server on its own.
    QString natsUrl;
    int nodeLeaseMs = 10000;
    bool showHelp = false;
};

// Parses the arguments (program name first). On a bad argument returns nothing and sets error
// to a message naming it.
std::optional<ServerOptions> ParseServerOptions(const QStringList& arguments, QString& error);

QString ServerOptionsHelp();

} // namespace pellix::server
