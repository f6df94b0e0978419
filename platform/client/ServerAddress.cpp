#include "ServerAddress.h"

#include "StringUtility.h"

namespace {

// 0 for anything that is not a usable port.
uint16_t ParsePort(const QString& text) {
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value > 0xFFFF)
        return 0;
    return static_cast<uint16_t>(value);
}

std::optional<ServerAddress> Make(const QString& host, uint16_t port) {
    if (host.isEmpty() || port == 0)
        return std::nullopt;
    return ServerAddress{host, port};
}

} // namespace

std::optional<ServerAddress> ParseServerAddress(const std::string& host, uint16_t defaultPort) {
    const QString text = StringUtility::AnsiToQString(host).trimmed();
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
