#pragma once
// Where the client service connects: a host name or address, optionally with its own port
// ("host:port", "[v6-address]:port"), which then overrides the default port.

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

struct ServerAddress {
    QString host;
    uint16_t port = 0;
};

// Nothing when the host is empty or the port is missing, zero or not a number below 65536.
std::optional<ServerAddress> ParseServerAddress(const std::string& host, uint16_t defaultPort);
