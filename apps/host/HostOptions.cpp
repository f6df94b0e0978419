#include "HostOptions.h"

#include "client/ServerAddress.h"

#include <QCommandLineParser>

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
    const QString host = address->host.contains(QLatin1Char(':'))
                             ? QStringLiteral("[%1]").arg(address->host)
                             : address->host;
    return QStringLiteral("http://%1:%2").arg(host).arg(kDefaultProfilePort);
}

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
        {QStringLiteral("server"), QStringLiteral("Friend server, host or host:port."),
         QStringLiteral("address"), QStringLiteral("127.0.0.1")},
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
    return host;
}
