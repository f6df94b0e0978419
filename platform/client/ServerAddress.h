#pragma once
// Where the client service connects: a host name or address, optionally with its own port
// ("host:port", "[v6-address]:port"), which then overrides the default port. "tls://" before it
// asks for TLS; a TLS address may name a CA file to trust besides the system's:
// "tls://host:port?ca=PATH" (the path percent-encoded where it holds '%', '&' or '#').

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

struct ServerAddress {
    QString host;
    uint16_t port = 0;
    bool tls = false;
    // Empty when the address names no CA file.
    QString caFile;
};

// Nothing when the host is empty, the port is missing, zero or not a number below 65536, the
// address has a scheme other than tls://, or a query other than one non-empty ca= on a TLS
// address. The host part is GBK like every text of the module; the CA path is file-system bytes.
std::optional<ServerAddress> ParseServerAddress(const std::string& host, uint16_t defaultPort);
