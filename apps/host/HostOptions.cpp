#include "HostOptions.h"

#include "client/ServerAddress.h"

#include <QCommandLineParser>
#include <QUrl>

namespace {

bool ReadInt(const QCommandLineParser& parser, const QString& name, int& value, QString& error) {
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    if (!ok)
        error =
            QStringLiteral("--%1 needs a whole number, got \"%2\"").arg(name, parser.value(name));
    return ok;
}

} // namespace

QString DefaultProfileUrl(const QString& server) {
    const auto address = ParseServerAddress(server.toStdString(), kDefaultProfilePort);
    if (!address)
        return {};
    // The pages are set once, before any node is signed on to; every node serves the same users.
    const QString& first = address->nodes.front().host;
    const QString host =
        first.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(first) : first;
    return QStringLiteral("http://%1:%2").arg(host).arg(kDefaultProfilePort);
}

std::optional<QString> ServerWithCaFile(const QString& server, const QString& caFile,
                                        QString& error) {
    if (!server.trimmed().startsWith(QStringLiteral("tls://"), Qt::CaseInsensitive)) {
        error = QStringLiteral("--ca needs a tls:// --server, got \"%1\"").arg(server);
        return std::nullopt;
    }
    if (server.contains(QLatin1Char('?'))) {
        error = QStringLiteral("--server \"%1\" names its CA already").arg(server);
        return std::nullopt;
    }
    if (caFile.isEmpty()) {
        error = QStringLiteral("--ca needs a file name");
        return std::nullopt;
    }
    return server.trimmed() + QStringLiteral("?ca=") +
           QString::fromLatin1(QUrl::toPercentEncoding(caFile, "/"));
}

namespace {

// The options that place the windows and the server's CA, after the rest.
bool ReadPlacementAndCa(const QCommandLineParser& parser, HostOptions& host, QString& error) {
    host.showFriends = parser.isSet(QStringLiteral("show-friends"));
    if (parser.isSet(QStringLiteral("tile"))) {
        host.tile = ParseWindowTile(parser.value(QStringLiteral("tile")));
        if (!host.tile) {
            error = QStringLiteral("--tile needs INDEX/COUNT with 0 <= INDEX < COUNT <= %1, got "
                                   "\"%2\"")
                        .arg(kMaxWindowTiles)
                        .arg(parser.value(QStringLiteral("tile")));
            return false;
        }
    }
    if (!parser.isSet(QStringLiteral("ca")))
        return true;
    const std::optional<QString> server =
        ServerWithCaFile(host.server, parser.value(QStringLiteral("ca")), error);
    if (server)
        host.server = *server;
    return server.has_value();
}

} // namespace

std::optional<HostOptions> ParseHostOptions(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    const QList<QCommandLineOption> options = {
        {QStringLiteral("user-id"), QStringLiteral("Signed-in user's id."), QStringLiteral("id")},
        {QStringLiteral("user-name"), QStringLiteral("Account name."), QStringLiteral("name")},
        {QStringLiteral("nickname"), QStringLiteral("Nickname (UTF-8)."), QStringLiteral("name")},
        {QStringLiteral("gender"), QStringLiteral("Gender code."), QStringLiteral("n"),
         QStringLiteral("0")},
        {QStringLiteral("show-id"), QStringLiteral("Displayed user number."), QStringLiteral("n"),
         QStringLiteral("0")},
        {QStringLiteral("token"), QStringLiteral("Log-on token."), QStringLiteral("token")},
        {QStringLiteral("server"),
         QStringLiteral("Friend server, host or host:port, or several nodes tried in turn, "
                        "host[:port],host[:port]; tls:// before them for TLS."),
         QStringLiteral("address"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("ca"),
         QStringLiteral("PEM file of CA certificates a tls:// server may be signed by, trusted "
                        "besides the system's."),
         QStringLiteral("file")},
        {QStringLiteral("show-friends"),
         QStringLiteral("Open the friend list at sign-on, beside the window.")},
        {QStringLiteral("tile"),
         QStringLiteral("Take column INDEX (from 0) of COUNT equal columns of the screen, the "
                        "friend list beside the window."),
         QStringLiteral("INDEX/COUNT")},
        {QStringLiteral("profile-url"),
         QStringLiteral("Base address of the profile pages (default http://<server host>:8080; "
                        "empty for none)."),
         QStringLiteral("url")},
        {QStringLiteral("scenario"), QStringLiteral("Script of user actions to play."),
         QStringLiteral("file")},
        {QStringLiteral("screenshots"), QStringLiteral("Folder for window screenshots."),
         QStringLiteral("dir")},
    };
    parser.addOptions(options);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error =
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return std::nullopt;
    }
    for (const QString& required :
         {QStringLiteral("user-id"), QStringLiteral("user-name"), QStringLiteral("token")}) {
        if (!parser.isSet(required)) {
            error = QStringLiteral("--%1 is required").arg(required);
            return std::nullopt;
        }
    }
    HostOptions host;
    if (!ReadInt(parser, QStringLiteral("user-id"), host.userID, error) ||
        !ReadInt(parser, QStringLiteral("gender"), host.gender, error) ||
        !ReadInt(parser, QStringLiteral("show-id"), host.showID, error))
        return std::nullopt;
    if (host.userID <= 0) {
        error = QStringLiteral("--user-id must be positive");
        return std::nullopt;
    }
    host.userName = parser.value(QStringLiteral("user-name"));
    host.nickName = parser.isSet(QStringLiteral("nickname"))
                        ? parser.value(QStringLiteral("nickname"))
                        : host.userName;
    host.token = parser.value(QStringLiteral("token"));
    host.server = parser.value(QStringLiteral("server"));
    host.profileUrl = parser.isSet(QStringLiteral("profile-url"))
                          ? parser.value(QStringLiteral("profile-url"))
                          : DefaultProfileUrl(host.server);
    host.scenario = parser.value(QStringLiteral("scenario"));
    host.screenshotDir = parser.value(QStringLiteral("screenshots"));
    if (!ReadPlacementAndCa(parser, host, error))
        return std::nullopt;
    return host;
}
