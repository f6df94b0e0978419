#include "ServerAddress.h"

#include "text/StringUtility.h"

#include <QByteArray>
#include <QFile>

#include <string_view>

namespace {

constexpr std::string_view kTlsScheme = "tls://";
constexpr std::string_view kCaKey = "ca=";

// 0 for anything that is not a usable port.
uint16_t ParsePort(const QString& text) {
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value > 0xFFFF)
        return 0;
    return static_cast<uint16_t>(value);
}

std::optional<ServerNode> Make(const QString& host, uint16_t port) {
    if (host.isEmpty() || port == 0)
        return std::nullopt;
    return ServerNode{host, port};
}

std::optional<ServerNode> ParseNode(QStringView node, uint16_t defaultPort) {
    const QString text = node.trimmed().toString();
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        const QString rest = text.mid(close + 1);
        if (rest.isEmpty())
            return Make(text.mid(1, close - 1), defaultPort);
        if (!rest.startsWith(QLatin1Char(':')))
            return std::nullopt;
        return Make(text.mid(1, close - 1), ParsePort(rest.mid(1)));
    }
    // More than one colon is a bare IPv6 address, which carries no port of its own.
    if (text.count(QLatin1Char(':')) != 1)
        return Make(text, defaultPort);
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return Make(text.left(colon), ParsePort(text.mid(colon + 1)));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != prefix[i])
            return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The CA path of a query "ca=PATH"; nothing for any other query.
std::optional<QString> ParseCaQuery(std::string_view query) {
    if (!query.starts_with(kCaKey) || query.find_first_of("&#") != std::string_view::npos)
        return std::nullopt;
    const QByteArray path = QByteArray::fromPercentEncoding(QByteArray(
        query.data() + kCaKey.size(), static_cast<qsizetype>(query.size() - kCaKey.size())));
    if (path.isEmpty() || path.contains('\0'))
        return std::nullopt;
    return QFile::decodeName(path);
}

// A comma never occurs in a host name or address, so it can only separate nodes.
std::optional<std::vector<ServerNode>> ParseNodes(std::string_view text, uint16_t defaultPort) {
    const QString list = StringUtility::AnsiToQString(std::string(text.data(), text.size()));
    const QList<QStringView> parts = QStringView(list).split(QLatin1Char(','));
    if (static_cast<std::size_t>(parts.size()) > kMaxServerNodes)
        return std::nullopt;
    std::vector<ServerNode> nodes;
    for (const QStringView part : parts) {
        std::optional<ServerNode> node = ParseNode(part, defaultPort);
        if (!node)
            return std::nullopt;
        nodes.push_back(std::move(*node));
    }
    return nodes;
}

} // namespace

std::optional<ServerAddress> ParseServerAddress(const std::string& host, uint16_t defaultPort) {
    std::string_view text = Trimmed(host);
    const bool tls = StartsWithNoCase(text, kTlsScheme);
    if (tls)
        text.remove_prefix(kTlsScheme.size());
    QString caFile;
    if (const std::size_t question = text.find('?'); question != std::string_view::npos) {
        const std::optional<QString> path =
            tls ? ParseCaQuery(text.substr(question + 1)) : std::nullopt;
        if (!path)
            return std::nullopt;
        caFile = *path;
        text = text.substr(0, question);
    }
    // The scheme comes once, before the first node, and applies to all of them.
    if (text.find("://") != std::string_view::npos)
        return std::nullopt;
    std::optional<std::vector<ServerNode>> nodes = ParseNodes(text, defaultPort);
    if (!nodes)
        return std::nullopt;
    return ServerAddress{std::move(*nodes), tls, caFile};
}
