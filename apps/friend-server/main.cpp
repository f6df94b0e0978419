// pellix-friend-server: the reference friend server. Prints "listening on HOST:PORT" once it
// listens ("listening on tls://HOST:PORT" with --tls-cert and --tls-key, and "profile pages on
// HOST:PORT" with --http); bad arguments exit with code 2, a database, socket, certificate or key
// that cannot be opened with 1.

#include "FileLimit.h"
#include "FriendServer.h"
#include "ProfilePageServer.h"
#include "ServerOptions.h"
#include "ServerSetup.h"
#include "ServerTls.h"
#include "StoreLocation.h"
#include "TerminationSignals.h"
#include "cluster/ClusterNode.h"
#include "cluster/NatsConnection.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

namespace pellix::server {
namespace {

constexpr int kExitBadArguments = 2;
constexpr int kExitFailure = 1;

void PrintError(const QString& message) {
    std::fprintf(stderr, "pellix-friend-server: %s\n", message.toUtf8().constData());
}

bool UseTls(const ServerOptions& options, FriendServer& server) {
    QString error;
    const std::optional<QSslConfiguration> tls =
        LoadServerTls(options.tlsCertificateFile, options.tlsKeyFile, error);
    if (!tls) {
        PrintError(QStringLiteral("TLS: %1").arg(error));
        return false;
    }
    if (const QString warning = CertificateDateWarning(*tls); !warning.isEmpty())
        PrintError(QStringLiteral("warning: %1").arg(warning));
    return server.UseTls(*tls);
}

bool JoinCluster(const ServerOptions& options, std::unique_ptr<NatsConnection>& nats,
                 std::unique_ptr<ClusterNode>& cluster) {
    try {
        nats = std::make_unique<NatsConnection>(options.natsUrl,
                                                QStringLiteral("pellix-friend-server %1:%2")
                                                    .arg(options.listenHost)
                                                    .arg(options.listenPort));
        cluster =
            std::make_unique<ClusterNode>(*nats, std::chrono::milliseconds(options.nodeLeaseMs));
    } catch (const std::exception& failure) {
        PrintError(
            QStringLiteral("NATS %1: %2").arg(options.natsUrl, QString::fromUtf8(failure.what())));
        return false;
    }
    qInfo("cluster node %llx on %s", static_cast<unsigned long long>(cluster->NodeID()),
          options.natsUrl.toUtf8().constData());
    return true;
}

int Run(int argc, char** argv) {
    UseEpollEventLoop();
    QCoreApplication app(argc, argv);
    QString error;
    const std::optional<ServerOptions> options = ParseServerOptions(app.arguments(), error);
    if (!options) {
        PrintError(error + QStringLiteral(" (see --help)"));
        return kExitBadArguments;
    }
    if (options->showHelp) {
        std::fputs(ServerOptionsHelp().toUtf8().constData(), stdout);
        return 0;
    }
    RaiseOpenFileLimit();

    std::unique_ptr<AccountStore> store;
    try {
        store = OpenAccountStore(options->database);
        if (!ApplySetup(*options, *store, error)) {
            PrintError(error);
            return kExitBadArguments;
        }
    } catch (const std::exception& failure) {
        PrintError(
            QStringLiteral("database %1: %2")
                .arg(DatabaseForDisplay(options->database), QString::fromUtf8(failure.what())));
        return kExitFailure;
    }

    std::unique_ptr<NatsConnection> nats;
    std::unique_ptr<ClusterNode> cluster;
    if (!options->natsUrl.isEmpty() && !JoinCluster(*options, nats, cluster))
        return kExitFailure;

    SessionLimits limits;
    limits.receiveTimeout = std::chrono::milliseconds(options->receiveTimeoutMs);
    limits.maxPendingBytes = options->maxPendingBytes;
    FriendServer server(*store, limits, cluster.get());
    server.OfferExtensions(options->offerExtensions);
    if (!options->tlsCertificateFile.isEmpty() && !UseTls(*options, server))
        return kExitFailure;
    if (!server.Listen(QHostAddress(options->listenHost), options->listenPort)) {
        PrintError(QStringLiteral("cannot listen on %1:%2: %3")
                       .arg(options->listenHost)
                       .arg(options->listenPort)
                       .arg(server.ErrorString()));
        return kExitFailure;
    }
    std::printf("listening on %s%s:%u\n", server.IsTls() ? "tls://" : "",
                server.Address().toString().toUtf8().constData(),
                static_cast<unsigned>(server.Port()));
    std::fflush(stdout);
    ProfilePageServer pages(*store, [&server](int32_t userID) { return server.IsOnline(userID); });
    if (options->serveProfilePages) {
        if (!pages.Listen(QHostAddress(options->httpHost), options->httpPort)) {
            PrintError(QStringLiteral("cannot serve profile pages on %1:%2: %3")
                           .arg(options->httpHost)
                           .arg(options->httpPort)
                           .arg(pages.ErrorString()));
            return kExitFailure;
        }
        std::printf("profile pages on %s:%u\n", pages.Address().toString().toUtf8().constData(),
                    static_cast<unsigned>(pages.Port()));
        std::fflush(stdout);
    }
    QuitOnTerminationSignals(app);
    return app.exec();
}

} // namespace
} // namespace pellix::server

int main(int argc, char** argv) {
    const int code = pellix::server::Run(argc, argv);
    pellix::server::NatsConnection::CloseLibrary();
    return code;
}
