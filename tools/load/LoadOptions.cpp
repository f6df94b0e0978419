#include "LoadOptions.h"

#include "text/StringUtility.h"

#include <QCommandLineParser>

#include <limits>

namespace pellix::load {

namespace {

const QString kServer = QStringLiteral("server");
const QString kUsers = QStringLiteral("users");
const QString kToken = QStringLiteral("token");
const QString kHold = QStringLiteral("hold");
const QString kChatRate = QStringLiteral("chat-rate");
const QString kInFlight = QStringLiteral("in-flight");
const QString kHelp = QStringLiteral("help");

// Each user costs a descriptor: far more than one process may hold.
constexpr qint64 kMaxUsers = 1000000;

void DefineOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {kServer, QStringLiteral("Friend servers to log on to, their connections taken in turn."),
         QStringLiteral("HOST:PORT[,HOST:PORT...]")},
        {kUsers, QStringLiteral("The users to log on, ids FIRST to LAST."),
         QStringLiteral("FIRST-LAST")},
        {kToken, QStringLiteral("Their log-on token."), QStringLiteral("TOKEN")},
        {kHold, QStringLiteral("Seconds to hold the connections once all are on (default 10)."),
         QStringLiteral("SECONDS")},
        {kChatRate,
         QStringLiteral("Chats a second, in total, from random users to random friends online "
                        "(default 0)."),
         QStringLiteral("N")},
        {kInFlight, QStringLiteral("Log-ons under way at once (default 512)."),
         QStringLiteral("N")},
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

std::optional<Endpoint> ParseEndpoint(const QString& text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    const QHostAddress address(host);
    const auto port = ParseInteger(text.mid(colon + 1), 1, 65535);
    if (!port || address.isNull())
        return std::nullopt;
    return Endpoint{address, static_cast<quint16>(*port)};
}

bool ParseServers(const QString& text, LoadOptions& options) {
    for (const QString& part : text.split(QLatin1Char(','))) {
        const std::optional<Endpoint> endpoint = ParseEndpoint(part);
        if (!endpoint)
            return false;
        options.servers.push_back(*endpoint);
    }
    return true;
}

bool ParseUsers(const QString& text, LoadOptions& options) {
    const QStringList bounds = text.split(QLatin1Char('-'));
    if (bounds.size() != 2)
        return false;
    const auto first = ParseInteger(bounds[0], 1, std::numeric_limits<int32_t>::max());
    const auto last = ParseInteger(bounds[1], 1, std::numeric_limits<int32_t>::max());
    if (!first || !last || *first > *last || *last - *first >= kMaxUsers)
        return false;
    options.firstUser = static_cast<int32_t>(*first);
    options.lastUser = static_cast<int32_t>(*last);
    return true;
}

// A number option that may be left out; false when it is given and out of range.
bool ParseNumber(const QCommandLineParser& parser, const QString& name, qint64 low, qint64 high,
                 int& target) {
    if (!parser.isSet(name))
        return true;
    const auto value = ParseInteger(parser.value(name), low, high);
    if (!value)
        return false;
    target = static_cast<int>(*value);
    return true;
}

std::optional<LoadOptions> Fail(QString& error, const QString& message) {
    error = message;
    return std::nullopt;
}

} // namespace

std::optional<LoadOptions> ParseLoadOptions(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    DefineOptions(parser);
    if (!parser.parse(arguments))
        return Fail(error, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return Fail(
            error,
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    LoadOptions options;
    options.showHelp = parser.isSet(kHelp);
    if (options.showHelp)
        return options;
    if (!parser.isSet(kServer) || !ParseServers(parser.value(kServer), options))
        return Fail(error, QStringLiteral("bad --server '%1': expected HOST:PORT[,HOST:PORT...] "
                                          "with IP addresses and ports of 1 to 65535")
                               .arg(parser.value(kServer)));
    if (!parser.isSet(kUsers) || !ParseUsers(parser.value(kUsers), options))
        return Fail(error, QStringLiteral("bad --users '%1': expected FIRST-LAST, positive ids "
                                          "with FIRST <= LAST, at most %2 users")
                               .arg(parser.value(kUsers))
                               .arg(kMaxUsers));
    if (!parser.isSet(kToken))
        return Fail(error, QStringLiteral("--token is missing"));
    options.token = StringUtility::QStringToAnsi(parser.value(kToken));
    if (!ParseNumber(parser, kHold, 0, 86400, options.holdSeconds))
        return Fail(error, QStringLiteral("bad --hold: expected 0 to 86400 seconds"));
    if (!ParseNumber(parser, kChatRate, 0, 1000000, options.chatsPerSecond))
        return Fail(error, QStringLiteral("bad --chat-rate: expected 0 to 1000000 chats a second"));
    if (!ParseNumber(parser, kInFlight, 1, 100000, options.logonsInFlight))
        return Fail(error, QStringLiteral("bad --in-flight: expected 1 to 100000 log-ons"));
    return options;
}

QString LoadOptionsHelp() {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Logs many users on to friend servers, holds them and sends chats among "
                       "them; prints one JSON line of results."));
    DefineOptions(parser);
    return parser.helpText();
}

} // namespace pellix::load
