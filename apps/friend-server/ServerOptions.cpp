#include "ServerOptions.h"

#include "StoreLocation.h"
#include "text/StringUtility.h"

#include <QCommandLineParser>
#include <QHostAddress>

#include <limits>

namespace pellix::server {

namespace {

const QString kListen = QStringLiteral("listen");
const QString kDatabase = QStringLiteral("db");
const QString kAddUser = QStringLiteral("add-user");
const QString kAddUsers = QStringLiteral("add-users");
const QString kSeedDemo = QStringLiteral("seed-demo");
const QString kBefriend = QStringLiteral("befriend");
const QString kReceiveTimeout = QStringLiteral("receive-timeout");
const QString kMaxPending = QStringLiteral("max-pending");
const QString kHttp = QStringLiteral("http");
const QString kTlsCertificate = QStringLiteral("tls-cert");
const QString kTlsKey = QStringLiteral("tls-key");
const QString kNoExtensions = QStringLiteral("no-extensions");
const QString kNats = QStringLiteral("nats");
const QString kNodeLease = QStringLiteral("node-lease");
const QString kHelp = QStringLiteral("help");

void DefineOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {kListen,
         QStringLiteral("Address to listen on (default 127.0.0.1:5500; port 0 picks one)."),
         QStringLiteral("HOST:PORT")},
        {kDatabase,
         QStringLiteral("SQLite file, created if missing (default friend-server.db), or a "
                        "PostgreSQL database shared with other servers as a libpq URI "
                        "postgresql://USER@HOST:PORT/DB."),
         QStringLiteral("FILE|URI")},
        {kAddUser, QStringLiteral("Create or update an account (repeatable)."),
         QStringLiteral("ID,USERNAME,NICKNAME,SHOWID,GENDER,TOKEN")},
        {kAddUsers,
         QStringLiteral("Create or update the accounts FIRST to LAST, named uID, with this "
                        "token and each with FRIENDS friends among them (default 0; "
                        "repeatable)."),
         QStringLiteral("FIRST-LAST,TOKEN[,FRIENDS]")},
        {kSeedDemo, QStringLiteral("Create the demo accounts.")},
        {kNoExtensions, QStringLiteral("Announce no protocol extension: speak only the commands "
                                       "every client knows.")},
        {kBefriend, QStringLiteral("Make two accounts friends (repeatable)."),
         QStringLiteral("ID,ID")},
        {kReceiveTimeout,
         QStringLiteral("Drop a peer that completes no frame for this long (default 75)."),
         QStringLiteral("SECONDS")},
        {kMaxPending,
         QStringLiteral("Drop a peer with more than this many unsent bytes (default 4194304)."),
         QStringLiteral("BYTES")},
        {kHttp,
         QStringLiteral("Serve the profile pages at /user/<id> on this address (port 0 picks "
                        "one)."),
         QStringLiteral("HOST:PORT")},
        {kTlsCertificate,
         QStringLiteral("Speak TLS only on the port, with this PEM certificate (the server's "
                        "first, then any intermediate CAs); needs --tls-key."),
         QStringLiteral("FILE")},
        {kTlsKey, QStringLiteral("The certificate's unencrypted PEM private key (RSA or EC)."),
         QStringLiteral("FILE")},
        {kNats,
         QStringLiteral("Join the other servers on this NATS server (or comma-separated list) "
                        "as one node of a cluster; they share the --db PostgreSQL database."),
         QStringLiteral("nats://HOST:PORT")},
        {kNodeLease,
         QStringLiteral("With --nats: a node not heard from for this long is taken for dead and "
                        "its users for offline (default 10)."),
         QStringLiteral("SECONDS")},
        {kHelp, QStringLiteral("Show this help.")},
    });
}

std::optional<qint64> ParseInteger(const QString& text, qint64 low, qint64 high) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::string> ParseName(const QString& text, bool required) {
    const std::string gbk = StringUtility::QStringToAnsi(text);
    if ((required && gbk.empty()) || gbk.size() > ServerBodies::kMaxNameBytes)
        return std::nullopt;
    return gbk;
}

bool ParseListen(const QString& text, ServerOptions& options) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    const auto port = ParseInteger(text.mid(colon + 1), 0, 65535);
    if (!port || QHostAddress(host).isNull())
        return false;
    options.listenHost = host;
    options.listenPort = static_cast<quint16>(*port);
    return true;
}

// The same form as --listen.
bool ParseHttp(const QString& text, ServerOptions& options) {
    ServerOptions address;
    if (!ParseListen(text, address))
        return false;
    options.serveProfilePages = true;
    options.httpHost = address.listenHost;
    options.httpPort = address.listenPort;
    return true;
}

std::optional<Account> ParseUser(const QString& text) {
    // The token is last and may itself hold commas.
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 6)
        return std::nullopt;
    const auto id = ParseInteger(parts[0], 1, std::numeric_limits<int32_t>::max());
    const auto userName = ParseName(parts[1], true);
    const auto nickName = ParseName(parts[2], false);
    const auto showID = ParseInteger(parts[3], std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max());
    const auto gender = ParseInteger(parts[4], 0, 255);
    if (!id || !userName || !nickName || !showID || !gender)
        return std::nullopt;
    Account account;
    account.userID = static_cast<int32_t>(*id);
    account.userName = *userName;
    account.nickName = *nickName;
    account.showID = static_cast<int32_t>(*showID);
    account.gender = static_cast<uint8_t>(*gender);
    account.token = StringUtility::QStringToAnsi(parts.mid(5).join(QLatin1Char(',')));
    return account;
}

std::optional<std::pair<int32_t, int32_t>> ParsePair(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    const auto first = ParseInteger(parts[0], 1, std::numeric_limits<int32_t>::max());
    const auto second = ParseInteger(parts[1], 1, std::numeric_limits<int32_t>::max());
    if (!first || !second || *first == *second)
        return std::nullopt;
    return std::make_pair(static_cast<int32_t>(*first), static_cast<int32_t>(*second));
}

bool ParseLists(const QCommandLineParser& parser, ServerOptions& options, QString& error) {
    for (const QString& value : parser.values(kAddUser)) {
        const auto account = ParseUser(value);
        if (!account) {
            error = QStringLiteral("bad --add-user '%1': expected ID,USERNAME,NICKNAME,SHOWID,"
                                   "GENDER,TOKEN with a positive id, a user name of 1 to %2 "
                                   "bytes, a nick name of at most %2 bytes (GBK) and a gender "
                                   "of 0 to 255")
                        .arg(value)
                        .arg(ServerBodies::kMaxNameBytes);
            return false;
        }
        options.users.push_back(*account);
    }
    for (const QString& value : parser.values(kBefriend)) {
        const auto pair = ParsePair(value);
        if (!pair) {
            error = QStringLiteral("bad --befriend '%1': expected two different positive ids "
                                   "as ID,ID")
                        .arg(value);
            return false;
        }
        options.friendships.push_back(*pair);
    }
    return ParseUserRanges(parser.values(kAddUsers), options.userRanges, error);
}

bool ParseLimits(const QCommandLineParser& parser, ServerOptions& options, QString& error) {
    if (parser.isSet(kReceiveTimeout)) {
        const auto seconds = ParseInteger(parser.value(kReceiveTimeout), 1, 86400);
        if (!seconds) {
            error = QStringLiteral("bad --receive-timeout: expected 1 to 86400 seconds");
            return false;
        }
        options.receiveTimeoutMs = static_cast<int>(*seconds * 1000);
    }
    if (parser.isSet(kMaxPending)) {
        const auto bytes =
            ParseInteger(parser.value(kMaxPending), 65536, std::numeric_limits<int32_t>::max());
        if (!bytes) {
            error = QStringLiteral("bad --max-pending: expected at least 65536 bytes");
            return false;
        }
        options.maxPendingBytes = *bytes;
    }
    return true;
}

bool ParseTls(const QCommandLineParser& parser, ServerOptions& options, QString& error) {
    if (parser.isSet(kTlsCertificate) != parser.isSet(kTlsKey)) {
        error = QStringLiteral("--tls-cert and --tls-key go together");
        return false;
    }
    options.tlsCertificateFile = parser.value(kTlsCertificate);
    options.tlsKeyFile = parser.value(kTlsKey);
    if (parser.isSet(kTlsCertificate) &&
        (options.tlsCertificateFile.isEmpty() || options.tlsKeyFile.isEmpty())) {
        error = QStringLiteral("bad --tls-cert or --tls-key: the file name is empty");
        return false;
    }
    return true;
}

bool ParseCluster(const QCommandLineParser& parser, ServerOptions& options, QString& error) {
    if (parser.isSet(kNats)) {
        options.natsUrl = parser.value(kNats);
        const QStringList urls = options.natsUrl.split(QLatin1Char(','));
        for (const QString& url : urls) {
            if (!url.startsWith(QStringLiteral("nats://")) || url.size() == 7) {
                error = QStringLiteral("bad --nats '%1': expected nats://HOST:PORT, or several "
                                       "separated by commas")
                            .arg(options.natsUrl);
                return false;
            }
        }
        // The nodes of a cluster share one database.
        if (!IsPostgresUri(options.database)) {
            error = QStringLiteral("--nats needs a PostgreSQL database as --db");
            return false;
        }
    }
    if (parser.isSet(kNodeLease)) {
        const auto seconds = ParseInteger(parser.value(kNodeLease), 1, 3600);
        if (!seconds) {
            error = QStringLiteral("bad --node-lease: expected 1 to 3600 seconds");
            return false;
        }
        options.nodeLeaseMs = static_cast<int>(*seconds * 1000);
    }
    return true;
}

} // namespace

std::optional<ServerOptions> ParseServerOptions(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    DefineOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error =
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
        return std::nullopt;
    }
    ServerOptions options;
    options.showHelp = parser.isSet(kHelp);
    options.seedDemo = parser.isSet(kSeedDemo);
    options.offerExtensions = !parser.isSet(kNoExtensions);
    if (parser.isSet(kListen) && !ParseListen(parser.value(kListen), options)) {
        error = QStringLiteral("bad --listen '%1': expected HOST:PORT with an IP address and a "
                               "port of 0 to 65535")
                    .arg(parser.value(kListen));
        return std::nullopt;
    }
    if (parser.isSet(kHttp) && !ParseHttp(parser.value(kHttp), options)) {
        error = QStringLiteral("bad --http '%1': expected HOST:PORT with an IP address and a "
                               "port of 0 to 65535")
                    .arg(parser.value(kHttp));
        return std::nullopt;
    }
    if (parser.isSet(kDatabase)) {
        options.database = parser.value(kDatabase);
        if (options.database.isEmpty()) {
            error = QStringLiteral("bad --db: the file name or URI is empty");
            return std::nullopt;
        }
    }
    if (!ParseLists(parser, options, error) || !ParseLimits(parser, options, error) ||
        !ParseTls(parser, options, error) || !ParseCluster(parser, options, error))
        return std::nullopt;
    return options;
}

QString ServerOptionsHelp() {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Pellix reference friend server."));
    DefineOptions(parser);
    return parser.helpText();
}

} // namespace pellix::server
